#!/usr/bin/env bash
# Starts a program under a private X server (Xvfb) and saves a PNG of its
# window: the program takes the picture itself when TAVREL_SCREENSHOT names a
# file (the Tavrel client does), then ends.
#
#   scripts/screenshot.sh [-o FILE.png] [-t TAB] [PROGRAM [ARGUMENTS ...]]
#
#   -o FILE.png   where the picture goes (default build/screenshots/NAME[-TAB].png)
#   -t TAB        what the client shows first: a tab by its index or its caption
#                 ("Event Log"); "Status:task_1" also opens that node of the
#                 status tree, "Task Editor:task_1" loads that task into the
#                 editor as Clone does; "Preferences" pictures that dialog
#   PROGRAM       default build/bin/Tavrel
#
# The program runs in $TAVREL_HOME when that is set, else in a new empty
# program folder, so that no settings of a real installation are touched.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

out="" tab=""
while getopts "o:t:h" opt; do
  case "$opt" in
    o) out=$OPTARG ;;
    t) tab=$OPTARG ;;
    *) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

program=${1:-$root/build/bin/Tavrel}
[ $# -gt 0 ] && shift
if [ ! -x "$program" ]; then
  echo "screenshot: no program at $program (build first: scripts/build.sh)" >&2
  exit 2
fi
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "screenshot: xvfb-run not found (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

if [ -z "$out" ]; then
  name=$(basename "$program")
  [ -n "$tab" ] && name="$name-$(echo "$tab" | tr -cs 'A-Za-z0-9' '-' | sed 's/-$//' | tr 'A-Z' 'a-z')"
  out="$root/build/screenshots/$name.png"
fi
mkdir -p "$(dirname "$out")"
out="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
rm -f "$out"

scratch=$(mktemp -d /tmp/tavrel-screenshot.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
export TAVREL_HOME=${TAVREL_HOME:-$scratch/home}
mkdir -p "$TAVREL_HOME" "$scratch/xdg"
chmod 700 "$scratch/xdg"

status=0
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/xdg" \
    TAVREL_SCREENSHOT="$out" TAVREL_SCREENSHOT_TAB="$tab" \
    timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$program" "$@" || status=$?

if [ "$status" -ne 0 ] || [ ! -s "$out" ]; then
  echo "screenshot: $program ended with $status and no picture at $out" >&2
  exit 1
fi
echo "$out"
