#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers into
# build-sanitize/ and runs the test suite there; the first report of either
# sanitizer ends the program that made it, so its test fails.
# Usage: scripts/sanitize.sh [ctest -R regex]   (default: the whole suite)
# The caller starts the servers the tests need (TAVREL_TEST_PG), as ./test.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g -O1"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-sanitize -j"$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=0:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
args=(--test-dir build-sanitize --output-on-failure -j"$(nproc)" --timeout 900)
if [ $# -gt 0 ]; then args+=(-R "$1"); fi
ctest "${args[@]}"
