#!/usr/bin/env bash
# The service's end-to-end tests (servicehost_tests: the real TavrelService
# against sorvex-sim, and the service host in process) built with the address
# and undefined-behaviour sanitizers into build-sanitize/ and run there. The
# first report of either sanitizer (leaks included) ends the program that made
# it, so its test fails.
#
# Only these tests, not the whole suite: a sanitized build of every test
# program costs about three times the CPU of the plain build, too much for
# ./test.sh to stay well inside CI's time; these programs carry the service,
# its jobs, searches, conversions and platform layers whole, in about as much
# CPU as the plain build.
#
# The caller starts the servers the tests need (TAVREL_TEST_PG), as ./test.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-sanitize -j"$(nproc)" --target servicehost_tests TavrelService sorvex-sim demo-setup

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# The test programs this script does not build have only placeholders here.
ctest --test-dir build-sanitize -E '_NOT_BUILT$' --output-on-failure -j"$(nproc)" --timeout 600
