#!/usr/bin/env bash
# Fuzzes the targets of the sanitizer build (scripts/test.sh --sanitize makes
# them in build-asan/tests/fuzz), each from a copy of its seed corpus
# tests/fuzz/corpus/<target>, so that new inputs never land in the repository.
#   scripts/fuzz.sh                          every target for 60 s each
#   scripts/fuzz.sh -t 600 dom_load_fuzz     one target for 10 minutes
# Fails when a target crashes, leaks, hangs or runs out of memory; the input
# that did it is kept in build-asan/fuzz-crashes/<target>/ and replays with
#   build-asan/tests/fuzz/<target> <input file>...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
if [ "${1:-}" = "-t" ]; then
  seconds=$2
  shift 2
fi
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
failed=()
for target in "${targets[@]}"; do
  program=build-asan/tests/fuzz/$target
  crashes=build-asan/fuzz-crashes/$target
  mkdir -p "$crashes" "$scratch/$target"
  cp tests/fuzz/corpus/"$target"/* "$scratch/$target/"
  echo "fuzz: $target for ${seconds}s"
  if ! "$program" -max_total_time="$seconds" -max_len="$(max_len "$target")" \
       -rss_limit_mb=2048 -timeout=30 -print_final_stats=1 \
       -artifact_prefix="$crashes/" "$scratch/$target" >"$scratch/$target.log" 2>&1; then
    tail -n 60 "$scratch/$target.log"
    # The input, so that a failure far from here can be replayed from the log.
    for input in "$crashes"/*; do
      echo "input $input (base64):"
      head -c 4096 "$input" | base64
    done
    failed+=("$target")
  else
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$scratch/$target.log" || true
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: ${failed[*]} failed; inputs in build-asan/fuzz-crashes/" >&2
  exit 1
fi
