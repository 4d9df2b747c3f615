#!/usr/bin/env bash
# Fuzzes one reader of outside files with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer. Not part of `make test`; the corpus each target grows in
# tests/fuzz/ is replayed by the tests.
#
#   scripts/fuzz.sh [TARGET] [SECONDS]     TARGET default delimited_text, SECONDS 600
#
#   delimited_text  line reading, column splitting, character sets and the import into
#                   an events table                          corpus tests/fuzz/corpus
#   language_file   the language-file reader                 tests/fuzz/language_file_corpus
#   locations       the country and city list readers        tests/fuzz/locations_corpus
#   table_file      the table-file loader: calendars, group files, bare tables
#                                                      tests/fuzz/table_file_corpus
#
# Further libFuzzer options may follow, for example -jobs=2 or -merge=1.
set -euo pipefail
cd "$(dirname "$0")/.."
# A lone number is the time for the first target, as before there were several.
if [[ ${1:-} =~ ^[0-9]+$ ]]; then set -- delimited_text "$@"; fi
target=${1:-delimited_text}
seconds=${2:-600}
shift $(($# > 2 ? 2 : $#))
out=build-fuzz
mkdir -p "$out"

case "$target" in
  delimited_text)
    sources=(src/calendar/*.cpp src/text/*.cpp src/data/*.cpp src/exchange/*.cpp)
    corpus=tests/fuzz/corpus ;;
  language_file)
    sources=(src/app/language_file.cpp src/text/text_encoding.cpp src/data/regular_file.cpp src/data/error.cpp)
    corpus=tests/fuzz/language_file_corpus ;;
  locations)
    sources=(src/app/locations.cpp src/text/text_encoding.cpp src/data/regular_file.cpp src/data/error.cpp)
    corpus=tests/fuzz/locations_corpus ;;
  table_file)
    sources=(src/calendar/*.cpp src/text/*.cpp src/data/*.cpp)
    corpus=tests/fuzz/table_file_corpus
    max_len=16384 ;;
  *)
    echo "unknown target $target (delimited_text, language_file, locations, table_file)" >&2
    exit 2 ;;
esac

nice clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Isrc -Itests/fuzz "${sources[@]}" "tests/fuzz/${target}_fuzzer.cpp" -lsqlite3 \
  -o "$out/${target}_fuzzer"

mkdir -p "$corpus"
# The corpus directory comes first: new interesting inputs are written there.
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
nice -n 10 "$out/${target}_fuzzer" "$corpus" -max_total_time="$seconds" \
  -max_len="${max_len:-4096}" -timeout=10 -print_final_stats=1 -artifact_prefix="$out/${target}_" "$@"
