#!/usr/bin/env bash
# Installs the Debian packages a set of tasks needs; does nothing when every
# package is present already.
#   scripts/deps.sh demo   what building and running the program and the demo need
#   scripts/deps.sh package   that, and what making the Debian package needs
#   scripts/deps.sh test   all that, and what the tests, the checks and the tools need
#   scripts/deps.sh --list demo|package|test   only prints the set
set -euo pipefail

# Building the program and the demo generator, and what the program needs
# when it runs: Qt and its ODBC driver, the FreeTDS driver for SQL Server,
# Qt's own dialog texts in German, a font to draw pages with and the print
# system's client for the immediate print.
demo_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6sql6-odbc qt6-translations-l10n
  libsqlite3-dev sqlite3
  unixodbc-dev tdsodbc
  libzip-dev libpugixml-dev
  fonts-dejavu-core cups-client
)

# CPack finds the program's files with file(1) when it asks dpkg-shlibdeps
# for the package's dependencies.
package_packages=(file)

# The tests (GoogleTest, the schema check, openpyxl and the office suite as
# independent readers, the PDF tools), the benchmarks' floor, the fuzzers,
# and the format check.
test_packages=(
  googletest libgtest-dev libxml2-dev
  python3 python3-openpyxl python3-xlsxwriter
  libreoffice-calc-nogui fonts-crosextra-carlito
  poppler-utils
  clang libclang-rt-14-dev libxlsxwriter-dev clang-format
)

list_only=0
if [ "${1:-}" = "--list" ]; then
  list_only=1
  shift
fi
case "${1:-test}" in
  demo) packages=("${demo_packages[@]}") ;;
  package) packages=("${demo_packages[@]}" "${package_packages[@]}") ;;
  test) packages=("${demo_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: scripts/deps.sh [--list] demo|package|test" >&2
    exit 2
    ;;
esac
if [ $list_only -eq 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

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
