#!/usr/bin/env bash
# Measures rzt-cli over the Java sources of OpenJDK 17 (Debian's
# openjdk-17-source, about 15,000 files and 200 MB) against a floor, `wc -l`
# over the same files, and prints one table.
#
#   bench/run.sh            as root the first time (apt-get installs what is missing)
#
# Environment: RZT_BUILD_DIR (default build), RZT_BENCH_RUNS (3),
# RZT_BUILD_JOBS (the build's parallel jobs, default: cmake's choice),
# RZT_BENCH_CORPUS (a folder of Java sources to use instead of the unpacked
# JDK), RZT_BENCH_BASE (another rzt-cli, e.g. an older build, whose modern
# whole job is measured back to back with this one's).
#
# The tree-sitter floor (bench/ts_floor.cc, on the same runtime and grammar
# as the core) parses every file and walks its tree with a cursor, measuring
# nothing, on 2 threads: the gap between it and the modern cases is ours.
#
# Each case runs once to warm the page cache, then RZT_BENCH_RUNS times; the
# table shows the median wall time, MB/s and files/s from it, the median
# processor time (user + system), and the median peak resident memory
# (/usr/bin/time's %M). "x floor" is the median wall time over the floor's.
#
# The floor is `find SRC -name '*.java' -print0 | xargs -0 wc -l`: one
# process opens and reads every file, as rzt-cli does, and the directory walk
# is timed too. Piping `cat` into `wc -l` instead would add a second process
# and a pipe copy of every byte, a slower floor that flatters the ratios.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
build=${RZT_BUILD_DIR:-$root/build}
[[ $build = /* ]] || build=$root/$build
runs=${RZT_BENCH_RUNS:-3}
cache=$here/cache
src_zip=/usr/lib/jvm/openjdk-17/lib/src.zip
corpus=${RZT_BENCH_CORPUS:-$cache/jdk17-src}
base=${RZT_BENCH_BASE:-}

say() { printf '%s\n' "$*" >&2; }
die() { say "bench/run.sh: $*"; exit 1; }

# --- What the measurements need: the JDK's sources, GNU time, unzip.
missing=()
[[ -f $src_zip ]] || missing+=(openjdk-17-source)
[[ -x /usr/bin/time ]] || missing+=(time)
command -v unzip >/dev/null || missing+=(unzip)
if ((${#missing[@]})); then
  ((EUID == 0)) || die "missing Debian packages: ${missing[*]}; run this script as root once"
  say "installing ${missing[*]}..."
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
[[ -f $src_zip ]] || die "$src_zip is missing after installing openjdk-17-source"

# --- The sources, unpacked once (bench/cache is not kept in git).
if [[ -z ${RZT_BENCH_CORPUS:-} && ! -f $corpus/.complete ]]; then
  say "unpacking $src_zip into $corpus..."
  rm -rf "$corpus"
  mkdir -p "$corpus"
  unzip -q -o "$src_zip" '*.java' -d "$corpus"
  touch "$corpus/.complete"
fi

# --- rzt-cli, a Release build.
cli=$build/rzt-cli
if [[ ! -f $build/CMakeCache.txt ]] || ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
  say "configuring $build (Release)..."
  generator=()
  command -v ninja >/dev/null && [[ ! -f $build/CMakeCache.txt ]] && generator=(-G Ninja)
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
jobs_flag=()
[[ -n ${RZT_BUILD_JOBS:-} ]] && jobs_flag=(-j "$RZT_BUILD_JOBS")
say "building rzt-cli in $build..."
cmake --build "$build" --target rzt-cli rzt-ts-floor "${jobs_flag[@]}" >/dev/null || die "the build of rzt-cli failed"
ts_floor=$build/bench/rzt-ts-floor

help=$("$cli" --help)
has_option() { grep -q -e "$1" <<<"$help"; }
has_jobs=0; has_option '--jobs\|-j N\|-j, ' && has_jobs=1
has_dry=0; has_option '--dry-run' && has_dry=1
has_keep=0; has_option '--keep-going' && has_keep=1
has_compare=0; has_option '--compare' && has_compare=1

# --- The corpus as rzt-cli sees it: every .java file, no hidden names.
mapfile -t sizes < <(find "$corpus" -name '.*' -prune -o -type f -iname '*.java' -printf '%s\n')
files=${#sizes[@]}
bytes=0
for s in "${sizes[@]}"; do bytes=$((bytes + s)); done
((files > 0)) || die "no Java files in $corpus"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/rzt-bench-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# Medians of the measured runs of one case, as "wall cpu rss status skipped"
# (the exit status of the last failing run, 0 if none; the files the last
# run skipped as bad input, from its "rzt-cli: skipped" lines).
measure() {
  local -a walls=() cpus=() rsss=()
  local status=0 i start end
  "$@" >/dev/null 2>"$scratch/stderr" || true  # warm-up
  for ((i = 0; i < runs; i++)); do
    rm -f "$scratch"/out.*
    start=$EPOCHREALTIME
    /usr/bin/time -f '%U %S %M' -o "$scratch/time" "$@" >/dev/null 2>"$scratch/stderr" || status=$?
    end=$EPOCHREALTIME
    # A failing command's time file starts with "Command exited with ...".
    read -r user sys rss < <(tail -n 1 "$scratch/time")
    walls+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")
    cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')")
    rsss+=("$rss")
  done
  printf '%s %s %s %s %s\n' "$(median "${walls[@]}")" "$(median "${cpus[@]}")" \
    "$(median "${rsss[@]}")" "$status" "$(grep -c '^rzt-cli: skipped' "$scratch/stderr" || true)"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

floor_cmd() { find "$corpus" -name '.*' -prune -o -type f -iname '*.java' -print0 | xargs -0 wc -l; }
export -f floor_cmd
export corpus

rows=()
add_row() {  # name target_note measure-output
  rows+=("$1|$2|$3")
}

say "measuring $files files, $((bytes / 1000000)) MB, $runs runs each..."
floor=$(measure bash -c floor_cmd)
add_row "wc -l (floor)" "" "$floor"
floor_wall=${floor%% *}

cli_case() {  # name target extra-args...
  local name=$1 target=$2
  shift 2
  add_row "$name" "$target" "$(measure "$cli" -q -r "$@" "$corpus")"
  say "  $name done"
}

keep=(); ((has_keep)) && keep=(--keep-going)
if ((has_jobs && has_dry)); then
  cli_case "analysis -j 1" "" "${keep[@]}" --dry-run -j 1
  cli_case "analysis -j 2" "<=3x, >=1.7x -j1" "${keep[@]}" --dry-run -j 2
  cli_case "whole job -j 1" "" "${keep[@]}" -j 1 -o "$scratch/out.xlsx"
  cli_case "whole job -j 2" "<=8x" "${keep[@]}" -j 2 -o "$scratch/out.xlsx"
  if ((has_compare)); then
    # The same job compared with an earlier report of the same sources (a
    # JSON report of about 240,000 rows for the JDK): every row matched.
    "$cli" -q -r "${keep[@]}" -j 2 -o "$scratch/earlier.json" "$corpus" >/dev/null 2>&1 || true
    cli_case "whole job -j 2 --compare" "<=1.2x whole job" "${keep[@]}" -j 2 --compare "$scratch/earlier.json" \
      -o "$scratch/out.xlsx"
  fi
  add_row "tree-sitter floor -j 2" "" "$(measure "$ts_floor" -j 2 "$corpus")"
  say "  tree-sitter floor done"
  ts_floor_wall=${rows[-1]##*|}
  ts_floor_wall=${ts_floor_wall%% *}
  cli_case "modern analysis -j 2" "<=18x" "${keep[@]}" --syntax modern --dry-run -j 2
  cli_case "modern whole job -j 2" "<=18x" "${keep[@]}" --syntax modern -j 2 -o "$scratch/out.xlsx"
  if [[ -n $base ]]; then
    add_row "base modern whole job -j 2" "" "$(measure "$base" -q -r "${keep[@]}" --syntax modern -j 2 -o "$scratch/out.xlsx" "$corpus")"
    say "  base modern whole job done"
  fi
else
  say "rzt-cli has no -j/--dry-run yet: measuring the whole job on one thread only"
  cli_case "whole job (1 thread)" "" "${keep[@]}" -o "$scratch/out.xlsx"
  cli_case "modern whole job (1 thread)" "" "${keep[@]}" --syntax modern -o "$scratch/out.xlsx"
fi

# --- The table, with each target checked.
printf '\nrzt-cli %s over %s: %d files, %.1f MB; median of %d runs (wall clock)\n' \
  "$("$cli" --version | awk '{ print $2 }')" "$corpus" "$files" "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" "$runs"
printf '%-28s %8s %8s %9s %8s %8s %8s  %s\n' case "wall s" "MB/s" "files/s" "cpu s" "RSS MB" "x floor" target
j1_wall=""
whole_wall=""
failed=0
verdict=""
check() { if awk "BEGIN { exit !($1) }"; then verdict+=" ok"; else verdict+=" MISSED"; failed=1; fi; }
for row in "${rows[@]}"; do
  IFS='|' read -r name target m <<<"$row"
  read -r wall cpu rss status skipped <<<"$m"
  ratio=$(awk -v w="$wall" -v f="$floor_wall" 'BEGIN { printf "%.2f", w / f }')
  verdict=""
  case $name in
    "analysis -j 1") j1_wall=$wall ;;
    "analysis -j 2")
      check "$ratio <= 3"
      [[ -n $j1_wall ]] && { speedup=$(awk -v a="$j1_wall" -v b="$wall" 'BEGIN { printf "%.2f", a / b }'); check "$speedup >= 1.7"; verdict+=" (${speedup}x -j1)"; } ;;
    "whole job -j 2") check "$ratio <= 8"; whole_wall=$wall ;;
    "whole job -j 2 --compare")
      [[ -n $whole_wall ]] && { more=$(awk -v a="$wall" -v b="$whole_wall" 'BEGIN { printf "%.2f", a / b }'); check "$more <= 1.2"; verdict+=" (${more}x whole job)"; } ;;
    modern*"-j 2") check "$ratio <= 18"
      verdict+=" ($(awk -v w="$wall" -v f="$ts_floor_wall" 'BEGIN { printf "%.2f", w / f }')x tree-sitter floor)" ;;
  esac
  [[ $name = "wc -l (floor)" || $name = "tree-sitter floor -j 2" ]] || check "$rss < 400 * 1024"
  [[ $status = 0 ]] || verdict+=" (exit status $status)"
  ((skipped == 0)) || verdict+=" ($skipped files skipped)"
  printf '%-28s %8.3f %8.1f %9.0f %8.2f %8.1f %8s  %s%s\n' "$name" "$wall" \
    "$(awk -v b="$bytes" -v w="$wall" 'BEGIN { print b / 1e6 / w }')" \
    "$(awk -v n="$files" -v w="$wall" 'BEGIN { print n / w }')" "$cpu" \
    "$(awk -v r="$rss" 'BEGIN { print r / 1024 }')" "$ratio" "$target" "$verdict"
done
printf 'targets: RSS < 400 MB for every rzt-cli case; %s\n' "$( ((failed)) && echo 'some were MISSED' || echo 'all met')"
printf 'exit status 1 with --keep-going: files were skipped as bad input for the analysis\n'
((has_jobs && has_dry)) || say "note: rzt-cli had no -j/--dry-run; the analysis-alone and -j 2 cases were not measured"
