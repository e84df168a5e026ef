#!/usr/bin/env bash
# shared-folder-lab-test.sh BUILD_DIR SOURCE_DIR
#
# A lab as the README sets it up, its users under Debian's default umask 022:
# the service's account owns the program folder (2770) and runs the real
# service; two lab users of its group run the real client. Shows that
#  - the first user's client makes the peak-list root the group's, and a
#    second user's "now", merged, RAW (stand-in extractor) and WIFF tasks,
#    made in the client's task editor, each end with their results under the
#    service's account;
#  - a link planted in a task's cache folder is replaced, never written through;
#  - an empty, a forged, a folder and a fifo lock each leave the service and
#    the client starting;
#  - a 6 GB sparse event log and a 4 GB sparse hive neither stop the running
#    service nor freeze a running client, and a service started on the hive
#    says which file is wrong.
# Runs as root (it makes the accounts); exits 77 (skipped) otherwise.
set -euo pipefail

build=$(cd "${1:?usage: shared-folder-lab-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
source_dir=$(cd "${2:?usage: shared-folder-lab-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

for program in Tavrel TavrelService Pondrel sorvex-sim demo-setup standins/standin-extractor \
    standins/libtavrel-standins.so; do
    [ -e "$build/bin/$program" ] || skip "$build/bin/$program is not built"
done
driver=$build/tests/client_tests
[ -x "$driver" ] || skip "$driver is not built"
for tool in truncate mkfifo sha256sum timeout; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
# shellcheck source=../../scripts/lab-accounts.sh
source "$source_dir/scripts/lab-accounts.sh"

work=$(mktemp -d /tmp/tavrel-lab-test.XXXXXX)
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
lab_accounts_setup tvlabr 3 "$folder" >"$work/setup.out" || status=$?
[ "$status" -eq 77 ] && skip "$(cat "$work/setup.out")"
[ "$status" -eq 0 ] || fail "the accounts could not be made: $(cat "$work/setup.out")"
service_user=tvlabr1
ann=tvlabr2
bob=tvlabr3
for user in $service_user $ann $bob; do
    lab_as "$user" test -x "$build/bin/TavrelService" -a -x "$driver" || skip "$user cannot run the programs in $build"
done
group=tvlabr
common_env=(TAVREL_HOME="$folder" COMPUTERNAME=LABPC QT_QPA_PLATFORM=offscreen TAVREL_BIN="$build/bin")
# The stand-in vendor components, for the service and the road's editor.
plugins=TAVREL_AUTOMATION_PLUGINS="$build/bin/standins/libtavrel-standins.so"

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

# A client start that runs the whole start-up, pictures its window and ends.
client_starts() {
    local user=$1 what=$2 picture
    picture=$(getent passwd "$user" | cut -d: -f6)/$what.png
    if ! lab_as "$user" "${common_env[@]}" TAVREL_SCREENSHOT="$picture" timeout 120 "$build/bin/Tavrel" -debug \
        >"$work/client-$what.out" 2>&1 </dev/null; then
        cat "$work/client-$what.out"
        fail "the client of $user ($what) did not start and end by itself"
    fi
    [ -s "$picture" ] || fail "the client of $user ($what) pictured no window"
}
# The client road of the lab's second user (client/tests/LabRoadTest.cpp).
road() {
    if ! lab_as $bob "${common_env[@]}" "$plugins" TAVREL_LAB_ROAD="$1" TAVREL_LAB_VICTIM="$folder/victim.txt" \
        TAVREL_LAB_EXTRACTOR="$build/bin/standins/standin-extractor" timeout 500 "$driver" \
        --gtest_filter=LabRoad.* >"$work/road-$1.out" 2>&1 </dev/null; then
        cat "$work/road-$1.out"
        tail -n 40 "$log"
        fail "the lab road's part \"$1\" failed"
    fi
}
# run_service: the foreground service under its own account, until it has
# connected (or ended); its pid in $service_pid.
run_service() {
    local before
    before=$(connected)
    lab_spawn "$work/service.out" $service_user "${common_env[@]}" "$plugins" "$build/bin/TavrelService" -debug
    service_pid=$lab_pid
    pids+=("$service_pid")
    for _ in $(seq 600); do
        [ "$(connected)" -gt "$before" ] && return 0
        kill -0 "$service_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/service.out"
    fail "the service did not start ($1)"
}
stop_service() {
    kill -TERM "$service_pid"
    wait "$service_pid" || fail "the service ended with status $? after SIGTERM"
}
# A second start of the user's client hands over to the running one, which
# must answer: a window that is frozen never does.
answers() {
    lab_as "$1" "${common_env[@]}" timeout 60 "$build/bin/Tavrel" >"$work/second.out" 2>&1 </dev/null ||
        { cat "$work/second.out"; fail "the running client of $1 did not answer a second start ($2)"; }
}
channel_hash() { printf '%s\n%s' "$1" "$folder" | sha256sum | cut -c1-16; }

echo "== the first user's client makes the peak-list root"
rm -rf "$folder/qpl"
client_starts $ann first
[ "$(stat -c '%G %a' "$folder/qpl")" = "$group 2770" ] ||
    fail "the peak-list root is $(stat -c '%U:%G %a' "$folder/qpl"), not the group's 2770"

echo "== a second user's tasks, converted and searched under the service's account"
install -o $service_user -g $group -m 0660 /dev/null "$folder/victim.txt"
echo "the service's own file" >"$folder/victim.txt"
road settings
run_service "the first start"
road tasks
[ "$(cat "$folder/victim.txt")" = "the service's own file" ] || fail "the service wrote through the planted link"
bad=$(find "$folder/qpl" -mindepth 1 \( -type d ! -perm -2770 -o -type f ! -perm -0660 \) -printf '%M %u %p\n')
[ -z "$bad" ] || fail "not the group's to write: $bad"

echo "== planted and damaged locks"
stop_service
lock=$folder/TavrelService.lock
client_lock=$folder/run/tavrel-client-$(channel_hash $ann).lock
plant() {
    case $1 in
        empty) lab_as $bob sh -c ': >"$1"' - "$2" ;;
        forged) lab_as $bob sh -c 'printf "1\nTavrelService\n%s\n" "$(uname -n)" >"$1"' - "$2" ;;
        folder) lab_as $bob mkdir "$2" ;;
        fifo) lab_as $bob mkfifo "$2" ;;
    esac
}
for kind in empty forged folder fifo; do
    rm -rf "$lock" "$client_lock"
    plant $kind "$lock"
    run_service "a lock that is $kind"
    stop_service
    plant $kind "$client_lock"
    client_starts $ann "lock-$kind"
done
rm -rf "$lock" "$client_lock"

echo "== a 6 GB sparse event log and a 4 GB sparse hive"
run_service "before the large files"
lab_spawn "$work/client-running.out" $ann "${common_env[@]}" "$build/bin/Tavrel" -debug
client_pid=$lab_pid
pids+=("$client_pid")
for _ in $(seq 600); do
    [ -S "$folder/run/tavrel-client-$(channel_hash $ann)" ] && break
    kill -0 "$client_pid" 2>/dev/null || { cat "$work/client-running.out"; fail "the running client ended"; }
    sleep 0.2
done
answers $ann "its start"
lab_as $bob truncate -s +6G "$log"
answers $ann "the event log grew"
road now
answers $ann "the event log was read"
kill -0 "$service_pid" 2>/dev/null || fail "the service stopped after the event log grew"
rss=$(ps -o rss= -p "$client_pid" | tr -d ' ')
[ "${rss:-0}" -lt 1048576 ] || fail "the running client holds ${rss} kB after reading the event log"

hive=$folder/registry.hive
hive_size=$(stat -c %s "$hive")
lab_as $bob truncate -s +4G "$hive"
answers $ann "the hive grew"
kill -0 "$service_pid" 2>/dev/null || fail "the running service stopped after the hive grew"
stop_service
lab_spawn "$work/service-hive.out" $service_user "${common_env[@]}" "$plugins" "$build/bin/TavrelService" -debug
pids+=("$lab_pid")
status=0
wait "$lab_pid" || status=$?
[ "$status" -ne 0 ] && [ "$status" -lt 128 ] ||
    { cat "$work/service-hive.out"; fail "a start on the grown hive ended with status $status"; }
grep -qF "$hive: cannot be read: it holds" "$work/service-hive.out" ||
    { cat "$work/service-hive.out"; fail "the start on the grown hive did not name it"; }
grep -q "bad_alloc" "$work/service-hive.out" && fail "the hive was read into memory"
[ "$(stat -c %s "$hive")" -gt 4294967296 ] || fail "the grown hive was overwritten"
lab_as $bob truncate -s "$hive_size" "$hive"
kill -TERM "$client_pid"
echo "shared folder lab test passed"
