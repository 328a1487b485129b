#!/usr/bin/env bash
# Fetches what the tests validate SARIF logs with, into
# third_party/sarif-validator/ (not kept in git), when missing: the JSON
# schema validator ajv with ajv-formats, pinned by the lock file in
# scripts/sarif-validator/, and the SARIF 2.1.0 schema, taken from the npm
# package @microsoft/sarif-multitool-linux (the smallest package found that
# carries the final schema), whose tarball and schema are checked against
# pinned sha256 sums before use. Validate by hand with
#   node scripts/sarif-validator/validate.js LOG.sarif
# Usage: scripts/fetch-sarif-validator.sh [--force]
set -euo pipefail

schema_package=@microsoft/sarif-multitool-linux
schema_version=5.7.0
tarball_sha256=27d8e3e96dde578a23b7c45035b8d741fece5731e2700aa068015b8c44d1514e
schema_sha256=1c49a0f2b60444c71bb14878e21e0d882198eff4c539861b133093ad89ed798c

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source_dir="$root/scripts/sarif-validator"
dest="$root/third_party/sarif-validator"
stamp="$(sha256sum "$source_dir/package-lock.json" | cut -d' ' -f1) $schema_sha256"

if [ "${1:-}" != "--force" ] && [ -f "$dest/.fetched" ] && [ "$(cat "$dest/.fetched")" = "$stamp" ]; then
  exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
  echo "fetch-sarif-validator: npm is needed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "fetch-sarif-validator: fetching ajv and ajv-formats as locked"
mkdir -p "$work/validator"
cp "$source_dir/package.json" "$source_dir/package-lock.json" "$work/validator/"
(cd "$work/validator" && npm ci --silent --ignore-scripts --no-audit --no-fund >/dev/null)

echo "fetch-sarif-validator: fetching the SARIF 2.1.0 schema from $schema_package@$schema_version"
(cd "$work" && npm pack --silent "$schema_package@$schema_version" >/dev/null)
tarball="$work/microsoft-sarif-multitool-linux-$schema_version.tgz"
if [ ! -f "$tarball" ]; then
  echo "fetch-sarif-validator: npm pack did not produce $tarball" >&2
  exit 1
fi
actual="$(sha256sum "$tarball" | cut -d' ' -f1)"
if [ "$actual" != "$tarball_sha256" ]; then
  echo "fetch-sarif-validator: sha256 mismatch for $schema_package@$schema_version: got $actual, expected $tarball_sha256" >&2
  exit 1
fi
tar -xzf "$tarball" -C "$work" package/sarif-2.1.0.json
rm -f "$tarball"
actual="$(sha256sum "$work/package/sarif-2.1.0.json" | cut -d' ' -f1)"
if [ "$actual" != "$schema_sha256" ]; then
  echo "fetch-sarif-validator: sha256 mismatch for sarif-2.1.0.json: got $actual, expected $schema_sha256" >&2
  exit 1
fi
cp "$work/package/sarif-2.1.0.json" "$work/validator/sarif-2.1.0.json"
echo "$stamp" >"$work/validator/.fetched"

rm -rf "$dest.tmp"
mkdir -p "$(dirname "$dest")"
mv "$work/validator" "$dest.tmp"
rm -rf "$dest"
mv "$dest.tmp" "$dest"
echo "fetch-sarif-validator: the validator and the schema are in $dest"
