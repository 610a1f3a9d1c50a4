#!/usr/bin/env bash
# Fuzzes the targets of the sanitizer build (scripts/test.sh --sanitize makes
# them in build-asan/tests/fuzz), each from a copy of its seed corpus
# tests/fuzz/corpus/<target>, so that new inputs never land in the repository,
# two targets at a time (-j sets how many).
#   scripts/fuzz.sh                          every target for 60 s each
#   scripts/fuzz.sh -t 600                   every target for 10 minutes
#   scripts/fuzz.sh -t 600 dom_load_fuzz     one target for 10 minutes
# Fails when a target crashes, leaks, hangs or runs out of memory; the input
# that did it is kept in build-asan/fuzz-crashes/<target>/ and replays with
#   build-asan/tests/fuzz/<target> <input file>...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
parallel=2
while [ $# -gt 0 ]; do
  case "$1" in
    -t) seconds=$2; shift 2 ;;
    -j) parallel=$2; shift 2 ;;
    *) break ;;
  esac
done
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

# Inputs a little longer than the largest seed; short ones for plain text.
max_len() {
  case "$1" in
    text_conversion_fuzz) echo 128 ;;
    workspace_json_fuzz) echo 16384 ;;
    package_open_fuzz | excel_names_fuzz) echo 8192 ;;
    word_open_fuzz) echo 40960 ;;
    *) echo 4096 ;;
  esac
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Fuzzes one target; on failure prints the end of its log and the input that
# did it, so that a failure far from here can be replayed from the log.
fuzz_target() {
  local target=$1
  local program=build-asan/tests/fuzz/$target
  local crashes=build-asan/fuzz-crashes/$target
  local log=$scratch/$target.log
  mkdir -p "$crashes" "$scratch/$target"
  cp tests/fuzz/corpus/"$target"/* "$scratch/$target/"
  if ! "$program" -max_total_time="$seconds" -max_len="$(max_len "$target")" \
       -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 \
       -artifact_prefix="$crashes/" "$scratch/$target" >"$log" 2>&1; then
    {
      echo "fuzz: $target failed"
      tail -n 60 "$log"
      for input in "$crashes"/*; do
        echo "input $input (base64):"
        head -c 4096 "$input" | base64
      done
    } >"$scratch/$target.report"
    return 1
  fi
  {
    echo "fuzz: $target for ${seconds}s"
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$log" || true
  } >"$scratch/$target.report"
}

running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  fuzz_target "$target" &
  running=$((running + 1))
done
wait

failed=()
for target in "${targets[@]}"; do
  report=$scratch/$target.report
  if [ ! -f "$report" ]; then
    echo "fuzz: $target could not be started" >"$report"
  fi
  cat "$report"
  if ! grep -q "^fuzz: $target for" "$report"; then
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: ${failed[*]} failed; inputs in build-asan/fuzz-crashes/" >&2
  exit 1
fi
