#!/usr/bin/env bash
# Builds the peak-list reader fuzz targets with clang into build-fuzz/ and runs
# each for a bounded time, starting from the seeds in convert/fuzz/corpus/<reader>
# (read only) and growing a corpus in a temporary folder that is removed at the
# end. Exits non-zero when any target finds a crash, a hang or runaway memory.
# Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
flags="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer -g -O1"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTAVREL_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
targets=(dta pkl asc pks apiiii generic)
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
seeds="$PWD/convert/fuzz/corpus"
bin="$PWD/build-fuzz/fuzz"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$work/corpus-$t"
  corpora=("$work/corpus-$t")
  [ -d "$seeds/$t" ] && corpora+=("$seeds/$t")
  log="$bin/fuzz_$t.log"
  echo "== fuzz_$t (${seconds}s)"
  # Crash inputs land in build-fuzz/fuzz (the working folder), never in the seeds.
  if ! (cd "$bin" && ./"fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 \
          -max_len=65536 -print_final_stats=0 "${corpora[@]}" 2>"$log"); then
    echo "fuzz_$t FAILED; see $log (crash inputs in $bin)"
    tail -40 "$log" || true
    status=1
  fi
done
exit $status
