# Sourced by the wine scripts: their prefix, and waiting for what a Windows program does by
# itself, which under wine on a busy machine takes from a moment to a minute.

# wait_for TEST...: the test holds within 120 s.
wait_for() {
    for _ in $(seq 1200); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# make_prefix DIR: a new wine prefix at DIR (10-60 s). It counts as made when its registry is
# on the disk once its wineserver has ended, whatever wineboot's status: a wineboot that ends
# otherwise shows what it printed, where a bare exit status under set -e would say nothing.
make_prefix() {
    local log
    log=$(mktemp)
    WINEPREFIX="$1" WINEDEBUG=-all wine wineboot -i >"$log" 2>&1 || true
    WINEPREFIX="$1" wineserver -w || true
    if [ ! -f "$1/system.reg" ] || [ ! -f "$1/user.reg" ]; then
        echo "wineboot made no wine prefix in $1:" >&2
        cat "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
}

# use_prefix WINDOWS_BUILD_DIR: the wine prefix of that build, made once, quiet, with the
# words of the command line in UTF-8 (wine passes them in the locale's character set), and
# Times New Roman, the font the form and the sheet are laid out in, as Liberation Serif,
# which has its metrics (Windows has the font; wine would draw a wider one).
use_prefix() {
    export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
    [ -f "$WINEPREFIX/user.reg" ] || make_prefix "$WINEPREFIX"
    if ! grep -q '"Times New Roman"="Liberation Serif"' "$WINEPREFIX/user.reg"; then
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Times New Roman" /t REG_SZ \
            /d "Liberation Serif" /f >/dev/null 2>&1
        wineserver -w
    fi
}
