#!/usr/bin/env bash
# The Debian package: cpack makes it from the build, its control data names the package of
# every library the programs link, it holds the three programs, the menu entry, the icon and
# the file type under /usr, and the programs run from a root it is unpacked into (nothing is
# installed on the system).
#   deb_check.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# --- making the package --------------------------------------------------------------------
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
shopt -s nullglob
debs=("$work/out"/kvprog_*.deb)
shopt -u nullglob
[ "${#debs[@]}" -eq 1 ] || fail "expected one kvprog_*.deb, got: ${debs[*]:-none}"
deb="${debs[0]}"

# --- control data --------------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kvprog ] || fail "package name is \"$(field Package)\""
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] \
    || fail "architecture is \"$(field Architecture)\""
built_version=$("$build/bin/kvprog-cli" --version | awk '{print $2}')
[ "$(field Version)" = "$built_version" ] \
    || fail "package version \"$(field Version)\" is not the programs' \"$built_version\""
[ "$(basename "$deb")" = "kvprog_${built_version}_$(dpkg --print-architecture).deb" ] \
    || fail "unexpected file name $(basename "$deb")"
for name in Maintainer Description Section; do
    [ -n "$(field "$name")" ] || fail "the control data has no $name"
done
depends=$(field Depends)
# "a (>= 1), b" -> one package name a line
depended=$(echo "$depends" | tr ',' '\n' | sed -e 's/(.*)//' -e 's/|.*//' -e 's/ //g' | sort -u)
depends_on() { echo "$depended" | grep -qx "$1"; }
depends_on fonts-liberation || fail "Depends lacks fonts-liberation (the form's font): $depends"

# --- contents ------------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$work/contents"
for file in usr/bin/kvprog usr/bin/kvprog-cli usr/bin/kvradio-sim \
            usr/share/applications/kvprog.desktop \
            usr/share/icons/hicolor/scalable/apps/kvprog.svg \
            usr/share/mime/packages/kvprog.xml; do
    grep -q " \./$file\$" "$work/contents" || fail "the package lacks /$file"
done
for program in kvprog kvprog-cli kvradio-sim; do
    grep -q "^-rwxr-xr-x .* \./usr/bin/$program\$" "$work/contents" \
        || fail "/usr/bin/$program is not an executable for everyone"
done
# The desktop program's modules, which it loads from ../lib/kvprog beside its own folder.
for module in kvprintsupport; do
    grep -q " \./usr/lib/kvprog/lib$module\.so\$" "$work/contents" \
        || fail "the package lacks the module $module"
done
if awk '{print $NF}' "$work/contents" | grep -v -e '^\./$' -e '^\./usr/'; then
    fail "the package puts files outside /usr"
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"

# Every library a packaged program or module links comes from a package the control data
# depends on, and none looks for libraries in the build tree.
for binary in "$root"/usr/bin/* "$root"/usr/lib/kvprog/*.so; do
    program=$(basename "$binary")
    if readelf -d "$binary" | grep -E 'R(UN)?PATH' | grep -q "$build"; then
        fail "$program still searches the build tree for libraries"
    fi
    for library in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        # The dynamic loader itself (named when a program uses its thread-local storage
        # entry points) comes with libc6, and ldd lists it by path, not as "name => path".
        case "$library" in ld-linux*) continue ;; esac
        path=$(ldd "$binary" | awk -v lib="$library" '$1 == lib {print $3}')
        [ -n "$path" ] && [ -e "$path" ] || fail "$program: $library is not found"
        real=$(readlink -f "$path")
        # The package that holds this very file (another one may hold a namesake elsewhere).
        owner=$(dpkg -S "*/$(basename "$real")" 2>/dev/null | while IFS= read -r line; do
                    if [ "$(readlink -f "${line#*: }")" = "$real" ]; then echo "${line%%:*}"; fi
                done | sort -u)
        [ -n "$owner" ] || fail "$program: no Debian package holds $real"
        depends_on "$owner" || fail "$program links $library from $owner, which Depends lacks: $depends"
    done
done

# --- the programs run from the unpacked root -----------------------------------------------
cli="$root/usr/bin/kvprog-cli"
[ "$("$cli" --version)" = "kvprog-cli $built_version" ] \
    || fail "kvprog-cli --version printed \"$("$cli" --version)\""
"$cli" new "$work/packaged.sin" || fail "the packaged kvprog-cli new failed"
[ "$(stat -c %s "$work/packaged.sin")" -eq 1024 ] || fail "kvprog-cli new did not write 1024 bytes"
"$build/bin/kvprog-cli" new "$work/built.sin"
cmp -s "$work/packaged.sin" "$work/built.sin" \
    || fail "the packaged kvprog-cli makes another new document than the built one"
"$cli" show "$work/packaged.sin" >"$work/show.txt" || fail "kvprog-cli show failed"
grep -q 'KV - T310X' "$work/show.txt" || fail "kvprog-cli show does not name the radio type"

# The desktop program draws the new document's sheet, without a display.
QT_QPA_PLATFORM=offscreen "$root/usr/bin/kvprog" --print-pdf "$work/sheet.pdf" "$work/packaged.sin" \
    2>"$work/print.log" || { cat "$work/print.log" >&2; fail "the packaged kvprog --print-pdf failed"; }
[ "$(head -c 5 "$work/sheet.pdf")" = "%PDF-" ] || fail "the packaged kvprog wrote no PDF"

# The packaged kvprog-cli reads the packaged simulated radio's memory.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
"$cli" new --type "KV - T520" "$work/radio.sin"
"$root/usr/bin/kvradio-sim" --image "$work/radio.sin" --once --latency 2 >"$work/port" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
[ -s "$work/port" ] || fail "the packaged kvradio-sim printed no port"
"$cli" read --port "$(head -n 1 "$work/port")" "$work/read.sin" 2>"$work/read.log" \
    || { cat "$work/read.log" >&2; fail "the packaged kvprog-cli could not read the packaged kvradio-sim"; }
cmp -s "$work/read.sin" "$work/radio.sin" || fail "the memory read differs from the simulated radio's"
wait "$sim_pid" || fail "kvradio-sim --once did not end cleanly"
sim_pid=""

echo "deb check: $(basename "$deb"), Depends: $depends"
