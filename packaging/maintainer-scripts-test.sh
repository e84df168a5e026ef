#!/usr/bin/env bash
# maintainer-scripts-test.sh BUILD_DIR
#
# Runs the package's prerm and postinst as dpkg does on an upgrade and on a
# removal, in a private mount namespace where systemd appears to run, with a
# systemctl (and the account tools) that only record their calls: an upgrade
# must leave a running service running on the new programs, a removal stops
# it. Where systemd does not run, a service started by hand is named: on an
# upgrade it must be started again, on a removal it still runs. Exits 77
# (skipped) when it cannot run here.
set -euo pipefail

build=$(cd "${1:?usage: maintainer-scripts-test.sh BUILD_DIR}" && pwd)
scripts=$build/packaging/debian
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "a private mount namespace needs root"
command -v unshare >/dev/null || skip "unshare is not installed"
for s in prerm postinst; do [ -f "$scripts/$s" ] || skip "$scripts/$s is not configured"; done
unshare --mount true 2>/dev/null || skip "no mount namespace can be made here"

work=$(mktemp -d /tmp/tavrel-maintainer-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for tool in systemctl runuser groupadd useradd install; do
    printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$tool" "$work" >"$work/bin/$tool"
done
# The account and the folder exist already, as on an upgrade.
printf '#!/bin/sh\nexit 0\n' >"$work/bin/getent"
chmod 755 "$work/bin/"*

# run SCRIPT ARGS...: the calls it made, one a line.
run() {
    : >"$work/calls"
    unshare --mount sh -c 'mount -t tmpfs tmpfs /run && mkdir -p /run/systemd/system && exec "$@"' sh \
        env PATH="$work/bin:$PATH" sh "$scripts/$1" "${@:2}" >/dev/null
    grep '^systemctl' "$work/calls" || true
}

said=$(run prerm upgrade 1.0.1)
case "$said" in *stop*) fail "prerm upgrade stops the service: $said" ;; esac
said=$(run postinst configure 1.0.0)
echo "$said" | grep -qx "systemctl try-restart sorvex-tavrel-service.service" ||
    fail "postinst configure after an upgrade does not restart a running service: $said"
said=$(run postinst configure)
case "$said" in *start*) fail "a first install starts the service before its database is set up: $said" ;; esac
said=$(run prerm remove)
echo "$said" | grep -qx "systemctl stop sorvex-tavrel-service.service" || fail "prerm remove does not stop the service: $said"

# Without systemd, with the service program at a place of the test's own.
mkdir "$work/scripts" "$work/prog"
program=$work/prog/TavrelService
for s in prerm postinst; do
    sed "s|^program=.*|program=$program|" "$scripts/$s" >"$work/scripts/$s"
done
# told SCRIPT ARGS...: what the script said on its standard error.
told() {
    unshare --mount sh -c 'mount -t tmpfs tmpfs /run && exec "$@"' sh \
        env PATH="$work/bin:$PATH" sh "$work/scripts/$1" "${@:2}" 2>&1 >/dev/null
}
said=$(told postinst configure 1.0.0)
[ -z "$said" ] || fail "an upgrade without systemd and without a running service says: $said"
cp "$(command -v sleep)" "$program"
"$program" 600 &
hand=$!
trap 'kill "$hand" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ "$(readlink "/proc/$hand/exe")" = "$program" ] && break; sleep 0.05; done
said=$(told prerm remove)
case "$said" in *"process $hand) is still running"*) ;; *) fail "a removal without systemd does not say that process $hand still runs: $said" ;; esac
# dpkg replaces the program on an upgrade: the running one is the old one.
rm "$program" && cp "$(command -v sleep)" "$program"
said=$(told postinst configure 1.0.0)
case "$said" in
    *"process $hand) still runs the old programs"*"runuser -u tavrel -- $program -debug"*) ;;
    *) fail "an upgrade without systemd does not say that process $hand must be started again: $said" ;;
esac
echo "maintainer scripts test passed"
