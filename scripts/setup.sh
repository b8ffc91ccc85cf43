# Shared by run.sh and test.sh: installs what a fresh Debian 12 machine lacks and builds.
# Sourced, not run.

# Runs a command as root: directly when we are root, through sudo otherwise.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# Installs the named Debian packages that are not installed yet.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q '^install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "== Installing: ${missing[*]}"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

# Makes a locale available (the tests compare output under a comma-decimal locale).
ensure_locale() {
    local name="$1"
    if ! locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}"; then
        echo "== Generating locale $name"
        as_root sed -i "s/^# *\(${name} UTF-8\)/\1/" /etc/locale.gen
        grep -q "^${name} UTF-8" /etc/locale.gen || echo "${name} UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null
    fi
}

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools
                qt6-svg-dev libgtest-dev libgl-dev fonts-liberation)

# What building for Windows, its installer and zip (the icon drawn by rsvg-convert, packed by
# icotool; NSIS) and running its programs under wine needs.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 qt6-base-dev-tools
                  librsvg2-bin icoutils nsis zip)

# Configures and builds the program into build/.
build_main() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build -j2
}
