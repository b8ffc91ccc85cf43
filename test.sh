#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the sanitizer build with the
# fuzzer first, then the regular build, whose ctest summary closes the output.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev locales desktop-file-utils shared-mime-info \
    poppler-utils socat
ensure_locale de_DE.UTF-8

FUZZ_SECONDS="${FUZZ_SECONDS:-30}"

echo "== Sanitizer build of the core and the CLI (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKV_SANITIZE=ON -DKV_FUZZ=ON -DKV_GUI=OFF >/dev/null
cmake --build build-san -j2
ctest --test-dir build-san -j2 --output-on-failure

echo "== Fuzzing the channel data file for ${FUZZ_SECONDS} s"
mkdir -p build-san/fuzz-corpus
build-san/bin/fuzz_sin_file -max_total_time="$FUZZ_SECONDS" -max_len=4096 \
    -print_final_stats=0 build-san/fuzz-corpus fuzz/seeds 2>build-san/fuzz.log \
    || { tail -n 60 build-san/fuzz.log; exit 1; }
tail -n 2 build-san/fuzz.log

echo "== Regular build"
build_main
ctest --test-dir build -j2 --output-on-failure
