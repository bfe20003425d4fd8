#!/usr/bin/env bash
# Builds the program, the demo generator and the demo database, templates and
# ini file (if they are not up to date), shows what the database holds, and
# prints list 4711 unattended into out/DEMO_4711.xlsx, as the host
# application would start the program.
#   scripts/demo.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
if ! log=$(cmake --build "$build" --target tannbuch tannbuch-demo-db tannbuch-demo-files 2>&1); then
    echo "$log" >&2
    exit 1
fi
"$build/tannbuch-demo" --summary "$build/demo/forst.sqlite"

mkdir -p out
ini="$(cd "$build/demo" && pwd)/kelmora.ini"
echo
echo "Drucke Liste 4711 (Bereitstellung DEMO) nach out/ ..."
if "$build/tannbuch" "|$ini|||4711|1|DEMO|out/"; then
    echo "Fertig: out/DEMO_4711.xlsx"
else
    echo "Der Ausdruck ist fehlgeschlagen." >&2
    exit 1
fi
