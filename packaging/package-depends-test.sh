#!/usr/bin/env bash
# package-depends-test.sh BUILD_DIR QT_PLUGIN_DIR
#
# Builds the Debian package and reads its control fields: Depends names the
# package of every library the programs link (as the system's package
# database knows them) and of every Qt plug-in they load at run time (the
# database drivers, the SVG image and icon plug-ins); Recommends names
# xdg-utils, through which results open. Exits 77 (skipped) when it cannot
# run here.
set -euo pipefail

build=$(cd "${1:?usage: package-depends-test.sh BUILD_DIR QT_PLUGIN_DIR}" && pwd)
plugins=${2:?usage: package-depends-test.sh BUILD_DIR QT_PLUGIN_DIR}
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

for tool in cpack dpkg dpkg-deb dpkg-shlibdeps ldd; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
for program in Tavrel TavrelService Pondrel service-unit; do
    [ -x "$build/bin/$program" ] || skip "$build/bin/$program is not built"
done

# owner FILE: the installed package that holds FILE (through its real path).
owner() {
    local said
    said=$(dpkg -S "$(realpath "$1")" 2>/dev/null || dpkg -S "$1" 2>/dev/null) || return 1
    said=${said%%:*}
    echo "${said%%,*}"
}

wanted=()
for plugin in sqldrivers/libqsqlite.so sqldrivers/libqsqlpsql.so imageformats/libqsvg.so iconengines/libqsvgicon.so; do
    [ -f "$plugins/$plugin" ] || skip "the Qt plug-in $plugins/$plugin is not installed here"
    package=$(owner "$plugins/$plugin") || skip "no package holds $plugins/$plugin"
    wanted+=("$package")
done
for library in libQt6Widgets.so.6 libQt6Sql.so.6 libQt6PrintSupport.so.6 libcurl.so.4; do
    path=$(ldd "$build/bin/Tavrel" "$build/bin/TavrelService" | awk -v l="$library" '$1 == l && !seen { print $3; seen = 1 }')
    [ -n "$path" ] || fail "no program links $library"
    package=$(owner "$path") || skip "no package holds $path"
    wanted+=("$package")
done

work=$(mktemp -d /tmp/tavrel-depends-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.out" 2>&1 ||
    { cat "$work/cpack.out"; fail "cpack -G DEB failed"; }
deb=$(ls "$work"/tavrel_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Depends: $depends"
echo "Recommends: $recommends"

# names FIELD: the package names of a control field, one a line.
names() { tr ',|' '\n\n' <<<"$1" | sed 's/(.*//; s/^ *//; s/ *$//; s/:any$//' | grep -v '^$'; }
for package in "${wanted[@]}"; do
    names "$depends" | grep -x "$package" >/dev/null || fail "Depends lacks $package"
done
names "$recommends" | grep -x xdg-utils >/dev/null || fail "Recommends lacks xdg-utils"
echo "package depends test passed"
