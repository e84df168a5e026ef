#!/usr/bin/env bash
# Builds the peak-list reader fuzz targets with clang into build-fuzz/ and runs
# each for a bounded time. Exits non-zero when any target finds a crash, a hang
# or runaway memory. Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
flags="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer -g -O1"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTAVREL_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
targets=(dta pkl asc pks apiiii generic)
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

status=0
for t in "${targets[@]}"; do
  work="build-fuzz/fuzz/corpus-$t"
  mkdir -p "$work"
  echo "== fuzz_$t (${seconds}s)"
  if ! (cd "build-fuzz/fuzz" && ./"fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 \
          -max_len=65536 -print_final_stats=0 "corpus-$t" 2>"fuzz_$t.log"); then
    echo "fuzz_$t FAILED; see build-fuzz/fuzz/fuzz_$t.log"
    tail -40 "build-fuzz/fuzz/fuzz_$t.log" || true
    status=1
  fi
done
exit $status
