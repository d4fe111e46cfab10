# Sourced by the tools: a Wine set up like a Korean Windows PC, and a private X display.
# Everything lives under build/wine of the checkout, so a clean clone starts from nothing.

ORVA_ROOT=${ORVA_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
ORVA_WINE_DIR="$ORVA_ROOT/build/wine"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# Some kernels (this workplace's VMs among them) cannot execute 32-bit ELF
# programs, so Wine's 32-bit side cannot start; the 64-bit build of the same
# program runs under Wine's 64-bit loader instead.
orva_can_run_32bit() {
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The Windows build whose programs this machine can run: windows or windows64.
orva_runnable_preset() {
  if orva_can_run_32bit; then echo windows; else echo windows64; fi
}

# Runs a Wine command under the Korean locale, so the ANSI code page is 949.
orva_wine() {
  local loader=wine
  orva_can_run_32bit || loader=/usr/lib/wine/wine64
  LOCPATH="$ORVA_WINE_DIR/locale" LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8 "$loader" "$@"
}

# Wine takes code page 949 only from a ko_KR locale that exists.
orva_locale() {
  [ -d "$ORVA_WINE_DIR/locale/ko_KR.UTF-8" ] && return 0
  mkdir -p "$ORVA_WINE_DIR/locale"
  localedef -i ko_KR -f UTF-8 "$ORVA_WINE_DIR/locale/ko_KR.UTF-8" >/dev/null 2>&1 ||
    [ -d "$ORVA_WINE_DIR/locale/ko_KR.UTF-8" ]
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

# A booted template prefix, made once; every test copies it.
orva_template_prefix() {
  local template="$ORVA_WINE_DIR/template"
  if [ ! -f "$template/.orva-ready" ]; then
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
    touch "$template/.orva-ready"
  fi
  echo "$template"
}

# A fresh copy of the template at $1.
orva_new_prefix() {
  local template
  template=$(orva_template_prefix) || return 1
  rm -rf "$1"
  cp -a "$template" "$1"
}

# Starts Xvfb on a free display and exports DISPLAY; ORVA_XVFB_PID names it.
orva_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
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

# Puts the stand-in tool (built as fake_wmic.exe) in place of wmic.exe in the
# prefix $1, with the canned outputs of folder $2 (wmic-<query>.txt) beside it.
# Without $2 it prints nothing for every query.
orva_install_fake_wmic() {
  local prefix=$1 data=${2:-} dir
  for dir in "$prefix/drive_c/windows/system32/wbem" "$prefix/drive_c/windows/syswow64/wbem"; do
    [ -d "$dir" ] || continue
    cp "$ORVA_RUNNABLE_BUILD/fake_wmic.exe" "$dir/wmic.exe"
    rm -f "$dir"/wmic-*.txt "$dir"/wmic-*.sleep
    [ -n "$data" ] && cp "$data"/wmic-* "$dir"/ 2>/dev/null
  done
  return 0
}

# Removes the tool from the prefix $1, as on Windows 11 24H2 and later.
orva_remove_wmic() {
  rm -f "$1"/drive_c/windows/{system32,syswow64}/wbem/wmic.exe
}
