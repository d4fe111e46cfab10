#!/usr/bin/env bash
# The shipped program is a hardened, self-contained Windows GUI executable:
#  - PE32 for i386 (the 32-bit build) or PE32+ for x86-64 (the 64-bit one);
#  - subsystem Windows GUI (2);
#  - DllCharacteristics with DYNAMIC_BASE (0x40), NX_COMPAT (0x100) and
#    TERMINAL_SERVER_AWARE (0x8000), plus HIGH_ENTROPY_VA (0x20) for PE32+;
#    and base relocations, without which DYNAMIC_BASE moves nothing;
#  - no section both writable and executable (objdump -h: CODE without READONLY);
#  - imports from system DLLs only, so no MinGW runtime DLL travels along.
# Checks build/windows and build/windows64's program, or the files given.
# Missing programs fail only once app/main_windows.cpp exists to build them.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

PROGRAM="ORVA사양확인프로그램.exe"
SYSTEM_DLLS='kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|msvcrt|api-ms-win-crt-[a-z0-9-]+'

failures=0
fail() {
    echo "  FAIL: $*"
    failures=$((failures + 1))
}

check_exe() {
    local exe=$1 objdump header format magic sections imports bad
    echo "-- $exe"
    # The 64-bit objdump reads both formats; each is then read by its own.
    case $(x86_64-w64-mingw32-objdump -f "$exe" 2>/dev/null) in
        *pei-x86-64*) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 magic=020b ;;
        *) objdump=i686-w64-mingw32-objdump format=pei-i386 magic=010b ;;
    esac
    if ! header=$("$objdump" -p "$exe" 2>&1); then
        fail "objdump cannot read it: $header"
        return
    fi

    local got_format got_magic subsystem flags relocations
    got_format=$(grep -o 'file format .*' <<<"$header" | head -n 1)
    got_magic=$(awk '$1 == "Magic" { print $2 }' <<<"$header")
    subsystem=$(awk '$1 == "Subsystem" { print $2 }' <<<"$header")
    flags=$(awk '$1 == "DllCharacteristics" { print $2 }' <<<"$header")
    relocations=$(awk '$1 == "Entry" && $2 == "5" { print $4 }' <<<"$header")
    echo "  $got_format, magic $got_magic, subsystem $subsystem," \
        "DllCharacteristics 0x$flags, relocations 0x${relocations:-0} bytes"

    [ "$got_format" = "file format $format" ] || fail "format is not $format"
    [ "$got_magic" = "$magic" ] || fail "magic is not $magic"
    [ "$((16#${subsystem:-0}))" = 2 ] || fail "subsystem is not Windows GUI (2)"
    local bit name required=(40:DYNAMIC_BASE 100:NX_COMPAT 8000:TERMINAL_SERVER_AWARE)
    [ "$magic" = 020b ] && required+=(20:HIGH_ENTROPY_VA)
    for bit in "${required[@]}"; do
        name=${bit#*:}
        (((16#${flags:-0} & 16#${bit%%:*}) != 0)) || fail "DllCharacteristics lacks $name"
    done
    (((16#${relocations:-0}) > 0)) || fail "no base relocations: the image cannot move"

    # objdump -h prints each section as a line with its name, then a line of
    # flags; CODE means executable, a missing READONLY means writable.
    sections=$("$objdump" -h "$exe" | awk '
        $1 ~ /^[0-9]+$/ { name = $2; next }
        name != "" { if ($0 ~ /CODE/ && $0 !~ /READONLY/) print name; name = "" }')
    echo "  sections: $("$objdump" -h "$exe" | awk '$1 ~ /^[0-9]+$/ { printf "%s ", $2 }')"
    [ -z "$sections" ] || fail "writable and executable: $(echo $sections)"

    imports=$(awk '/DLL Name:/ { print $3 }' <<<"$header")
    echo "  imports: $(echo $imports)"
    [ -n "$imports" ] || fail "no import table found"
    bad=$(grep -viE "^($SYSTEM_DLLS)\.dll$" <<<"$imports")
    [ -z "$bad" ] || fail "imports other than system DLLs: $(echo $bad)"
}

if (($#)); then
    programs=("$@")
else
    programs=()
    for build in build/windows build/windows64; do
        [ -f "$build/$PROGRAM" ] && programs+=("$build/$PROGRAM")
    done
    if ((${#programs[@]} == 0)); then
        if [ -f app/main_windows.cpp ]; then
            echo "program not built: build/windows/$PROGRAM is missing"
            exit 1
        fi
        echo "program not built yet (there is no app/main_windows.cpp): nothing to check"
        exit 0
    fi
    [ -f "build/windows/$PROGRAM" ] || [ ! -f app/main_windows.cpp ] ||
        fail "program not built: build/windows/$PROGRAM is missing"
fi

for exe in "${programs[@]}"; do
    if [ -f "$exe" ]; then
        check_exe "$exe"
    else
        fail "$exe is missing"
    fi
done
echo "programs: ${#programs[@]}, failures: $failures"
((failures == 0))
