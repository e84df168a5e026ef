#!/usr/bin/env bash
# Installs what is missing, builds, starts the servers the tests need, runs the
# whole suite and exits with its status.
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
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600
status=$?
exit $status
