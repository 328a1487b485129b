#!/usr/bin/env bash
# Installs what is missing, builds rzt-cli, and measures the bundled example
# project: writes rzt-report.xlsx and prints its summary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target rzt-cli
build/rzt-cli -r examples -o rzt-report.xlsx
