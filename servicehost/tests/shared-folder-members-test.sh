#!/usr/bin/env bash
# shared-folder-members-test.sh BUILD_DIR SOURCE_DIR
#
# Members of one lab group share a program folder (mode 2770), as the README
# sets it up, under Debian's default umask 022. One member plants a task whose
# pre-task command is a script of theirs, and names another script as the
# program ".html" files open with in registry.hive. A second member's client
# (its start-up and its result launcher, client_tests' LabMember test run as
# that member), finding no service, is offered Ignore: it runs no service on
# that member's desktop, so the planted command never runs as them, and a
# click on a result runs no planted program. And a "run/tmp" that another
# account left behind makes the service reuse one folder of its own, never
# make a new one at every start. Runs as root (it makes the accounts); exits
# 77 (skipped) otherwise.
set -euo pipefail

build=$(cd "${1:?usage: shared-folder-members-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
source_dir=$(cd "${2:?usage: shared-folder-members-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

for program in bin/Tavrel bin/TavrelService bin/sorvex-sim bin/demo-setup tests/client_tests; do
    [ -x "$build/$program" ] || skip "$build/$program is not built"
done
command -v sqlite3 >/dev/null || skip "sqlite3 is not installed"
# shellcheck source=../../scripts/lab-accounts.sh
source "$source_dir/scripts/lab-accounts.sh"

work=$(mktemp -d /tmp/tavrel-shared-folder-members.XXXXXX)
chmod 755 "$work"
folder=$work/lab
pids=()
cleanup() {
    set +e
    for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    for user in "${lab_accounts_users[@]}"; do pkill -KILL -u "$user" 2>/dev/null; done
    lab_accounts_cleanup
    rm -rf "$work"
}
trap cleanup EXIT
status=0
lab_accounts_setup tvlabm 3 "$folder" >"$work/setup.out" || status=$?
[ "$status" -eq 77 ] && skip "$(cat "$work/setup.out")"
[ "$status" -eq 0 ] || fail "the accounts could not be made: $(cat "$work/setup.out")"
service_user=tvlabm1
planter=tvlabm2
member=tvlabm3
for user in $service_user $member; do
    lab_as "$user" test -x "$build/tests/client_tests" || skip "$user cannot run the programs in $build"
done

# as USER [NAME=VALUE ...] -- PROGRAM [ARGUMENTS ...]: lab_as under the umask 022.
as() {
    local user=$1 vars=()
    shift
    while [ "$1" != -- ]; do vars+=("$1"); shift; done
    shift
    lab_as "$user" "${vars[@]}" /bin/sh -c 'umask 022 && exec "$@"' sh "$@"
}
spawn() {
    local output=$1 user=$2 vars=()
    shift 2
    while [ "$1" != -- ]; do vars+=("$1"); shift; done
    shift
    lab_spawn "$output" "$user" "${vars[@]}" /bin/sh -c 'umask 022 && exec "$@"' sh "$@"
    pids+=("$lab_pid")
}

"$build/bin/sorvex-sim" --port 0 >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/sim.out")
case "$port" in ''|*[!0-9]*) cat "$work/sim.out"; fail "the simulated server did not start" ;; esac
as $service_user TAVREL_HOME="$folder" COMPUTERNAME=LABPC -- \
    "$build/bin/demo-setup" "http://127.0.0.1:$port/sorvex/cgi/" >"$work/demo-setup.out" 2>&1 ||
    { cat "$work/demo-setup.out"; fail "demo-setup failed in $folder"; }

echo "== $planter plants a task command and a \".html\" program"
ran=$work/ran-as
: >"$ran"
chmod 666 "$ran"
for name in task-command browser; do
    printf '#!/bin/sh\nid -un >>%s\n' "$ran" >"$work/$name.sh"
    chown $planter "$work/$name.sh"
    chmod 755 "$work/$name.sh"
done
as $planter -- sqlite3 "$folder/TaskDB.mdb" \
    "UPDATE Sorvex_Tavrel_Tasks SET pre_task_command = '$work/task-command.sh', pre_task_wait = 1,
     action_request = 'Run', action_response = NULL" ||
    fail "$planter could not change the task database"
[ "$(sqlite3 "$folder/TaskDB.mdb" "SELECT count(*) FROM Sorvex_Tavrel_Tasks WHERE action_request = 'Run'")" -ge 1 ] ||
    fail "no task waits to run"
as $planter -- /bin/sh -c "printf '%s\n' '[HKEY_LOCAL_MACHINE\\SOFTWARE]' '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tavrel]' \
    '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tavrel\\FileAssociations]' '\".html\"=sz:\"$work/browser.sh\"' >>'$folder/registry.hive'" ||
    fail "$planter could not change registry.hive"

# The service manager here only refuses (a lab user may not start the unit).
fake=$work/fake-bin
mkdir "$fake"
cat >"$fake/systemctl" <<'SH'
#!/bin/sh
echo "Failed to start unit: Access denied" >&2
exit 4
SH
chmod 755 "$fake/systemctl"

echo "== $member's client: Ignore, then a result"
if ! LAB_PATH="$fake:$PATH" as $member TAVREL_HOME="$folder" COMPUTERNAME=LABPC QT_QPA_PLATFORM=offscreen \
    TAVREL_BIN="$build/bin" TAVREL_LAB_MEMBER_TEST=1 -- \
    "$build/tests/client_tests" --gtest_filter='LabMember.*' >"$work/client.out" 2>&1; then
    cat "$work/client.out"
    fail "$member's client test failed"
fi
grep -q "\[  PASSED  \] 1 test" "$work/client.out" || { cat "$work/client.out"; fail "the client test did not run"; }
if pgrep -u $member -f TavrelService >/dev/null; then
    fail "a service program runs as $member: $(pgrep -a -u $member -f TavrelService)"
fi
grep -qx $member "$ran" && fail "a planted program ran as $member"
[ "$(sqlite3 "$folder/TaskDB.mdb" "SELECT count(*) FROM Sorvex_Tavrel_Tasks WHERE action_request = 'Run'")" -ge 1 ] ||
    fail "the planted task was taken up by a service of $member"

echo "== a run/tmp left by another account"
install -d -o $member -g tvlabm -m 700 "$folder/run/tmp"
log=$folder/Sorvex_Tavrel_Event_Log.csv
connected() {
    local n
    n=$(grep -c ",Connected to " "$log" 2>/dev/null) || true
    echo "${n:-0}"
}
for round in 1 2; do
    before=$(connected)
    spawn "$work/service-$round.out" $service_user TAVREL_HOME="$folder" COMPUTERNAME=LABPC -- \
        "$build/bin/TavrelService" -debug
    service_pid=$lab_pid
    for _ in $(seq 300); do
        [ "$(connected)" -gt "$before" ] && break
        kill -0 "$service_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ "$(connected)" -gt "$before" ] || { cat "$work/service-$round.out"; fail "the service did not start"; }
    kill -TERM "$service_pid"
    wait "$service_pid" || fail "the service ended with status $? after SIGTERM"
done
others=$(find "$folder/run" -mindepth 1 -maxdepth 1 -type d -name 'tmp-*' | wc -l)
[ "$others" -le 1 ] || fail "the service made $others temporary folders beside another account's run/tmp"
grep -qx $member "$ran" && fail "a planted program ran as $member"
echo "shared folder members test passed"
