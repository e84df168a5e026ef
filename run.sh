#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demo: the simulated Sorvex
# Server on 127.0.0.1, TavrelService -debug on a SQLite task database in
# $TAVREL_HOME (default: ./tavrel-home), with a task that searches every peak
# list dropped into $TAVREL_HOME/inbox, and the Tavrel window showing it.
# Without a display the window is left out (see scripts/screenshot.sh).
# Closing the window or Ctrl-C stops everything it started.
set -euo pipefail
# A relative TAVREL_HOME names a folder in the caller's current folder, as it
# does for every program.
if [ -n "${TAVREL_HOME:-}" ]; then TAVREL_HOME=$(realpath -m -- "$TAVREL_HOME"); fi
cd "$(dirname "$0")"
scripts/install-deps.sh
# Only the programs the demo starts and what "cmake --install" takes from the
# tree; ./test.sh builds the tests and benchmarks.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target TavrelService Pondrel Tavrel service-unit sorvex-sim demo-setup standin-programs

export TAVREL_HOME=${TAVREL_HOME:-$PWD/tavrel-home}
mkdir -p "$TAVREL_HOME"
echo "Program folder (TAVREL_HOME): $TAVREL_HOME"

pids=()
service_pid=
cleanup() {
  trap - EXIT INT TERM
  # The service first, so that its shut-down lines reach the log tail.
  if [ -n "$service_pid" ]; then
    kill "$service_pid" 2>/dev/null || true
    wait "$service_pid" 2>/dev/null || true
    sleep 1
  fi
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ ! -x build/bin/sorvex-sim ] || [ ! -x build/bin/TavrelService ] || [ ! -x build/bin/demo-setup ]; then
  echo "sorvex-sim, TavrelService or demo-setup did not build; nothing to start."
  exit 1
fi

rm -f "$TAVREL_HOME/sorvex-sim.out"
build/bin/sorvex-sim --port 0 >"$TAVREL_HOME/sorvex-sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$TAVREL_HOME/sorvex-sim.out" ] && break; sleep 0.1; done
port=$(head -n 1 "$TAVREL_HOME/sorvex-sim.out")
case "$port" in
  ''|*[!0-9]*) echo "The simulated server did not start:"; cat "$TAVREL_HOME/sorvex-sim.out"; exit 1 ;;
esac
SIM_URL="http://127.0.0.1:$port/sorvex/cgi/"
echo "Started the simulated Sorvex Server at $SIM_URL"

build/bin/demo-setup "$SIM_URL"
# The log tail starts where this run's service starts: a second run shows
# only its own lines.
events="$TAVREL_HOME/Sorvex_Tavrel_Event_Log.csv"
log_start=$(stat -c %s "$events" 2>/dev/null || echo 0)
# The demo's service and client find the stand-ins of the vendor components.
source scripts/demo-env.sh "$PWD/build/bin"
build/bin/TavrelService -debug >"$TAVREL_HOME/service.out" 2>&1 &
service_pid=$!
echo "Started TavrelService -debug (its output: $TAVREL_HOME/service.out)"

# The service runs in the foreground here, so the client neither installs nor
# starts one of its own ("-debug").
if [ -x build/bin/Tavrel ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  echo "Starting Tavrel (close its window to stop everything)"
  build/bin/Tavrel -debug || true
  exit 0
fi
if [ -x build/bin/Tavrel ]; then
  cat <<EOF

There is no display here, so the Tavrel window cannot open. To see it, take a
picture of it on a private X server while this demo runs, in another terminal:
  TAVREL_HOME="$TAVREL_HOME" scripts/screenshot.sh -t Status:task_1 build/bin/Tavrel -debug
(-t "Event Log", "Task Editor:task_1", "Parameter Editor" or "Preferences"
shows another tab or the Preferences dialog.)
EOF
fi

cat <<EOF

The task "Demo inbox" searches every peak list dropped into
  $TAVREL_HOME/inbox
One sample is there already. To search another one:
  cp "$TAVREL_HOME/samples/sample2.qpl" "$TAVREL_HOME/inbox/"
Each search shows below as "Search submitted" and "Search completed" lines of
the event log ($events).
The results table:
  sqlite3 "$TAVREL_HOME/TaskDB.mdb" 'SELECT task_UID, input_data_file, accession, hit_score FROM Sorvex_Tavrel_Results'
Press Ctrl-C to stop the server and the service.

EOF
touch "$events"
tail -c +$((log_start + 1)) -F "$events" 2>/dev/null &
pids+=($!)
wait
