#!/usr/bin/env bash
# Measures the .java files below a folder with the syntax-tree analysis
# (rzt-modern-dump) and with the javac-based checker, and compares them.
# Usage: tools/javac-check/compare.sh FOLDER [EVERY_NTH] [BUILD_DIR]
#   EVERY_NTH: take every n-th file of the sorted list (default 1: all).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
folder="$1"
every="${2:-1}"
build="${3:-$root/build-modern}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target rzt-modern-dump -j1 >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
find "$folder" -name '*.java' -type f | LC_ALL=C sort | awk -v n="$every" '(NR - 1) % n == 0' > "$work/files"
echo "files: $(wc -l < "$work/files")"
"$build/rzt-modern-dump" - < "$work/files" > "$work/modern.tsv"
"$here/run-java.sh" - < "$work/files" > "$work/javac.tsv"
python3 "$here/compare.py" "$work/modern.tsv" "$work/javac.tsv"
if [ -n "${KEEP_TSV:-}" ]; then cp "$work/modern.tsv" "$work/javac.tsv" "$KEEP_TSV"/; fi
