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

# use_prefix WINDOWS_BUILD_DIR: the wine prefix of that build, made once (10-60 s), quiet,
# with the words of the command line in UTF-8 (wine passes them in the locale's character
# set), and Times New Roman, the font the form and the sheet are laid out in, as Liberation
# Serif, which has its metrics (Windows has the font; wine would draw a wider one).
use_prefix() {
    export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
    [ -d "$WINEPREFIX/dosdevices" ] || wine wineboot -i >/dev/null 2>&1
    # A new prefix has no user.reg until its wineserver has ended.
    if ! grep -qs '"Times New Roman"="Liberation Serif"' "$WINEPREFIX/user.reg"; then
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Times New Roman" /t REG_SZ \
            /d "Liberation Serif" /f >/dev/null 2>&1
        wineserver -w
    fi
}
