#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need;
# does nothing when they are all there already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libpq-dev libgl-dev
  libcurl4-openssl-dev libssl-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev
  postgresql sqlite3 clang curl
  libqt6svg6 xvfb xauth  # the SVG icons; screenshots under a private X server
  mdbtools               # reads MassLynx sample lists (Jet database files)
  poppler-utils          # pdftotext: the reports' tests read their PDFs
  logrotate              # the package test rotates the installed event log
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
