#!/usr/bin/env bash
# The same sources give the same program file, whatever the folder and the
# time of the build: the source files as they are now (tracked and new ones
# not ignored, edits included) are copied to build/reproducible/src, the
# windows preset's program (or that of the preset given) is built there from
# nothing, and the file must equal the checkout's byte for byte. On a
# difference, names the first differing section (or header field).
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

PRESET=${1:-windows}
PROGRAM="ORVA사양확인프로그램.exe"
COPY=build/reproducible/src

if [ ! -f app/main_windows.cpp ]; then
    echo "no program to build yet (there is no app/main_windows.cpp)"
    exit 0
fi

if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "not a git checkout: the source files to copy cannot be listed"
    exit 1
fi

# The checkout's own program, brought up to date with the sources.
if [ ! -f "build/$PRESET/build.ninja" ]; then
    cmake --preset "$PRESET" >/dev/null || exit 1
fi
cmake --build "build/$PRESET" --target orva >/dev/null || {
    echo "build/$PRESET: the program does not build"
    exit 1
}

rm -rf build/reproducible
mkdir -p "$COPY"
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
        [ -f "$file" ] && printf '%s\0' "$file"
    done |
    tar -c --null -T - | tar -x -C "$COPY" || exit 1
started=$SECONDS
(cd "$COPY" && cmake --preset "$PRESET" >/dev/null && cmake --build "build/$PRESET" --target orva >/dev/null) || {
    echo "$COPY: the program does not build"
    exit 1
}
echo "built again in $COPY/build/$PRESET in $((SECONDS - started)) s"

python3 - "build/$PRESET/$PROGRAM" "$COPY/build/$PRESET/$PROGRAM" <<'PY'
import struct
import sys

first, second = (open(path, "rb").read() for path in sys.argv[1:3])
print(f"{len(first)} and {len(second)} bytes")
if first == second:
    print("identical")
    sys.exit(0)

def where(image, offset):
    """The header field or section that holds a file offset."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    fields = {pe + 8: "link time (TimeDateStamp)", optional + 64: "header checksum (CheckSum)"}
    for start, name in fields.items():
        if start <= offset < start + 4:
            return name, 0
    table = optional + optional_size
    for i in range(count):
        entry = table + 40 * i
        name = image[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace")
        size, start = struct.unpack_from("<II", image, entry + 16)
        if start <= offset < start + size:
            return "section " + name, offset - start
    return ("headers" if offset < table + 40 * count else "past the sections"), offset

# The checksum covers the whole file, so it differs whenever anything else does.
common = min(len(first), len(second))
regions = {}
for offset in (i for i in range(common) if first[i] != second[i]):
    name, inside = where(first, offset)
    regions.setdefault(name, [offset, inside, 0])[2] += 1
if len(first) != len(second):
    regions.setdefault("the file's length", [common, common, 0])[2] += 1
causes = [name for name in regions if not name.startswith("header checksum")] or list(regions)
name, (offset, inside, _) = causes[0], regions[causes[0]]
print(f"DIFFERENT: first in {name}, 0x{inside:x} bytes in (file offset 0x{offset:x})")
for name, (offset, inside, count) in regions.items():
    print(f"  {name}: {count} bytes from offset 0x{offset:x}")
sys.exit(1)
PY
