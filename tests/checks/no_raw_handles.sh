#!/usr/bin/env bash
# Every Win32 handle the program creates goes straight into an owner from
# win32/unique_handle.h or win32/handles.h, so no path can leak it.
#
# The rule, per statement of app/, probes/ and win32/ (lines joined up to a ; { or },
# comments and string literals left out; the two owner headers are exempt):
#  - a call that returns a new handle (RETURNED below) is the argument of an
#    owner being built or reset: `UniqueKernelHandle job(CreateJobObjectW(...))`,
#    `return UniqueFont(CreateFontIndirectW(&font))`, `dc.reset(CreateCompatibleDC(dc))`;
#    LoadImageW with LR_SHARED is exempt (the system owns shared images);
#  - a call that hands a new handle out through a parameter (OUT_PARAMETER)
#    has an owner's slot in the same statement: `RegOpenKeyExW(..., key.put())`,
#    one .put() per such call;
#  - calls that must be paired with an undo (PAIRED) appear only inside the
#    guards of win32/handles.h: `PaintGuard`, `ClipboardGuard`, ...; or in the
#    one file whose guard serves that file alone (GUARD_HOMES: the runner's
#    inherit list).
# Counting is per statement: each occurrence of a call needs its own owner.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

RETURNED=(_popen _wpopen GetDC GetWindowDC CreateCompatibleDC CreateDCW CreateCompatibleBitmap
    CreateDIBSection LoadBitmapW LoadImageW CreateFontIndirectW CreateFontW CreateSolidBrush CreatePen
    GlobalAlloc LocalAlloc SysAllocString SysAllocStringLen CreateFileW CreateEventW
    CreateMutexW OpenProcess LoadLibraryW LoadLibraryExW CreateJobObjectW CreateThread
    CreateToolhelp32Snapshot)
OUT_PARAMETER=(RegOpenKeyExW RegCreateKeyExW RegOpenCurrentUser CreatePipe CoCreateInstance
    ConnectServer ExecQuery CreateInstanceEnum QueryInterface '->Next' VariantChangeType)
PAIRED=(BeginPaint OpenClipboard SelectObject GlobalLock CoInitialize CoInitializeEx
    OleInitialize VariantInit InitializeProcThreadAttributeList)
GUARD_HOMES=(InitializeProcThreadAttributeList:win32/command_runner_windows.cpp)

mapfile -t files < <(find app probes win32 -type f \( -name '*.cpp' -o -name '*.h' \) \
    ! -path win32/handles.h ! -path win32/unique_handle.h | sort)

# One pass over all files: join lines into statements, then count calls and
# owners per statement.
report=$(awk -v returned="${RETURNED[*]}" -v out_parameter="${OUT_PARAMETER[*]}" \
    -v paired="${PAIRED[*]}" -v guard_homes="${GUARD_HOMES[*]}" '
    function call(name) {  # "->Name" stands for a method
        if (substr(name, 1, 2) == "->") return "->" W substr(name, 3) W "\\("
        return "(^|[^[:alnum:]_])" name W "\\("
    }
    function count(text, regex) { return gsub(regex, "", text) }
    function flag(why) {
        violations++
        shown = text
        gsub(/[[:space:]]+/, " ", shown)
        if (length(shown) > 150) shown = substr(shown, 1, 147) "..."
        print file ":" start ":" shown "\n    " why
    }
    function check(   i, calls, owned, slots, wanted, any) {
        # A COM method of our own (QueryInterface) is defined, not called.
        if (text ~ /STDMETHODCALLTYPE[[:space:]]+[[:alnum:]_]+[[:space:]]*\(/) { statements++; return }
        for (i = 1; i <= nr; i++) {
            calls = count(text, call(r[i]))
            if (calls == 0) continue
            any = 1
            if (r[i] == "LoadImageW" && text ~ /LR_SHARED/) continue
            owned = count(text, "(Unique[[:alnum:]_]*(<[^;()]*>)?" W "([[:alpha:]_][[:alnum:]_]*" W ")?[({]|\\.reset" W "\\()" W r[i] W "\\(")
            if (owned < calls) flag(r[i] ": its handle goes into no owner")
        }
        wanted = 0
        for (i = 1; i <= no; i++) wanted += count(text, call(o[i]))
        slots = count(text, "\\.put" W "\\(" W "\\)")
        if (wanted) any = 1
        if (slots < wanted) flag(wanted " out-parameter call(s), " slots " owner slot(s) (.put())")
        for (i = 1; i <= np; i++) {
            if (count(text, call(p[i])) && !((p[i] ":" file) in home)) {
                any = 1
                flag(p[i] ": only the guards in win32/handles.h call it")
            }
        }
        statements++
        if (any) creating++
    }
    BEGIN {
        W = "[[:space:]]*"
        nr = split(returned, r, " ")
        no = split(out_parameter, o, " ")
        np = split(paired, p, " ")
        nh = split(guard_homes, h, " ")
        for (i = 1; i <= nh; i++) home[h[i]] = 1
    }
    FNR == 1 && text != "" { check(); text = "" }
    {
        line = $0
        gsub(/\047(\\.|[^\047\\])*\047/, "\047\047", line)  # char literals
        gsub(/"(\\.|[^"\\])*"/, "\"\"", line)               # string literals
        gsub(/\/\*.*\*\//, "", line)
        sub(/\/\/.*$/, "", line)
        if (text == "") { start = FNR; file = FILENAME }
        text = text " " line
        if (line ~ /[;{}][[:space:]]*$/ || line ~ /^[[:space:]]*#/) { check(); text = "" }
    }
    END {
        if (text != "") check()
        print "files: " ARGC - 1 ", statements: " statements \
              ", with a handle-creating call: " creating + 0
        print "violations: " violations + 0
        exit violations > 0
    }' "${files[@]}")
status=$?
echo "$report" | tail -n 2
echo "$report" | head -n -2
exit $status
