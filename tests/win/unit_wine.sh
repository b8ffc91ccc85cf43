#!/usr/bin/env bash
# The unit tests as Windows programs under wine: every test program of a Windows build, each
# run once, stopping at the first that fails. COM9 is mapped in wine's registry (to a device
# no test reads from) for the serial port's own tests, and kvprog-cli doctor must list it.
#   tests/win/unit_wine.sh [WINDOWS_BUILD_DIR]
set -euo pipefail
win=$(realpath "${1:-build-win}")
# The widgets on the Windows desktop's own platform, with its fonts (Qt's offscreen platform
# has none on Windows): a screen of its own.
if [ -z "${KV_WINE_SCREEN:-}" ]; then
    KV_WINE_SCREEN=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
. "$(dirname "$0")/wait_lib.sh"
use_prefix "$win"
# Qt reads this only with wine's WINE prefix: Qt Test's report on standard error.
export WINEQT_FORCE_STDERR_LOGGING=1
export KVPROG_TEST_COM=COM9
fail() {
    echo "unit_wine.sh: $*" >&2
    exit 1
}

# Wine's port map is read when wine starts.
if ! wine reg query 'HKLM\Software\Wine\Ports' /v COM9 >/dev/null 2>&1; then
    wine reg add 'HKLM\Software\Wine\Ports' /v COM9 /t REG_SZ /d /dev/ptmx /f >/dev/null 2>&1
    wineserver -k || true
fi

cd "$win/bin"
programs=(*_tests.exe)
[ "${#programs[@]}" -gt 0 ] || fail "no test programs in $win/bin"
for program in "${programs[@]}"; do
    start=$SECONDS
    # GoogleTest prints only failures with --gtest_brief; Qt Test is quiet with -silent.
    if grep -q gtest_brief "$program"; then
        brief=--gtest_brief=1
    else
        brief=-silent
    fi
    # No variable moves the settings file out of the user's application data on Windows:
    # each program starts without the one an earlier run left.
    rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/"Local AppWizard-Generated Applications"/KV_II.conf
    # A crash starts wine's debugger, which waits: the time limit ends it as a failure.
    timeout 900 wine "./$program" "$brief" >"$win/$program.log" 2>&1 || {
        tr -d '\r' <"$win/$program.log" | tail -n 60 >&2
        fail "$program failed under wine"
    }
    echo "  $program: passed in $((SECONDS - start)) s"
done

wine ./kvprog-cli.exe doctor --port COM9 >"$win/doctor.log" 2>&1 || true
tr -d '\r' <"$win/doctor.log" | grep -q '^  COM9$' ||
    fail "kvprog-cli doctor does not list COM9 from wine's port map: $(cat "$win/doctor.log")"
echo "wine: ${#programs[@]} test programs passed; the doctor lists COM9"
