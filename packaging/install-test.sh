#!/usr/bin/env bash
# install-test.sh BUILD_DIR SOURCE_DIR VERSION
#
# "cmake --install" of the build tree into a private DESTDIR puts every file
# in place; the installed programs answer --help and --version (the
# project's version) and, before the set-up, neither make nor take the
# program folder: -install names the administrator's command. A tree that
# lacks a program (./run.sh builds only some targets) installs nothing and
# names the targets to build. Exits 77 (skipped) when it cannot run here.
set -euo pipefail

build=$(cd "${1:?usage: install-test.sh BUILD_DIR SOURCE_DIR VERSION}" && pwd)
source_dir=$(cd "${2:?usage: install-test.sh BUILD_DIR SOURCE_DIR VERSION}" && pwd)
version=${3:?usage: install-test.sh BUILD_DIR SOURCE_DIR VERSION}
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

for program in Tavrel TavrelService Pondrel service-unit; do
    [ -x "$build/bin/$program" ] || skip "$build/bin/$program is not built"
done
state=$(sed -n 's/^TAVREL_STATE_DIR:PATH=//p' "$build/CMakeCache.txt")
[ -n "$state" ] || skip "$build/CMakeCache.txt names no TAVREL_STATE_DIR"
# The package test makes the installed folder for a while; it holds this lock.
exec 9</run/lock
flock -w 600 9 || fail "another package test kept its lock on /run/lock for ten minutes"
[ -e "$state" ] && skip "$state exists already: the installed programs would use it"

work=$(mktemp -d /tmp/tavrel-install-test.XXXXXX)
# What a faulty program made of the installed folder goes again.
trap 'rm -rf "$work"; if [ -e "$state" ]; then rm -rf "$state"; fi' EXIT

echo "== cmake --install $build"
DESTDIR=$work/root cmake --install "$build" --prefix /usr >"$work/install.out" 2>&1 ||
    { cat "$work/install.out"; fail "cmake --install failed"; }
root=$work/root
for f in usr/bin/Tavrel usr/bin/TavrelService usr/bin/Pondrel usr/share/tavrel/help/index.html \
    usr/share/tavrel/sql/tavrel-tables-postgresql.sql usr/share/tavrel/sql/tavrel-tables-sqlite.sql \
    usr/share/doc/tavrel/README.md usr/lib/systemd/system/sorvex-tavrel-service.service etc/logrotate.d/tavrel; do
    [ -f "$root/$f" ] || fail "/$f was not installed"
done
ls "$build/packaging" | grep -q '^unit-' && fail "the install left its unit folder in $build/packaging"

echo "== the installed programs before the set-up"
# Installed (their data folder lies beside their own), so their program
# folder is $state, which does not exist.
for program in Tavrel TavrelService Pondrel; do
    said=$(env -u TAVREL_HOME -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --help) ||
        fail "$program --help failed"
    case "$said" in Usage:*) ;; *) fail "$program --help says: $said" ;; esac
    said=$(env -u TAVREL_HOME "$root/usr/bin/$program" --version) || fail "$program --version failed"
    case "$said" in *" version $version") ;; *) fail "$program --version says \"$said\", not version $version" ;; esac
done
said=$(env -u TAVREL_HOME timeout 60 "$root/usr/bin/TavrelService" -install -silent 2>&1) &&
    fail "-install before the set-up succeeded: $said"
case "$said" in
    *"$state does not exist"*"sudo install -d -o "*" -m 2770 $state"*) ;;
    *) fail "-install before the set-up does not name the administrator's command: $said" ;;
esac
said=$(env -u TAVREL_HOME timeout 60 "$root/usr/bin/TavrelService" -debug 2>&1) && fail "the service started without its folder"
case "$said" in *"$state does not exist"*) ;; *) fail "the service without its folder says: $said" ;; esac
# The client says so on its console too, then waits on its box: ended here.
said=$(env -u TAVREL_HOME QT_QPA_PLATFORM=offscreen timeout 20 "$root/usr/bin/Tavrel" 2>&1 >/dev/null) || true
case "$said" in *"Tavrel cannot start: the program folder $state does not exist"*) ;; *) fail "the client without its folder says: $said" ;; esac
[ -e "$state" ] && fail "a program made $state before the set-up"

echo "== a build tree without service-unit, as ./run.sh built it before"
partial=$work/partial
cmake -S "$source_dir" -B "$partial" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$work/configure.out" 2>&1 ||
    { cat "$work/configure.out"; fail "configuring $partial failed"; }
mkdir -p "$partial/bin"
for program in Tavrel TavrelService Pondrel; do cp "$build/bin/$program" "$partial/bin/"; done
said=$(DESTDIR=$work/partial-root cmake --install "$partial" --prefix /usr 2>&1) &&
    fail "cmake --install of a tree without service-unit succeeded"
said=$(tr -s ' \n' '  ' <<<"$said")  # CMake wraps its message
case "$said" in
    *"Nothing was installed"*"cmake --build $partial --target service-unit"*) ;;
    *) fail "cmake --install of a tree without service-unit does not name the target: $said" ;;
esac
[ -e "$work/partial-root" ] && fail "cmake --install of a tree without service-unit copied: $(cd "$work/partial-root" && find . -type f)"
echo "cmake install test passed"
