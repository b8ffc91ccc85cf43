#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   1. the whole project under AddressSanitizer + UndefinedBehaviorSanitizer (clang), every
#      test in the C locale, then every fuzz target for a bounded time;
#   2. the regular build, every test under German number formats, then all but the end-to-end
#      runs under French ones, then the instructions the desktop program runs to its first
#      shown window against a bare main window's (callgrind: a count, not a time);
#   3. the Windows build (MinGW-w64), its installer and zip, and the Windows programs, their
#      unit tests and the installer under wine.
set -euo pipefail
cd "$(dirname "$0")"

# part TITLE: a part of the run begins; at the end each part's time is listed.
parts=()
part_start=$SECONDS
part() {
    [ "${#parts[@]}" -eq 0 ] || parts[-1]+=" $((SECONDS - part_start))"
    part_start=$SECONDS
    parts+=("$1:")
    echo "== $1"
}

part "Packages and locales"
. scripts/setup.sh
ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev locales desktop-file-utils \
    shared-mime-info poppler-utils valgrind
ensure_locale de_DE.UTF-8
ensure_locale fr_FR.UTF-8

FUZZ_SECONDS="${FUZZ_SECONDS:-15}"  # per fuzz target

part "Sanitizer build (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DKV_SANITIZE=ON -DKV_FUZZ=ON >/dev/null
cmake --build build-san -j2

part "Every test under the sanitizers (LC_ALL=C)"
# Leaks inside the system's own libraries are theirs; ours must be none.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_stack_use_after_return=0"
LC_ALL=C ctest --test-dir build-san -j2 --output-on-failure

part "Fuzzing, ${FUZZ_SECONDS} s per target"
fuzz/run.sh build-san "$FUZZ_SECONDS"
unset LSAN_OPTIONS UBSAN_OPTIONS ASAN_OPTIONS

part "Regular build"
build_main
# Every test under German number formats; under French the end-to-end runs against the
# simulated radio and the package are left out: they repeat what German has shown, and the
# whole run must stay well inside CI's time.
part "Every test under LC_ALL=de_DE.UTF-8"
LC_ALL=de_DE.UTF-8 ctest --test-dir build -j2 --output-on-failure
part "Every test but the end-to-end runs under LC_ALL=fr_FR.UTF-8"
LC_ALL=fr_FR.UTF-8 ctest --test-dir build -j2 --output-on-failure -E '^(e2e|deb_package)'

part "Start-up instructions against a bare main window (callgrind)"
bench/startup_instructions.sh build 1.6

part "Windows build (MinGW-w64: the programs and the test programs)"
scripts/windows.sh build-win
part "Windows installer and zip"
scripts/windows-package.sh build-win
part "kvprog-cli.exe, printing and the desktop program under wine"
# The desktop program driven as by a user, without a window manager (see desktop_wine.sh).
ensure_packages xvfb xauth xdotool xclip
tests/win/cli_wine.sh build build-win
tests/win/print_wine.sh build build-win
tests/win/desktop_wine.sh build build-win
part "The unit tests as Windows programs under wine"
tests/win/unit_wine.sh build-win
part "The installer under wine"
tests/win/install_wine.sh build-win
part "done"
echo "== Time of each part (s):"
printf '   %s\n' "${parts[@]:0:${#parts[@]}-1}"
