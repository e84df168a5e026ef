#!/usr/bin/env bash
# Installs what is missing, builds, starts the servers the tests need, runs the
# whole suite, then fuzzes the peak-list readers briefly; exits non-zero when
# either fails (the suite's status first).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh

source scripts/pg-test-server.sh
trap pg_test_stop EXIT
pg_test_start

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/tavrel-xdg.XXXXXX)}
set +e
# Each peak-list reader's fuzz target for a short bounded time (clang only);
# run first so that the test summary closes the output.
fuzz_status=0
if command -v clang++ >/dev/null 2>&1; then
  scripts/fuzz.sh 10
  fuzz_status=$?
else
  echo "clang++ not found: fuzz targets not run"
fi

ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600
status=$?
if [ "$status" -ne 0 ]; then exit "$status"; fi
exit "$fuzz_status"
