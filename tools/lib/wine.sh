# Sourced by the tools: a Wine set up like a Korean Windows PC, and a private X display.
# Everything lives under build/wine of the checkout, so a clean clone starts from nothing.

ORVA_ROOT=${ORVA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
ORVA_WINE_DIR="$ORVA_ROOT/build/wine"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

ORVA_WINE64=/usr/lib/wine/wine64

native_32bit() {
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# On a kernel that cannot execute 32-bit code, Wine's 32-bit processes run
# under a user-mode emulator registered in a private namespace of this run
# (tools/lib/namespace.sh). Called at the top of a tool, it runs the tool
# again inside that namespace, so every Wine process of the run, wineserver
# included, starts where the emulator is known. Where that cannot be had,
# ORVA_32BIT_WHY says why and the tool goes on as it is.
#   orva_enter_namespace "$0" "$@"   (from a bash script)
orva_enter_namespace() {
  [ -n "${ORVA_NAMESPACE:-}" ] && return 0
  native_32bit && return 0
  local emulator
  if ! emulator=$("$ORVA_ROOT/tools/lib/emulator.sh" path); then
    export ORVA_32BIT_WHY="no qemu-i386 8 or later (tools/lib/install.sh could not fetch it)"
    return 0
  fi
  if ! unshare --user --map-root-user --mount --pid --fork true 2>/dev/null; then
    export ORVA_32BIT_WHY="user namespaces are not available to this user"
    return 0
  fi
  exec unshare --user --map-root-user --mount --pid --fork --mount-proc --kill-child \
    bash "$ORVA_ROOT/tools/lib/namespace.sh" "$emulator" bash "$@"
}

# Whether Wine here starts the 32-bit program: runs the 32-bit build's tiny
# orva_bitness.exe (from build directory $1) in a copy of the template and
# expects "32". Answers once per run; a failure sets ORVA_32BIT_WHY.
orva_check_32bit() {
  if [ -z "${ORVA_32BIT_RUNS:-}" ]; then
    ORVA_32BIT_RUNS=no
    if [ -z "${ORVA_32BIT_WHY:-}" ]; then
      local prefix="$ORVA_WINE_DIR/check" answer
      if orva_new_prefix "$prefix"; then
        answer=$(WINEPREFIX="$prefix" timeout 120 "$ORVA_WINE64" "$1/orva_bitness.exe" 2>/dev/null | tr -d '\r')
        WINEPREFIX="$prefix" wineserver -k 2>/dev/null
        rm -rf "$prefix"
      fi
      if [ "$answer" = 32 ]; then
        ORVA_32BIT_RUNS=yes
      else
        ORVA_32BIT_WHY="a tiny 32-bit Windows program did not run under Wine (it printed '$(printf '%s' "${answer:-nothing}" | head -n 1)')"
      fi
    fi
    export ORVA_32BIT_RUNS ORVA_32BIT_WHY
  fi
  [ "$ORVA_32BIT_RUNS" = yes ]
}

# The build that stands for the shipped 32-bit program here: windows where
# the check passes, else windows64 (after orva_check_32bit).
orva_runnable_preset() {
  if [ "${ORVA_32BIT_RUNS:-}" = yes ]; then echo windows; else echo windows64; fi
}

# Runs a Wine command under the Korean locale, so the ANSI and OEM code pages
# are 949; ORVA_LOCALE=es_ES.UTF-8 gives a Spanish system's 1252 and 850
# instead. Wine's processes take their code pages from the locale they start
# in, and those a Windows process starts take its locale.
# The 64-bit loader starts 64-bit programs at native speed and hands 32-bit
# ones to the 32-bit loader by itself.
orva_wine() {
  local locale=${ORVA_LOCALE:-ko_KR.UTF-8}
  LOCPATH="$ORVA_WINE_DIR/locale" LANG=$locale LC_ALL=$locale "$ORVA_WINE64" "$@"
}

# Wine takes a code page only from a locale that exists.
orva_locale() {
  local name
  for name in ko_KR es_ES; do
    [ -d "$ORVA_WINE_DIR/locale/$name.UTF-8" ] && continue
    mkdir -p "$ORVA_WINE_DIR/locale"
    localedef -i "$name" -f UTF-8 "$ORVA_WINE_DIR/locale/$name.UTF-8" >/dev/null 2>&1 ||
      [ -d "$ORVA_WINE_DIR/locale/$name.UTF-8" ] || return 1
  done
}

# The registry of a Korean PC for the program's window, fonts and browser.
orva_prefix_settings() {
  local reg="$WINEPREFIX/drive_c/orva-settings.reg"
  # regedit reads REGEDIT4 files in the ANSI code page (949 here).
  iconv -f UTF-8 -t CP949 >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"굴림"="NanumGothic"
"Gulim"="NanumGothic"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="NanumGothic"
"MS Shell Dlg 2"="NanumGothic"
"Tahoma"="NanumGothic"
REG
  orva_wine regedit /S 'C:\orva-settings.reg' >/dev/null 2>&1
  rm -f "$reg"
  cp /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

# Whether Wine's 32-bit loader starts at all here (native or emulated).
orva_has_32bit_loader() {
  [ -z "${ORVA_32BIT_WHY:-}" ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# A booted template prefix, made once; every test copies it. Booted where
# the 32-bit loader starts, it has its 32-bit side (syswow64, the 32-bit
# registry view and WMI classes); booted again when that changes.
orva_template_prefix() {
  local template="$ORVA_WINE_DIR/template" sides=64
  orva_has_32bit_loader && sides=32+64
  if [ "$(cat "$template/.orva-ready" 2>/dev/null)" != "$sides" ]; then
    orva_locale
    rm -rf "$template"
    mkdir -p "$ORVA_WINE_DIR"
    (
      export WINEPREFIX="$template"
      orva_wine wineboot -i >/dev/null 2>&1
      wineserver -w
      orva_prefix_settings
      wineserver -w
    ) || return 1
    echo "$sides" >"$template/.orva-ready"
  fi
  echo "$template"
}

# A fresh copy of the template at $1.
orva_new_prefix() {
  local template
  orva_locale || return 1
  template=$(orva_template_prefix) || return 1
  rm -rf "$1"
  cp -a "$template" "$1"
}

# Starts Xvfb on a free display, with a screen of $1 (1600x900 unless given),
# and exports DISPLAY; ORVA_XVFB_PID names it.
orva_xvfb() {
  local n size=${1:-1600x900}
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    ORVA_XVFB_PID=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$ORVA_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}

# 32 or 64: the width of the Windows build in directory $1.
orva_build_bits() {
  case $(x86_64-w64-mingw32-objdump -f "$1/fake_wmic.exe" 2>/dev/null) in
    *pei-i386*) echo 32 ;;
    *) echo 64 ;;
  esac
}

# Puts the stand-in tool (built as fake_wmic.exe) in place of wmic.exe in the
# prefix $1, with the canned outputs of folder $2 (wmic-<query>.txt) beside it.
# Without $2 it prints nothing for every query. The outputs go only where a
# process of the runnable build finds "<system folder>\wbem" (syswow64 for a
# 32-bit process on 64-bit Windows); the other folder's stand-in prints
# nothing, so a program that looked there would show other rows.
orva_install_fake_wmic() {
  local prefix=$1 data=${2:-} dir found=system32
  [ "$(orva_build_bits "$ORVA_RUNNABLE_BUILD")" = 32 ] && found=syswow64
  for dir in system32 syswow64; do
    dir="$prefix/drive_c/windows/$dir/wbem"
    [ -d "$dir" ] || continue
    cp "$ORVA_RUNNABLE_BUILD/fake_wmic.exe" "$dir/wmic.exe"
    rm -f "$dir"/wmic-*.txt "$dir"/wmic-*.hang "$dir"/wmic-*.delay
  done
  if [ -n "$data" ]; then
    cp "$data"/wmic-* "$prefix/drive_c/windows/$found/wbem/" 2>/dev/null
  fi
  return 0
}

# Removes the tool from the prefix $1, as on Windows 11 24H2 and later.
orva_remove_wmic() {
  rm -f "$1"/drive_c/windows/{system32,syswow64}/wbem/wmic.exe
}
