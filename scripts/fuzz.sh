#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each for a
# bounded time: the peak-list readers (seeds in convert/fuzz/corpus/<reader>)
# and the other readers of outside input, the hive file, ".par" files, server
# replies, event-log lines, connection strings, URLs and command lines (seeds
# in tools/fuzz/corpus/<target>). Seeds are read only; each target grows a
# corpus in a temporary folder that is removed at the end. Exits non-zero when
# any target finds a crash, a broken promise, a hang or runaway memory.
# Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
flags="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer -g -O1"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTAVREL_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
targets=(dta pkl asc pks apiiii generic hive par replies eventline connstring url cmdline)
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT

bin="$PWD/build-fuzz/fuzz"
# A small quarantine: freed memory held back for checks counts towards the
# memory limit, and the text readers free much in a few seconds.
export ASAN_OPTIONS="quarantine_size_mb=32"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$work/corpus-$t"
  corpora=("$work/corpus-$t")
  for seeds in "$PWD/convert/fuzz/corpus/$t" "$PWD/tools/fuzz/corpus/$t"; do
    [ -d "$seeds" ] && corpora+=("$seeds")
  done
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
