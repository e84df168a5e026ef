#!/usr/bin/env bash
# check-layering.sh SOURCE_DIR [QTWIDGETS_INCLUDE_DIR]
#
# Fails when a source file includes a folder its own folder may not reach,
# when a library without forms uses or links Qt Widgets, or when a connect()
# in a forms/ folder has no handler guard. The layers, lowest
# first (each may include what stands to its left):
#   platform <- common <- params, filteropts <- service <- convert <- search
#            <- jobs <- servicehost
#   common, params, filteropts <- taskeditor;  common <- status;
#   filteropts, common <- pondrel
# <folder>/forms may include its own folder, the cores that folder may include
# and the shared window helpers in common/forms, never another folder's forms.
# client/, tools/ and bench/ may include anything. A folder's tests/ and fuzz/
# follow the rules of the folder they test.
set -euo pipefail

src=${1:?usage: check-layering.sh SOURCE_DIR [QTWIDGETS_INCLUDE_DIR]}
widgets_dir=${2:-}
cd "$src"

declare -A may=(
  [platform]=""
  [common]="platform"
  [params]="common platform"
  [filteropts]="common platform"
  [service]="params filteropts common platform"
  [convert]="service params filteropts common platform"
  [search]="convert service params filteropts common platform"
  [jobs]="search convert service params filteropts common platform"
  [servicehost]="jobs search convert service params filteropts common platform"
  [taskeditor]="common params filteropts platform"
  [status]="common platform"
  [pondrel]="filteropts common platform"
)

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
    echo "$unit $core ${may[$core]-} common/forms"
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
# of common/HandlerGuard.h, or its connectGuarded(), which is no "connect("):
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
    fail "$file:$line: connect() without guarded(); wrap the handler in guarded() of common/HandlerGuard.h"
  done < <(unguarded_connects "$file")
done < <(source_files)

# A library without forms links no Widgets (the service's tray is in servicehost).
for core in "${!may[@]}"; do
  cm=$core/CMakeLists.txt
  [[ -f $cm && $core != servicehost ]] || continue
  if grep -q 'tavrel_library(.*Qt6::Widgets' "$cm"; then
    fail "$cm: the library $core links Qt6::Widgets; widgets belong in $core/forms"
  fi
done

if ((failures)); then
  echo "$failures layering fault(s)"
  exit 1
fi
echo "layering: every include and link within its layer"
