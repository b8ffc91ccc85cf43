#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
#   ./run.sh [FILE.sin]   the desktop program
#   ./run.sh --demo       the desktop program with a simulated radio on COM1
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
ensure_packages "${BUILD_PACKAGES[@]}"
build_main
if [ "${1:-}" = "--demo" ]; then
    . scripts/demo.sh
    run_demo
    exit
fi
exec build/bin/kvprog "$@"
