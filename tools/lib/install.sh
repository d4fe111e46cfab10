#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Idempotent:
# when everything is present it only checks and returns within seconds.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

for pkg in cmake ninja-build g++ googletest libgtest-dev python3 locales \
           g++-mingw-w64-i686 xvfb xdotool xclip imagemagick fonts-nanum fonts-wine \
           clang libclang-rt-14-dev clang-tidy clang-format cppcheck \
           g++-mingw-w64-x86-64 wine wine64 wine32:i386 \
           osslsigncode openssl ca-certificates; do
  have_pkg "$pkg" || need+=("$pkg")
done

if ((${#need[@]})); then
  echo "installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# A kernel that cannot run 32-bit code needs a user-mode emulator for Wine's
# 32-bit processes (see tools/lib/wine.sh). Failing here is not fatal: the
# tools then say why and fall back to the 64-bit build.
"$(dirname "${BASH_SOURCE[0]}")/emulator.sh" install || true
