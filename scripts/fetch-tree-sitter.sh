#!/usr/bin/env bash
# Fetches the C sources of the tree-sitter runtime (lib/src and lib/include)
# from the npm registry's tree-sitter package, which carries them under
# vendor/tree-sitter/lib, into third_party/tree-sitter/, when missing.
# The package version is pinned, and its tarball is checked against a pinned
# sha256 before anything is unpacked.
# Usage: scripts/fetch-tree-sitter.sh [--force]
set -euo pipefail

version=0.25.1
sha256=07aeba8dd71630e7e72b2d4ca3bd2680c3471824100cc5ebff44e78a6ed0b6d3

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dest="$root/third_party/tree-sitter"

if [ "${1:-}" != "--force" ] && [ -f "$dest/lib/src/lib.c" ] && [ -f "$dest/lib/include/tree_sitter/api.h" ]; then
  exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
  echo "fetch-tree-sitter: npm is needed to fetch tree-sitter@$version (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "fetch-tree-sitter: fetching tree-sitter@$version"
(cd "$work" && npm pack --silent "tree-sitter@$version" >/dev/null)
tarball="$work/tree-sitter-$version.tgz"
if [ ! -f "$tarball" ]; then
  echo "fetch-tree-sitter: npm pack did not produce $tarball" >&2
  exit 1
fi

actual="$(sha256sum "$tarball" | cut -d' ' -f1)"
if [ "$actual" != "$sha256" ]; then
  echo "fetch-tree-sitter: sha256 mismatch for tree-sitter@$version: got $actual, expected $sha256" >&2
  exit 1
fi

tar -xzf "$tarball" -C "$work" package/LICENSE package/vendor/tree-sitter/lib/src package/vendor/tree-sitter/lib/include
lib="$work/package/vendor/tree-sitter/lib"
if [ ! -f "$lib/src/lib.c" ] || [ ! -f "$lib/include/tree_sitter/api.h" ]; then
  echo "fetch-tree-sitter: tree-sitter@$version carries no runtime sources in vendor/tree-sitter/lib" >&2
  exit 1
fi

# The grammar (scripts/fetch-grammar.sh) must fall in the range of language
# versions this runtime loads.
min="$(sed -n 's/^#define TREE_SITTER_MIN_COMPATIBLE_LANGUAGE_VERSION \([0-9]*\).*/\1/p' "$lib/include/tree_sitter/api.h")"
max="$(sed -n 's/^#define TREE_SITTER_LANGUAGE_VERSION \([0-9]*\).*/\1/p' "$lib/include/tree_sitter/api.h")"
if [ -z "$min" ] || [ -z "$max" ] || [ "$min" -gt 14 ] || [ "$max" -lt 14 ]; then
  echo "fetch-tree-sitter: tree-sitter@$version loads language versions '$min' to '$max', not the grammar's 14" >&2
  exit 1
fi

rm -rf "$dest.tmp"
mkdir -p "$dest.tmp"
cp "$work/package/LICENSE" "$dest.tmp/LICENSE"
cp -R "$lib" "$dest.tmp/lib"
echo "$version" > "$dest.tmp/VERSION"
rm -rf "$dest"
mv "$dest.tmp" "$dest"
echo "fetch-tree-sitter: tree-sitter@$version is in $dest"
