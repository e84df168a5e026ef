#!/usr/bin/env bash
# shared-folder-test.sh BUILD_DIR SOURCE_DIR
#
# One program folder (mode 2770) shared as the README sets it up: a service
# account that owns it, two lab accounts in its group and one account outside
# the group. The lab users' clients (the real program, against the simulated
# server on 127.0.0.1) replace each other's files, never follow a link one of
# them planted, and the outsider is told what is wrong rather than "another
# instance"; the service still starts after both clients. Needs root to make
# the accounts; exits 77 (skipped) when it cannot run here.
set -euo pipefail

build=$(cd "${1:?usage: shared-folder-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
source_dir=$(cd "${2:?usage: shared-folder-test.sh BUILD_DIR SOURCE_DIR}" && pwd)

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

for tool in timeout stat; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
for program in Tavrel TavrelService sorvex-sim demo-setup; do
    [ -x "$build/bin/$program" ] || skip "$build/bin/$program is not built"
done

# shellcheck source=../scripts/lab-accounts.sh
source "$source_dir/scripts/lab-accounts.sh"

work=$(mktemp -d /tmp/tavrel-shared-folder-test.XXXXXX)
chmod 711 "$work"
folder=$work/tavrel
sim_pid=
service_pid=
cleanup() {
    set +e
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    lab_accounts_cleanup
    rm -rf "$work"
}
trap cleanup EXIT

# Names of this run only, so that nothing already on the computer changes:
# the service's account owns the folder, two lab users share its group, and
# one account stays outside it.
group=tvsg$$
status=0
{ lab_accounts_setup "$group" 3 "$folder" && lab_outsider "tvso$$"; } >"$work/setup.out" || status=$?
[ "$status" -eq 77 ] && skip "$(cat "$work/setup.out")"
[ "$status" -eq 0 ] || fail "the accounts could not be made: $(cat "$work/setup.out")"
service=${group}1
ann=${group}2
bob=${group}3
out=tvso$$
home_of() { getent passwd "$1" | cut -d: -f6; }
for name in "$service" "$ann" "$bob"; do
    lab_as "$name" test -x "$build/bin/Tavrel" || skip "$name cannot run the programs in $build/bin"
done
printf 'export PATH=$HOME/bin:$PATH\n' >"$(home_of "$bob")/.profile"
chown "$bob" "$(home_of "$bob")/.profile"
profile_before=$(cat "$(home_of "$bob")/.profile")

# Runs a program as an account, with its groups and the usual umask 022;
# leading VARIABLE=VALUE words add to its environment.
as() {
    local name=$1
    shift
    LAB_PATH=/usr/bin:/bin lab_as "$name" TAVREL_HOME="$folder" QT_QPA_PLATFORM=offscreen "$@"
}
owner_mode() { stat -c '%U:%G %a' "$1"; }

"$build/bin/sorvex-sim" --port 0 >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/sim.out")
case "$port" in ''|*[!0-9]*) cat "$work/sim.out"; fail "the simulated server did not start" ;; esac
as "$service" "$build/bin/demo-setup" "http://127.0.0.1:$port/sorvex/cgi/" >"$work/setup.out" 2>&1 ||
    { cat "$work/setup.out"; fail "demo-setup failed in $folder"; }

# The client runs its whole start-up (the server's parameters saved in
# "server.dat" among it), pictures its window and ends; a message box on the
# way would keep it waiting, which the time limit turns into a failure.
client() {
    local name=$1 what=$2
    if ! as "$name" TAVREL_SCREENSHOT="$(home_of "$name")/$what.png" timeout 120 "$build/bin/Tavrel" -debug \
        >"$work/client-$what.out" 2>&1 </dev/null; then
        cat "$work/client-$what.out"
        fail "the client of $name ($what) did not start and end by itself"
    fi
}

echo "== $ann's client, then $bob's, on one program folder"
client "$ann" ann-first
[ -f "$folder/server.dat" ] || fail "$ann's client wrote no server.dat"
[ "$(owner_mode "$folder/server.dat")" = "$ann:$group 660" ] ||
    fail "server.dat of $ann's client is $(owner_mode "$folder/server.dat"), not $ann:$group 660"
client "$bob" bob-first
[ "$(stat -c %U "$folder/server.dat")" = "$bob" ] || fail "$bob's client did not replace $ann's server.dat"
for f in registry.hive TaskDB.mdb; do
    [ "$(stat -c '%G' "$folder/$f")" = "$group" ] && [ "$(( 0$(stat -c %a "$folder/$f") & 060 ))" -eq 48 ] ||
        fail "$f is $(owner_mode "$folder/$f"): not the group's to read and write"
done

echo "== a link planted by $ann in place of server.dat"
as "$ann" ln -sfn "$(home_of "$bob")/.profile" "$folder/server.dat"
[ -L "$folder/server.dat" ] || fail "the link could not be planted"
client "$bob" bob-after-link
[ "$(cat "$(home_of "$bob")/.profile")" = "$profile_before" ] || fail "$bob's client wrote through the link into ~/.profile"
[ -L "$folder/server.dat" ] && fail "server.dat is still a link"
[ "$(owner_mode "$folder/server.dat")" = "$bob:$group 660" ] ||
    fail "server.dat is $(owner_mode "$folder/server.dat") after $bob's client"
client "$ann" ann-again

echo "== $out, outside the group"
set +e
as "$out" timeout 20 "$build/bin/Tavrel" -debug >"$work/client-out.out" 2>&1 </dev/null
set -e
grep -qF "the program folder $folder cannot be written: Permission denied" "$work/client-out.out" ||
    { cat "$work/client-out.out"; fail "$out was not told that the program folder cannot be written"; }
grep -qF "usermod -aG $group $out" "$work/client-out.out" || fail "$out was not told the group step"
grep -q "another instance" "$work/client-out.out" && fail "$out was told of another instance"

echo "== the service after both clients"
# lab_spawn leaves the service's own process id (setpriv and env exec it), so
# SIGTERM reaches it.
log=$folder/Sorvex_Tavrel_Event_Log.csv
connections() { local n; n=$(grep -c "Connected to" "$log" 2>/dev/null); echo "${n:-0}"; }
connected_before=$(connections)
LAB_PATH=/usr/bin:/bin lab_spawn "$work/service.out" "$service" TAVREL_HOME="$folder" "$build/bin/TavrelService" -service
service_pid=$lab_pid
connected() { [ "$(connections)" -gt "$connected_before" ]; }
for _ in $(seq 300); do
    connected && break
    kill -0 "$service_pid" 2>/dev/null || break
    sleep 0.1
done
connected || { cat "$work/service.out"; tail -n 20 "$log"; fail "the service did not start after both clients"; }
[ "$(ps -o user= -p "$service_pid" | tr -d ' ')" = "$service" ] || fail "the service does not run as $service"
kill -TERM "$service_pid"
wait "$service_pid" || fail "the service ended with status $? after SIGTERM"
service_pid=
echo "shared folder test passed"
