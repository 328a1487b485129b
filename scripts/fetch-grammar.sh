#!/usr/bin/env bash
# Fetches the generated Java grammar of tree-sitter (parser.c and its header)
# from the npm registry into third_party/tree-sitter-java/, when missing.
# The package version is pinned, and its tarball is checked against a pinned
# sha256 before anything is unpacked.
# Usage: scripts/fetch-grammar.sh [--force]
set -euo pipefail

version=0.23.5
sha256=6b6c1b62605f9d8bb80efd2ebe5951a87b182faafa3eeb67c460a667818551b6

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dest="$root/third_party/tree-sitter-java"

if [ "${1:-}" != "--force" ] && [ -f "$dest/src/parser.c" ] && [ -f "$dest/src/tree_sitter/parser.h" ]; then
  exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
  echo "fetch-grammar: npm is needed to fetch tree-sitter-java@$version (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "fetch-grammar: fetching tree-sitter-java@$version"
(cd "$work" && npm pack --silent "tree-sitter-java@$version" >/dev/null)
tarball="$work/tree-sitter-java-$version.tgz"
if [ ! -f "$tarball" ]; then
  echo "fetch-grammar: npm pack did not produce $tarball" >&2
  exit 1
fi

actual="$(sha256sum "$tarball" | cut -d' ' -f1)"
if [ "$actual" != "$sha256" ]; then
  echo "fetch-grammar: sha256 mismatch for tree-sitter-java@$version: got $actual, expected $sha256" >&2
  exit 1
fi

tar -xzf "$tarball" -C "$work" package/LICENSE package/src/parser.c package/src/tree_sitter/parser.h

# Both runtimes the build may use (scripts/fetch-tree-sitter.sh's and
# Debian's) accept language version 14; Debian's takes 13 to 14 only.
abi="$(sed -n 's/^#define LANGUAGE_VERSION \([0-9]*\).*/\1/p' "$work/package/src/parser.c")"
if [ "$abi" != 13 ] && [ "$abi" != 14 ]; then
  echo "fetch-grammar: parser.c has language version '$abi'; the runtimes take 13 to 14" >&2
  exit 1
fi

rm -rf "$dest.tmp"
mkdir -p "$dest.tmp/src/tree_sitter"
cp "$work/package/LICENSE" "$dest.tmp/LICENSE"
cp "$work/package/src/parser.c" "$dest.tmp/src/parser.c"
cp "$work/package/src/tree_sitter/parser.h" "$dest.tmp/src/tree_sitter/parser.h"
rm -rf "$dest"
mv "$dest.tmp" "$dest"
echo "fetch-grammar: tree-sitter-java@$version is in $dest"
