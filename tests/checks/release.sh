#!/usr/bin/env bash
# The release, end to end, in a git clone of the checkout (build/release-check)
# whose last commit holds the source files as they are now: tracked and new
# ones not ignored, edits included, so a developer's uncommitted work is
# checked too (the log says when it was committed in the clone).
#  - Bad input: a missing certificate file and a wrong password each stop
#    tools/release with one line on stderr that names the problem, and no
#    dist/ORVA-<version> folder.
#  - Unsigned: the program tools/release builds there from nothing equals
#    the checkout's build/windows one byte for byte: the same sources give the
#    same file whatever the folder and the time. On a difference, names the
#    first differing section (or header field).
#  - Signed with a throwaway self-signed certificate made here: the signature
#    verifies against that certificate, SHA256SUMS matches the signed file,
#    and the file with its signature removed is the checkout's program again.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

PROGRAM="ORVA사양확인프로그램.exe"
CLONE=build/release-check/clone

if [ ! -f app/main_windows.cpp ]; then
    echo "no program to build yet (there is no app/main_windows.cpp)"
    exit 0
fi

if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "not a git checkout: the source files to copy cannot be listed"
    exit 1
fi

started=$SECONDS
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Whether two program files are the same; if not, where they first differ.
same_program() {
    python3 - "$1" "$2" <<'PY'
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
}

# The checkout's own program, brought up to date with the sources.
if [ ! -f build/windows/build.ninja ]; then
    cmake --preset windows >/dev/null || exit 1
fi
cmake --build build/windows --target orva >/dev/null || {
    echo "build/windows: the program does not build"
    exit 1
}
BUILT="build/windows/$PROGRAM"

# The clone, its files replaced by the tree's as they are now.
rm -rf build/release-check
git clone -q "$PWD" "$CLONE" || exit 1
git -C "$CLONE" ls-files -z | (cd "$CLONE" && xargs -0 rm -f)
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
        [ -f "$file" ] && printf '%s\0' "$file"
    done |
    tar -c --null -T - | tar -x -C "$CLONE" || exit 1
if [ -n "$(git -C "$CLONE" status --porcelain)" ]; then
    git -C "$CLONE" add -A &&
        git -C "$CLONE" -c user.name="release check" -c user.email=check@localhost \
            commit -qm "the tree's uncommitted changes" || exit 1
    echo "the tree has uncommitted changes: released from a commit of them on $(git rev-parse --short HEAD)"
else
    echo "released from HEAD, $(git rev-parse --short HEAD)"
fi

# A throwaway code-signing certificate, gone when the check ends.
KEYS=$(mktemp -d)
trap 'rm -rf "$KEYS"' EXIT
PASSWORD="orva-check-$RANDOM$RANDOM"
if ! openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=ORVA test signer" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
    -keyout "$KEYS/key.pem" -out "$KEYS/cert.pem" 2>/dev/null ||
    ! openssl pkcs12 -export -inkey "$KEYS/key.pem" -in "$KEYS/cert.pem" \
        -out "$KEYS/test.pfx" -passout "pass:$PASSWORD"; then
    echo "openssl cannot make a test certificate"
    exit 1
fi

# Runs tools/release in the clone with these arguments; its output goes to
# $KEYS/out and err. The password goes in the environment, as a shop's would.
release() {
    (cd "$CLONE" && tools/release "$@") >"$KEYS/out" 2>"$KEYS/err"
}

# $1: what is wrong, $2: a word its error must say; the rest: the arguments.
bad_input() {
    local what=$1 word=$2 status
    shift 2
    release "$@"
    status=$?
    echo "-- $what: exit $status: $(cat "$KEYS/err")"
    [ $status -ne 0 ] || fail "$what: tools/release succeeded"
    [ "$(wc -l <"$KEYS/err")" -eq 1 ] || fail "$what: not one line on stderr"
    grep -qi -- "$word" "$KEYS/err" || fail "$what: the error does not say \"$word\""
    compgen -G "$CLONE/dist/ORVA-*" >/dev/null && fail "$what: a dist/ORVA-* folder was left"
}
ORVA_SIGN_PASSWORD=$PASSWORD bad_input "missing certificate file" "not found" --sign "$KEYS/missing.pfx"
ORVA_SIGN_PASSWORD=not-$PASSWORD bad_input "wrong password" "password" --sign "$KEYS/test.pfx"

echo "-- unsigned release"
release || { cat "$KEYS/out" "$KEYS/err"; echo "FAIL: the unsigned release"; exit 1; }
cat "$KEYS/out"
DIST=$(compgen -G "$CLONE/dist/ORVA-*")
grep -q '^not signed' "$KEYS/out" || fail "the unsigned release does not say it is not signed"
same_program "$BUILT" "$DIST/$PROGRAM" || fail "the release's program is not the checkout's"

echo "-- signed release"
ORVA_SIGN_PASSWORD=$PASSWORD release --sign "$KEYS/test.pfx" || {
    cat "$KEYS/out" "$KEYS/err"
    echo "FAIL: the signed release"
    exit 1
}
grep -v '^  ' "$KEYS/out"
grep -q '^not timestamped' "$KEYS/out" || fail "the release does not say the signature lapses with the certificate"
osslsigncode verify -CAfile "$KEYS/cert.pem" -in "$DIST/$PROGRAM" >"$KEYS/verify" 2>&1 || {
    cat "$KEYS/verify"
    fail "the signature does not verify against the test certificate"
}
(cd "$DIST" && sha256sum -c SHA256SUMS) || fail "SHA256SUMS does not match the signed program"
echo "signature removed:"
if ! osslsigncode remove-signature -in "$DIST/$PROGRAM" -out "$KEYS/unsigned.exe" >/dev/null ||
    ! same_program "$BUILT" "$KEYS/unsigned.exe"; then
    fail "the signed program without its signature is not the checkout's"
fi

echo "$((SECONDS - started)) s"
[ $failures -eq 0 ]
