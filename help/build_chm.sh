#!/usr/bin/env bash
# build_chm.sh SOURCE_DIR OUTPUT.chm
#
# Compiles the help file from the HTML topics with chmcmd. The sources are
# kept in UTF-8; the project, contents and index files are handed to the
# compiler in Shift_JIS (code page 932), which is what the help viewer reads
# them in for a Japanese help file. The topics declare their own charset.
set -euo pipefail
src=$1 out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src"/topics/* "$work"/
mkdir -p "$work/images"
cp "$src"/images/*.png "$work/images/"
for f in hvCurfew.hhp toc.hhc index.hhk; do
  iconv -f UTF-8 -t CP932 "$src/$f" > "$work/$f"
done
(cd "$work" && chmcmd --no-html-scan hvCurfew.hhp >chmcmd.log 2>&1) || { cat "$work/chmcmd.log" >&2; exit 1; }
grep -i 'error' "$work/chmcmd.log" >&2 && exit 1
mkdir -p "$(dirname "$out")"
mv "$work/hvCurfew.chm" "$out"
