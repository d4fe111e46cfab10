#!/usr/bin/env bash
# Code, comments, tests, scripts and file names speak of the program alone:
# they never name the document the program was written from, nor its numbered
# sections. Markdown files are the exception. Tracked and new (not ignored)
# files are read. The words are written with a bracket so this file does not
# name them itself.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "not a git checkout: the files to read cannot be listed"
    exit 1
fi

pattern='sp[e]c(ification)?\.md|\bthe sp[e]c(ification)?\b|\bp[a]rt [0-9]\.[0-9]'

files=$(git ls-files --cached --others --exclude-standard -- . ':!*.md' | sort -u)
echo "files: $(wc -l <<<"$files")"

status=0
names=$(grep -iE "$pattern" <<<"$files")
if [ -n "$names" ]; then
    echo "file names:"
    sed 's/^/  /' <<<"$names"
    status=1
fi
lines=$(git grep --untracked -nIiE "$pattern" -- . ':!*.md')
if [ -n "$lines" ]; then
    echo "lines:"
    sed 's/^/  /' <<<"$lines"
    status=1
fi
[ $status = 0 ] && echo "no mentions"
exit $status
