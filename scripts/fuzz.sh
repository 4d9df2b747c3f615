#!/usr/bin/env bash
# Fuzzes a reader with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
# Not part of `make test`; the corpus each target grows under tests/fuzz is replayed by
# the tests.
#
#   scripts/fuzz.sh [TARGET] [SECONDS]      default delimited_text, 600
#
#   delimited_text  line reading, column splitting, character sets and the import into an
#                   events table (corpus tests/fuzz/corpus)
#   table_file      the table-file loader: calendars, group files, bare tables
#                   (corpus tests/fuzz/table_file_corpus)
set -euo pipefail
cd "$(dirname "$0")/.."
target=delimited_text
if [[ $# -gt 0 && ! $1 =~ ^[0-9]+$ ]]; then target=$1; shift; fi
seconds=${1:-600}
case "$target" in
  delimited_text) corpus=tests/fuzz/corpus; max_len=4096 ;;
  table_file) corpus=tests/fuzz/table_file_corpus; max_len=16384 ;;
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
out=build-fuzz
mkdir -p "$out"

sources=(src/calendar/*.cpp src/data/*.cpp src/exchange/*.cpp "tests/fuzz/${target}_fuzzer.cpp")
existing=()
for s in "${sources[@]}"; do [ -f "$s" ] && existing+=("$s"); done

nice clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc -Itests/fuzz "${existing[@]}" -lsqlite3 -o "$out/${target}_fuzzer"

mkdir -p "$corpus"
# The corpus directory comes first: new interesting inputs are written there.
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
nice "$out/${target}_fuzzer" "$corpus" -max_total_time="$seconds" \
  -max_len="$max_len" -timeout=10 -print_final_stats=1 -artifact_prefix="$out/${target}-"
