#!/usr/bin/env bash
# Runs inside the private user, mount and PID namespace of one tool run (see
# orva_enter_namespace in wine.sh): registers the emulator for 32-bit ELF
# programs in this namespace's own binfmt_misc, then becomes the tool.
#   namespace.sh EMULATOR COMMAND...
# The registration dies with the namespace; the machine's binfmt_misc is
# never touched. When the tool ends, the kernel ends every process left in
# the namespace (Wine's server, Xvfb) with it.
emulator=$1
shift
# The ELF header of an i386 executable or shared object; F opens the
# emulator now, so it keeps working whatever is mounted later.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
if ! error=$(mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>&1); then
  export ORVA_32BIT_WHY="binfmt_misc cannot be mounted in a user namespace (Linux 6.7 or later needed): $error"
elif ! error=$(printf '%s' ":orva-i386:M::$magic:$mask:$emulator:F" 2>&1 >/proc/sys/fs/binfmt_misc/register); then
  export ORVA_32BIT_WHY="the emulator could not be registered: $error"
fi
export ORVA_NAMESPACE=1
exec "$@"
