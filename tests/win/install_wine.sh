#!/usr/bin/env bash
# The Windows installer under wine, in a prefix of its own: a silent install (/S) puts the
# programs under %LOCALAPPDATA%\Programs\kvprog, where both start (kvprog-cli.exe answers,
# kvprog.exe shows its main window), registers *.sin and the Start menu shortcuts; the silent
# uninstaller takes all of that away again and leaves the user's backups.
#   tests/win/install_wine.sh [WINDOWS_BUILD_DIR]   (the setup.exe of scripts/windows-package.sh)
set -euo pipefail
[ -n "${DISPLAY:-}" ] || exec xvfb-run -a "$0" "$@"
root=$(cd "$(dirname "$0")/../.." && pwd)
win=$(realpath "${1:-build-win}")
setup=$(ls "$win"/kvprog-*-setup.exe | head -n 1)
version=${setup##*/kvprog-}
version=${version%-setup.exe}

. "$root/tests/win/wait_lib.sh"
work=$(mktemp -d)
fail() { echo "FAIL (install): $*" >&2; exit 1; }
# A command that ends the script through set -e names its line.
trap 'echo "FAIL (install): line $LINENO exited $?" >&2' ERR
# A fresh prefix every run, copied from one made once (wineboot takes 10-60 s), so what an
# earlier run left cannot pass for what this installer did.
clean="$win/wineprefix-clean"
if [ ! -f "$clean/user.reg" ]; then
    rm -rf "$clean"
    make_prefix "$clean" || fail "no wine prefix to install into"
fi
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp -a "$clean" "$WINEPREFIX"

home="$WINEPREFIX/drive_c/users/$(id -un)"
programs="$home/AppData/Local/Programs/kvprog"
menu="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
backup="$home/AppData/Local/kvprog/backups/radio-COM1-20240101-120000.sin"
classes='HKCU\Software\Classes'

# reg_value KEY: the key's default value, empty when there is no key.
reg_value() {
    wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}

timeout 300 wine "$setup" /S || fail "the installer exited $?"
for file in bin/kvprog.exe bin/kvprog-cli.exe bin/kvprintsupport.dll bin/Qt6Widgets.dll \
    bin/platforms/qwindows.dll share/doc/kvprog/guide.md licenses/LGPL-3.0.txt uninstall.exe; do
    [ -f "$programs/$file" ] || fail "not installed: $file"
done

timeout 60 wine "$programs/bin/kvprog-cli.exe" --version >"$work/version.txt" ||
    fail "the installed kvprog-cli.exe did not start"
grep -q "$version" "$work/version.txt" || fail "kvprog-cli.exe --version: $(cat "$work/version.txt")"
wine "$programs/bin/kvprog.exe" &
desktop=$!
timeout 120 xdotool search --sync --name '^Korvane Programming Software$' >/dev/null ||
    fail "the installed kvprog.exe showed no main window"
kill "$desktop"
wait "$desktop" 2>/dev/null || true

[ "$(reg_value "$classes\\.sin")" = "KV_II.Document" ] || fail "*.sin is not a KV_II Document"
[ "$(reg_value "$classes\\KV_II.Document")" = "KV_II Document" ] || fail "no KV_II Document type"
open=$(reg_value "$classes\\KV_II.Document\\shell\\open\\command")
[ "$open" = "\"C:\\users\\$(id -un)\\AppData\\Local\\Programs\\kvprog\\bin\\kvprog.exe\" \"%1\"" ] ||
    fail "*.sin opens with: $open"
# A shortcut keeps its arguments in UTF-16 (strings -e l reads them).
[ -f "$menu/Korvane Programming Software.lnk" ] || fail "no Start menu entry"
demo="$menu/Korvane Programming Software (demo radio).lnk"
[ -f "$demo" ] || fail "no Start menu entry for the demo radio"
strings -a -e l "$demo" | grep -qx -- '--demo' || fail "the demo entry does not start the demo radio"

mkdir -p "$(dirname "$backup")"
echo "the user's backup" >"$backup"
timeout 120 wine "$programs/uninstall.exe" /S || fail "the uninstaller exited $?"
wait_for test ! -e "$programs" || fail "the uninstaller left: $(cd "$programs" && find . | head)"
wineserver -w
[ -z "$(reg_value "$classes\\.sin")" ] || fail "the uninstaller left *.sin registered"
[ -z "$(reg_value "$classes\\KV_II.Document")" ] || fail "the uninstaller left the file type"
! wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kvprog' >/dev/null 2>&1 ||
    fail "the uninstaller left its Add/Remove Programs entry"
[ ! -e "$menu/Korvane Programming Software.lnk" ] && [ ! -e "$demo" ] ||
    fail "the uninstaller left the Start menu entries"
[ "$(cat "$backup")" = "the user's backup" ] || fail "the uninstaller took the user's backup"
echo "wine: the installer installs, registers *.sin and the Start menu, and uninstalls cleanly"
