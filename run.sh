#!/usr/bin/env bash
# Installs what is missing, builds, and measures the bundled example project.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target rzt-cli
build/rzt-cli -r examples
