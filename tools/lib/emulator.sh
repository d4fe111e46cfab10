#!/usr/bin/env bash
# The user-mode emulator that runs Wine's 32-bit processes on a kernel that
# cannot execute 32-bit code.
#   emulator.sh install   fetches qemu-i386 (version 8 or later) unless present
#   emulator.sh path      prints its path, or fails
# Bookworm's own qemu 7.2 needs most of a minute to start each 32-bit process,
# so the emulator comes from the backports suite of the Debian mirror that apt
# already uses. Only the one static binary is unpacked; apt's settings, the
# machine's binfmt_misc and the rest of the system stay as they are.
set -euo pipefail

ORVA_EMULATOR_DIR=${ORVA_EMULATOR_DIR:-/usr/local/lib/orva}
ORVA_EMULATOR="$ORVA_EMULATOR_DIR/qemu-i386"

native_32bit() {
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

good_version() {
  local major
  major=$("$ORVA_EMULATOR" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
  [ -n "$major" ] && [ "$major" -ge 8 ]
}

# The first Debian archive in apt's own sources (deb822 or one-line form),
# not the security archive.
debian_mirror() {
  local files=() file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] && files+=("$file")
  done
  [ ${#files[@]} -gt 0 ] || return 1
  awk '
    /^[[:space:]]*#/ { next }
    /^URIs:/ { for (i = 2; i <= NF; i++) print $i; next }
    /^deb[[:space:]]/ { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; break } }
  ' "${files[@]}" 2>/dev/null | grep -E '/debian/?$' | head -n 1
}

install_emulator() {
  native_32bit && return 0
  good_version && return 0
  local mirror work
  mirror=$(debian_mirror) || true
  if [ -z "$mirror" ]; then
    echo "emulator: no Debian archive in apt's sources" >&2
    return 1
  fi
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  mkdir -p "$work/lists/partial" "$work/archives/partial"
  echo "deb ${mirror%/} bookworm-backports main" >"$work/sources.list"
  local apt_options=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache::Archives=$work/archives"
    -o APT::Architecture=amd64 -o APT::Architectures::=amd64 -qq)
  echo "emulator: fetching qemu-user from bookworm-backports"
  if ! apt-get "${apt_options[@]}" update >"$work/log" 2>&1 ||
    ! (cd "$work" && apt-get "${apt_options[@]}" download qemu-user/bookworm-backports >>"$work/log" 2>&1); then
    echo "emulator: the backports suite could not be reached: $(tail -n 1 "$work/log")" >&2
    return 1
  fi
  dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -x -C "$work" ./usr/bin/qemu-i386
  mkdir -p "$ORVA_EMULATOR_DIR"
  install -m 755 "$work/usr/bin/qemu-i386" "$ORVA_EMULATOR"
  if ! good_version; then
    echo "emulator: $("$ORVA_EMULATOR" --version 2>&1 | head -n 1) is older than 8" >&2
    return 1
  fi
}

case "${1:-}" in
  install) install_emulator ;;
  path) good_version && echo "$ORVA_EMULATOR" ;;
  *) echo "usage: $0 install|path" >&2; exit 2 ;;
esac
