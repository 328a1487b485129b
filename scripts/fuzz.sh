#!/usr/bin/env bash
# Runs the fuzz target for a bounded time on a seed corpus made of the Java
# files of examples/ and tests/, after replaying every known regression.
# With SEEDS, a folder, its files are the corpus instead and the known
# regressions are those in SEEDS/regressions.
# Usage: scripts/fuzz.sh FUZZER SECONDS [SEEDS]
set -euo pipefail
fuzzer=$1
seconds=$2
seeds=${3:-}
top=$(cd "$(dirname "$0")/.." && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
if [ -n "$seeds" ]; then
  find "$seeds" -type f -size -64k -print0 | while IFS= read -r -d '' f; do
    cp "$f" "$work/corpus/$(basename "$f")-$(cksum <"$f" | cut -d' ' -f1)"
  done
  regressions=("$seeds"/regressions/*)
else
  find "$top/examples" "$top/tests" -type f \( -iname '*.java' -o -path '*/fuzz/regressions/*' \) \
    -size -64k -print0 | while IFS= read -r -d '' f; do
    cp "$f" "$work/corpus/$(basename "$f")-$(cksum <"$f" | cut -d' ' -f1)"
  done
  regressions=("$top"/tests/fuzz/regressions/*)
fi

# Known crashes first: each must now run clean.
if [ -e "${regressions[0]}" ]; then
  "$fuzzer" -runs=0 "${regressions[@]}" >/dev/null 2>&1 ||
    { echo "fuzz: a regression input fails again" >&2; "$fuzzer" -runs=0 "${regressions[@]}"; exit 1; }
fi

echo "Fuzzing for ${seconds}s on $(ls "$work/corpus" | wc -l) seed files"
if ! "$fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
    "$work/corpus" >"$work/log" 2>&1; then
  tail -n 60 "$work/log" >&2
  mkdir -p "$top/tests/fuzz/found"
  cp "$work"/artifacts/* "$top/tests/fuzz/found/" 2>/dev/null || true
  echo "fuzz: the target failed; the input is in tests/fuzz/found/" >&2
  exit 1
fi
grep -E '^stat::number_of_executed_units|^Done' "$work/log" || true
