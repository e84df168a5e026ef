#!/usr/bin/env bash
# Installs what is missing, builds (a warning of the project's own code stops
# the build), starts the servers the tests need, fuzzes every reader of
# outside input briefly, runs the service's end-to-end tests under the
# sanitizers, then the whole suite; exits non-zero when any fails
# (the suite's status first).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh -DTAVREL_WERROR=ON

source scripts/pg-test-server.sh
trap pg_test_stop EXIT
pg_test_start

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/tavrel-xdg.XXXXXX)}
set +e
# Each reader's fuzz target for a few seconds (clang only), then the
# service's end-to-end tests under the address and undefined-behaviour
# sanitizers; both run first so that the test summary closes the output.
fuzz_status=0
if command -v clang++ >/dev/null 2>&1; then
  scripts/fuzz.sh 5
  fuzz_status=$?
else
  echo "clang++ not found: fuzz targets not run"
fi
scripts/sanitize.sh
sanitize_status=$?

ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600
status=$?
if [ "$status" -ne 0 ]; then exit "$status"; fi
if [ "$sanitize_status" -ne 0 ]; then exit "$sanitize_status"; fi
exit "$fuzz_status"
