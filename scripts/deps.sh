#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Does nothing when every package is present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libqt6sql6-odbc qt6-translations-l10n
  libsqlite3-dev sqlite3
  unixodbc-dev tdsodbc
  libzip-dev libpugixml-dev libxml2-dev
  googletest libgtest-dev
  python3 python3-openpyxl python3-xlsxwriter
  libreoffice-calc-nogui fonts-dejavu-core fonts-crosextra-carlito
  cups-client poppler-utils
  clang libclang-rt-14-dev libxlsxwriter-dev clang-format
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
