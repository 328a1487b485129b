#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Usage: scripts/install-deps.sh [--gui]
set -euo pipefail

packages=(cmake g++ pkg-config libgtest-dev libxlsxwriter-dev libtree-sitter-dev
          qt6-base-dev zlib1g-dev npm xvfb xauth fonts-noto-cjk)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

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
