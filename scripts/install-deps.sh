#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Usage: scripts/install-deps.sh (as root when something is missing)
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libxlsxwriter-dev libminizip-dev
          qt6-base-dev zlib1g-dev libexpat1-dev xvfb xauth fonts-noto-cjk
          clang libclang-rt-14-dev dpkg-dev gzip)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# npm fetches the Java grammar, the tree-sitter runtime's sources and the
# SARIF schema with its validator; a
# machine whose Node.js comes with its own npm keeps it (Debian's npm package
# would replace that Node.js). Debian's libtree-sitter-dev is needed only for
# -DRZT_SYSTEM_TREE_SITTER=ON.
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Packages are missing; run as root or install them: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
bash "$(dirname "${BASH_SOURCE[0]}")/fetch-grammar.sh"
bash "$(dirname "${BASH_SOURCE[0]}")/fetch-tree-sitter.sh"
# The tests check the SARIF logs against the schema with node (npm brings it).
bash "$(dirname "${BASH_SOURCE[0]}")/fetch-sarif-validator.sh"
