#!/usr/bin/env bash
# Installs what is missing, builds, and starts the system on its embedded
# defaults: a SQLite task database in $TAVREL_HOME (default: ./tavrel-home).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh

export TAVREL_HOME=${TAVREL_HOME:-$PWD/tavrel-home}
mkdir -p "$TAVREL_HOME"
echo "Program folder (TAVREL_HOME): $TAVREL_HOME"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

started=0
if [ -x build/bin/sorvex-sim ]; then
  build/bin/sorvex-sim --port 0 >"$TAVREL_HOME/sorvex-sim.out" 2>&1 &
  pids+=($!); started=1
  for _ in $(seq 50); do [ -s "$TAVREL_HOME/sorvex-sim.out" ] && break; sleep 0.1; done
  SIM_URL="http://127.0.0.1:$(head -n 1 "$TAVREL_HOME/sorvex-sim.out")/sorvex/cgi/"
  echo "Started the simulated Sorvex Server at $SIM_URL"
fi
if [ -x build/bin/TavrelService ] && [ -n "${SIM_URL:-}" ] && [ -x build/bin/demo-setup ]; then
  build/bin/demo-setup "$SIM_URL"
  build/bin/TavrelService -debug &
  pids+=($!); started=1
  echo "Started TavrelService -debug"
fi
if [ -x build/bin/Tavrel ]; then
  echo "Starting Tavrel"
  build/bin/Tavrel
  exit 0
fi
if [ "$started" -eq 0 ]; then
  echo "Built the libraries in build/; no program to start yet."
  exit 0
fi
if [ ! -x build/bin/TavrelService ]; then
  echo "The task runner and the client are not built yet; press Ctrl-C to stop the simulated server."
fi
wait
