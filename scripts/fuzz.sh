#!/usr/bin/env bash
# Fuzzes the delimited-text reader (line reading, column splitting, character sets and the
# import into an events table) with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer. Not part of `make test`; the corpus it grows in
# tests/fuzz/corpus is replayed by the exchange tests.
#
#   scripts/fuzz.sh [SECONDS]      default 600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
out=build-fuzz
mkdir -p "$out"

sources=(src/calendar/*.cpp src/text/*.cpp src/data/*.cpp src/exchange/*.cpp tests/fuzz/delimited_text_fuzzer.cpp)
existing=()
for s in "${sources[@]}"; do [ -f "$s" ] && existing+=("$s"); done

nice clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc -Itests/fuzz "${existing[@]}" -lsqlite3 -o "$out/delimited_text_fuzzer"

mkdir -p tests/fuzz/corpus
# The corpus directory comes first: new interesting inputs are written there.
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
nice "$out/delimited_text_fuzzer" tests/fuzz/corpus -max_total_time="$seconds" \
  -max_len=4096 -timeout=10 -print_final_stats=1 -artifact_prefix="$out/"
