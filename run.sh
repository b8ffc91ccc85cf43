#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
ensure_packages "${BUILD_PACKAGES[@]}"
build_main
if [ -x build/bin/kvprog ]; then
    exec build/bin/kvprog "$@"
fi
# Until the desktop program is built, show what the command-line tool does.
exec build/bin/kvprog-cli --help
