#!/usr/bin/env bash
# package-test.sh BUILD_DIR SOURCE_DIR
#
# Builds the Debian package, installs it on this computer, runs the demo task
# with the installed service as its system user against the simulated server
# on 127.0.0.1, rotates its event log, stops it, and removes the package,
# its user and its folder again. Exits 77 (skipped) when it cannot run here
# or would change what is already on this computer.
set -euo pipefail

build=$(cd "${1:?usage: package-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
source_dir=$(cd "${2:?usage: package-test.sh BUILD_DIR SOURCE_DIR}" && pwd)
user=tavrel
folder=/var/lib/tavrel
unit=sorvex-tavrel-service.service

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in dpkg cpack runuser setpriv sqlite3 flock; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
# A tree that builds only some programs (the sanitizers' one) makes no package.
for program in Tavrel TavrelService Pondrel service-unit sorvex-sim demo-setup; do
    [ -x "$build/bin/$program" ] || skip "$build/bin/$program is not built"
done

# One package test per computer at a time (other build trees run it too). The
# lock is taken on the system's lock folder itself, so no file is left behind.
exec 9</run/lock
flock -w 600 9 || fail "another package test kept its lock on /run/lock for ten minutes"

if dpkg-query -W -f='${Status}' tavrel 2>/dev/null | grep -q "installed"; then
    skip "the package tavrel is installed already; the test would replace it"
fi
getent passwd "$user" >/dev/null && skip "the user $user exists already; the test would change it"
getent group "$user" >/dev/null && skip "the group $user exists already; the test would change it"
[ -e "$folder" ] && skip "$folder exists already; the test would change it"

work=$(mktemp -d /tmp/tavrel-package-test.XXXXXX)
chmod 755 "$work"
sim_pid=
service_pid=
cleanup() {
    set +e
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    if dpkg-query -W tavrel >/dev/null 2>&1; then dpkg --purge tavrel >"$work/purge.out" 2>&1; fi
    getent passwd "$user" >/dev/null && userdel "$user"
    getent group "$user" >/dev/null && groupdel "$user"
    rm -rf "$folder" "$work"
}
trap cleanup EXIT

echo "== building the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.out" 2>&1 ||
    { cat "$work/cpack.out"; fail "cpack -G DEB failed"; }
deb=$(ls "$work"/package/tavrel_*.deb)

echo "== installing $deb"
dpkg -i "$deb" || fail "dpkg -i failed"
for f in /usr/bin/Tavrel /usr/bin/TavrelService /usr/bin/Pondrel /usr/lib/systemd/system/$unit \
    /etc/logrotate.d/tavrel /usr/share/tavrel/sql/tavrel-tables-postgresql.sql /usr/share/tavrel/help/index.html; do
    [ -e "$f" ] || fail "$f was not installed"
done
uid=$(id -u "$user") || fail "no user $user was made"
[ "$uid" -lt 1000 ] || fail "$user is no system user (uid $uid)"
[ "$(stat -c '%U:%G %a' "$folder")" = "$user:$user 2770" ] ||
    fail "$folder is $(stat -c '%U:%G %a' "$folder"), not $user:$user 2770"
grep -qx "User=$user" /usr/lib/systemd/system/$unit || fail "the unit does not run the service as $user"
grep -qx 'ExecStart="/usr/bin/TavrelService" -service' /usr/lib/systemd/system/$unit ||
    fail "the unit does not start the installed program"
while read -r installed; do
    [ -f "$installed" ] || continue
    if grep -qF "$build" "$installed" || grep -qF "$source_dir" "$installed"; then
        fail "$installed points into the build tree"
    fi
done < <(dpkg -L tavrel)

echo "== the demo task, run by the installed service as $user"
"$build/bin/sorvex-sim" --port 0 >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/sim.out")
case "$port" in ''|*[!0-9]*) cat "$work/sim.out"; fail "the simulated server did not start" ;; esac
url="http://127.0.0.1:$port/sorvex/cgi/"
(umask 007 && runuser -u "$user" -- env TAVREL_HOME="$folder" "$build/bin/demo-setup" "$url") ||
    fail "demo-setup failed in $folder"

# Where systemd runs, it starts the unit; else the program is started by hand
# as the unit would: as the user, in service mode, without TAVREL_HOME, so it
# must find its folder by itself.
if [ -d /run/systemd/system ]; then
    systemctl start "$unit" || fail "systemctl start $unit failed"
    service_pid=$(systemctl show -p MainPID --value "$unit")
else
    # setpriv runs the program itself (runuser would stay as its root parent).
    setpriv --reuid="$user" --regid="$user" --init-groups env -u TAVREL_HOME HOME="$folder" \
        /usr/bin/TavrelService -service >"$work/service.out" 2>&1 &
    service_pid=$!
fi
results() { sqlite3 "$folder/TaskDB.mdb" "SELECT COUNT(*) FROM Sorvex_Tavrel_Results" 2>/dev/null || echo 0; }
for _ in $(seq 120); do [ "$(results)" -gt 0 ] && break; sleep 0.5; done
log=$folder/Sorvex_Tavrel_Event_Log.csv
if [ "$(results)" -eq 0 ]; then
    cat "$work/service.out" "$log" 2>/dev/null
    fail "the installed service wrote no result row"
fi
echo "result rows: $(results)"
[ "$(ps -o user= -p "$service_pid" | tr -d ' ')" = "$user" ] || fail "the service does not run as $user"
for f in TaskDB.mdb Sorvex_Tavrel_Event_Log.csv registry.hive; do
    [ "$(stat -c '%U:%G %a' "$folder/$f")" = "$user:$user 660" ] ||
        fail "$folder/$f is $(stat -c '%U:%G %a' "$folder/$f"), not $user:$user 660"
done

if command -v logrotate >/dev/null; then
    echo "== rotating the event log"
    logrotate --force --state "$work/logrotate.state" /etc/logrotate.d/tavrel || fail "logrotate failed"
    [ -e "$log.1" ] || fail "logrotate did not rotate $log"
    cp "$folder/samples/"*.qpl "$folder/inbox/" 2>/dev/null || true
    for _ in $(seq 60); do [ -s "$log" ] && break; sleep 0.5; done
    [ -s "$log" ] || fail "the service wrote nothing into the new $log after the rotation"
else
    echo "logrotate is not installed: the rotation is not tried"
fi

echo "== stopping the service"
if [ -d /run/systemd/system ]; then
    systemctl stop "$unit"
else
    kill -TERM "$service_pid"
    for _ in $(seq 50); do kill -0 "$service_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$service_pid" 2>/dev/null && fail "the service did not stop within five seconds of SIGTERM"
    wait "$service_pid" || fail "the service ended with status $? after SIGTERM"
fi
service_pid=
tail -n 1 "$log" | grep -q "Sorvex Tavrel Service Shut Down" || fail "the event log does not end with the shut-down"

echo "== removing the package"
dpkg --purge tavrel || fail "dpkg --purge failed"
for f in /usr/bin/TavrelService /usr/lib/systemd/system/$unit /etc/logrotate.d/tavrel "$folder"; do
    [ -e "$f" ] && fail "$f is left after the purge"
done
echo "package test passed"
