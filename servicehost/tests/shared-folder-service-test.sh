#!/usr/bin/env bash
# shared-folder-service-test.sh BUILD_DIR SOURCE_DIR
#
# Two accounts of one lab group share a program folder (mode 2770), as the
# README sets it up. The second one plants a command as the service's
# ImagePath in registry.hive: the first one's client, finding no service,
# asks the service manager for the unit and never runs the planted command.
# And a service run once under the second account (an administrator trying
# it, say) never locks the service's own account out afterwards. Runs as root
# (it makes the accounts); exits 77 (skipped) otherwise.
set -euo pipefail

build=$(cd "${1:?usage: shared-folder-service-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
source_dir=$(cd "${2:?usage: shared-folder-service-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

for program in Tavrel TavrelService sorvex-sim demo-setup; do
    [ -x "$build/bin/$program" ] || skip "$build/bin/$program is not built"
done
# shellcheck source=../../scripts/lab-accounts.sh
source "$source_dir/scripts/lab-accounts.sh"

work=$(mktemp -d /tmp/tavrel-shared-folder-test.XXXXXX)
chmod 755 "$work"
folder=$work/lab
pids=()
cleanup() {
    set +e
    for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    lab_accounts_cleanup
    rm -rf "$work"
}
trap cleanup EXIT
status=0
lab_accounts_setup tvlabx 2 "$folder" >"$work/setup.out" || status=$?
[ "$status" -eq 77 ] && skip "$(cat "$work/setup.out")"
[ "$status" -eq 0 ] || fail "the accounts could not be made: $(cat "$work/setup.out")"
service_user=tvlabx1
other_user=tvlabx2
for user in $service_user $other_user; do
    lab_as "$user" test -x "$build/bin/TavrelService" || skip "$user cannot run the programs in $build/bin"
done

"$build/bin/sorvex-sim" --port 0 >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/sim.out")
case "$port" in ''|*[!0-9]*) cat "$work/sim.out"; fail "the simulated server did not start" ;; esac
lab_as $service_user TAVREL_HOME="$folder" "$build/bin/demo-setup" "http://127.0.0.1:$port/sorvex/cgi/" >/dev/null ||
    fail "demo-setup failed in $folder"
log=$folder/Sorvex_Tavrel_Event_Log.csv
connected() {
    local n
    n=$(grep -c ",Connected to " "$log" 2>/dev/null) || true
    echo "${n:-0}"
}

# run_service USER: starts the foreground service as USER, waits until it has
# connected (or ended), and leaves its pid in $service_pid.
run_service() {
    local before
    before=$(connected)
    lab_spawn "$work/service-$1.out" "$1" TAVREL_HOME="$folder" COMPUTERNAME=LABPC "$build/bin/TavrelService" -debug
    service_pid=$lab_pid
    pids+=("$service_pid")
    for _ in $(seq 300); do
        [ "$(connected)" -gt "$before" ] && return 0
        kill -0 "$service_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/service-$1.out"
    fail "the service did not start under $1"
}
stop_service() {
    kill -TERM "$service_pid"
    wait "$service_pid" || fail "the service ended with status $? after SIGTERM"
}

echo "== a start under another account, then the service's own"
run_service $other_user
stop_service
lock=$(ls "$folder"/TaskDB.mdb.*.lock 2>/dev/null | head -n 1)
[ -n "$lock" ] || fail "no session lock file was made in $folder"
[ "$(stat -c '%G %a' "$lock")" = "tvlabx 660" ] || fail "$lock is $(stat -c '%U:%G %a' "$lock"), not group-shared"
run_service $service_user
stop_service
# As an older program left it: private to the other account.
chown $other_user "$lock"
chmod 600 "$lock"
run_service $service_user
stop_service
grep -q "Cannot open the lock file" "$work"/service-*.out && fail "a service was locked out by the lock file"

echo "== a command planted as ImagePath"
lab_as $other_user TAVREL_HOME="$folder" "$build/bin/TavrelService" -install -silent >/dev/null 2>&1 || true
planted=$work/planted
chmod 1777 "$work"
sed -i "s|^\"ImagePath\"=expand_sz:.*|\"ImagePath\"=expand_sz:\"/usr/bin/touch $planted\"|" "$folder/registry.hive"
grep -q "touch $planted" "$folder/registry.hive" || fail "the command could not be planted in registry.hive"
# The service manager here only records what it is asked, and refuses.
fake=$work/fake-bin
mkdir "$fake"
cat >"$fake/systemctl" <<SH
#!/bin/sh
echo "\$*" >>"$work/systemctl.calls"
echo "Failed to start unit: Access denied" >&2
exit 4
SH
chmod 755 "$fake/systemctl"
touch "$work/systemctl.calls"
chmod 666 "$work/systemctl.calls"
LAB_PATH="$fake:$PATH" lab_spawn "$work/client.out" $service_user TAVREL_HOME="$folder" QT_QPA_PLATFORM=offscreen \
    COMPUTERNAME=LABPC "$build/bin/Tavrel"
client_pid=$lab_pid
pids+=("$client_pid")
for _ in $(seq 600); do
    grep -q "start sorvex-tavrel-service.service" "$work/systemctl.calls" && break
    kill -0 "$client_pid" 2>/dev/null || break
    sleep 0.1
done
kill -KILL "$client_pid" 2>/dev/null || true
wait "$client_pid" 2>/dev/null || true
[ -e "$planted" ] && fail "the client ran the command planted in registry.hive"
grep -q "start sorvex-tavrel-service.service" "$work/systemctl.calls" ||
    { cat "$work/client.out"; fail "the client did not ask the service manager to start the unit"; }
echo "shared folder service test passed"
