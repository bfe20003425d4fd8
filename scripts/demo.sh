#!/usr/bin/env bash
# Builds the demo database (if it is not up to date) and shows what it holds.
#   scripts/demo.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
if ! log=$(cmake --build "$build" --target tannbuch-demo-db 2>&1); then
    echo "$log" >&2
    exit 1
fi
"$build/tannbuch-demo" --summary "$build/demo/forst.sqlite"
