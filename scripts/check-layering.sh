#!/usr/bin/env bash
# check-layering.sh SOURCE_DIR [QTWIDGETS_INCLUDE_DIR]
#
# Fails when a source file includes a folder its own folder may not reach,
# when a library without forms uses or links Qt Widgets, when a library of
# the service's side links Qt Gui or a library its folder may not include, or
# when a connect() in a forms/ folder has no handler guard. The layers, lowest
# first (each may include what stands to its left):
#   platform <- common <- filteropts <- service <- convert <- search <- jobs
#            <- servicehost
#   filteropts, common <- pondrel
#   common <- clientcommon <- params;  clientcommon <- status;
#   params, filteropts, clientcommon <- taskeditor
# common/ is what both programs share; clientcommon/ is what only the client
# uses (its globals, the task database as the client opens and upgrades it,
# its server requests, the service wake-up, the handler guard, the busy
# cursor), so nothing of the service's side reaches it and the service links
# no Qt Gui below servicehost, whose tray may.
# <folder>/forms may include its own folder, the cores that folder may
# include, clientcommon and the shared window helpers in clientcommon/forms,
# never another folder's forms. client/, tools/ and bench/ may include
# anything. A folder's tests/ and fuzz/ follow the rules of the folder they
# test, and may include clientcommon too: the service's tests make their
# task databases with the client's schema maker.
set -euo pipefail

src=${1:?usage: check-layering.sh SOURCE_DIR [QTWIDGETS_INCLUDE_DIR]}
widgets_dir=${2:-}
cd "$src"

declare -A may=(
  [platform]=""
  [common]="platform"
  [filteropts]="common platform"
  [service]="filteropts common platform"
  [convert]="service filteropts common platform"
  [search]="convert service filteropts common platform"
  [jobs]="search convert service filteropts common platform"
  [servicehost]="jobs search convert service filteropts common platform"
  [pondrel]="filteropts common platform"
  [clientcommon]="common platform"
  [params]="clientcommon common platform"
  [taskeditor]="params filteropts clientcommon common platform"
  [status]="clientcommon common platform"
)

# The client's own folders: they (and every forms/ folder) may link Qt Gui;
# the service's side links it only in servicehost, for the tray.
declare -A client_side=([clientcommon]=1 [params]=1 [taskeditor]=1 [status]=1)

# The layer a path belongs to: "X", "X/forms", or "*" for folders without rules.
unit_of() {
  local path=$1 top rest
  top=${path%%/*}
  rest=${path#*/}
  case $top in
    client | tools | bench) echo "*"; return ;;
  esac
  if [[ $rest == forms/* ]]; then echo "$top/forms"; else echo "$top"; fi
}

allowed() {
  local unit=$1
  if [[ $unit == */forms ]]; then
    local core=${unit%/forms}
    echo "$unit $core ${may[$core]-} clientcommon clientcommon/forms"
  else
    echo "$unit ${may[$unit]-}"
  fi
}

# Qt Widgets headers by name (<QWidget>, <QtWidgets/...>).
declare -A widget_header=()
if [[ -n $widgets_dir && -d $widgets_dir ]]; then
  for f in "$widgets_dir"/Q*; do
    n=${f##*/}
    [[ $n == *.* ]] || widget_header[$n]=1
  done
fi

# Every source file of the tree (a checkout without git: every file but the build's).
source_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp'
  else
    find . -path ./build -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print | sed 's#^\./##'
  fi
}

failures=0
fail() {
  echo "$1"
  failures=$((failures + 1))
}

while IFS= read -r file; do
  unit=$(unit_of "$file")
  [[ $unit == "*" ]] && continue
  core=${unit%/forms}
  if [[ -z ${may[$core]+x} ]]; then
    fail "$file: folder '$core' has no place in the layering; add it to scripts/check-layering.sh"
    continue
  fi
  ok=" $(allowed "$unit") "
  in_tests=0
  [[ $file == */tests/* || $file == */testsupport/* || $file == */fuzz/* ]] && in_tests=1
  ((in_tests)) && ok="$ok clientcommon "
  while IFS=: read -r line text; do
    if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      target=${BASH_REMATCH[1]}
      [[ $target == */* ]] || continue  # beside the file
      tunit=$(unit_of "$target")
      [[ $tunit == "*" && $in_tests == 1 ]] && continue  # tests may start tools
      if [[ $ok != *" $tunit "* ]]; then
        fail "$file:$line: includes \"$target\" ($tunit); $unit may include: $(allowed "$unit")"
      fi
    elif [[ $unit != */forms && $core != servicehost && $in_tests == 0 &&
            $text =~ \#[[:space:]]*include[[:space:]]*\<(QtWidgets/)?([A-Za-z]+)\> ]]; then
      header=${BASH_REMATCH[2]}
      if [[ -n ${BASH_REMATCH[1]} || -n ${widget_header[$header]+x} ]]; then
        fail "$file:$line: includes the widget header <$header>; widgets live in $core/forms"
      fi
    fi
  done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(source_files)

# Every connect() in a forms/ folder goes through the handler guard (guarded()
# of clientcommon/HandlerGuard.h, or its connectGuarded(), which is no "connect("):
# nothing a handler throws may end the client. A statement runs from "connect(" to the first line that ends with ";".
unguarded_connects() {
  awk '{
    line = $0
    sub(/\/\/.*/, "", line)
    if (!inside && line ~ /(^|[^A-Za-z0-9_])connect\(/) { inside = 1; start = FNR; text = "" }
    if (inside) {
      text = text line
      if (line ~ /;[[:space:]]*$/) {
        if (text !~ /guarded\(/) print start
        inside = 0
      }
    }
  }' "$1"
}
while IFS= read -r file; do
  [[ $file == */forms/* && $file != */tests/* ]] || continue
  while IFS= read -r line; do
    fail "$file:$line: connect() without guarded(); wrap the handler in guarded() of clientcommon/HandlerGuard.h"
  done < <(unguarded_connects "$file")
done < <(source_files)

# The link lines follow the same layers: a library links only the libraries of
# the folders it may include (so nothing of the client's reaches the service's
# side through another library), no library without forms links Widgets (the
# service's tray is in servicehost), and none of the service's side below
# servicehost links Qt Gui. The library of folder X is "X", that of X/forms
# "X_forms"; names with "::" are packages' targets.
unit_of_library() {
  if [[ $1 == *_forms ]]; then echo "${1%_forms}/forms"; else echo "$1"; fi
}
link_line() {  # the library's name and what it links, from tavrel_library(...)
  awk '/^[[:space:]]*tavrel_library\(/ { inside = 1 }
       inside { text = text " " $0; if ($0 ~ /\)/) exit }
       END { sub(/.*tavrel_library\(/, "", text); sub(/\).*/, "", text); print text }' "$1"
}
for core in "${!may[@]}"; do
  for unit in "$core" "$core/forms"; do
    cm=$unit/CMakeLists.txt
    [[ -f $cm ]] || continue
    read -r -a names <<<"$(link_line "$cm")"
    ((${#names[@]})) || continue
    ok=" $(allowed "$unit") "
    for dep in "${names[@]:1}"; do
      case $dep in
        Qt6::Widgets)
          if [[ $unit != */forms && $core != servicehost ]]; then
            fail "$cm: the library $core links Qt6::Widgets; widgets belong in $core/forms"
          fi
          ;;
        Qt6::Gui)
          if [[ $unit != */forms && $core != servicehost && -z ${client_side[$core]+x} ]]; then
            fail "$cm: the library $core links Qt6::Gui; below servicehost the service links no Gui"
          fi
          ;;
        *::*) ;;
        *)
          dunit=$(unit_of_library "$dep")
          if [[ $ok != *" $dunit "* ]]; then
            fail "$cm: the library ${names[0]} links $dep ($dunit); $unit may include: $(allowed "$unit")"
          fi
          ;;
      esac
    done
  done
done

if ((failures)); then
  echo "$failures layering fault(s)"
  exit 1
fi
echo "layering: every include and link within its layer"
