#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

# The Debian package of the build above: its control data, and rzt-cli and
# its manual page among its files.
(cd build && cpack -G DEB >/dev/null)
deb=$(ls -t build/rzt_*.deb | head -n 1)
dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Section|Depends):'
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/rzt-cli ./usr/share/man/man1/rzt-cli.1.gz; do
  grep -q " $file\$" <<<"$contents" || { echo "$deb lacks $file" >&2; exit 1; }
done
echo "Package $deb holds rzt-cli and its manual page"

# The same tests built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (the desktop program left out), then each fuzz
# target for a bounded time on a seed corpus of the project's Java files.
CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRZT_SANITIZE=ON -DRZT_FUZZ=ON -DRZT_BUILD_GUI=OFF >/dev/null
cmake --build build-sanitize -j2
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-sanitize --output-on-failure -j2
scripts/fuzz.sh build-sanitize/tests/rzt-fuzz "${RZT_FUZZ_SECONDS:-60}"
scripts/fuzz.sh build-sanitize/tests/rzt-fuzz-writers "${RZT_FUZZ_SECONDS:-60}"
scripts/fuzz.sh build-sanitize/tests/rzt-report-fuzz "${RZT_FUZZ_SECONDS:-60}" tests/fuzz/report-seeds
