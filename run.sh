#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
#   ./run.sh [FILE.sin]          the desktop program
#   ./run.sh --demo [FILE.sin]   the desktop program with the demo port, a simulated radio
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
ensure_packages "${BUILD_PACKAGES[@]}"
build_main
exec build/bin/kvprog "$@"
