#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine and checks what it installed, as a user
# without a display would meet it:
#   check-package.sh [BUILD_DIR] [JOBS]        (`make package-check`; BUILD_DIR defaults to build-package)
# The package stays installed. Every check runs; any that fails makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
jobs=${2:-$(nproc)}
app_id=com.marrowfen.Quorvane

scripts/install-deps.sh package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"
rm -f "$build"/quorvane_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/quorvane_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: expected one .deb in $build" >&2; exit 1; }
deb=${debs[0]}

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "check-package: run as root or install sudo" >&2; exit 1; }
    sudo="sudo"
fi
# --reinstall: a package of the same version from an earlier run is replaced, not kept.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --reinstall "./$deb"

failures=0
fail() {
    echo "check-package: FAILED: $*" >&2
    failures=$((failures + 1))
}
check() {
    local what=$1
    shift
    echo "check-package: $what"
    "$@" || fail "$what"
}

# A user who has never started the program, with no display: the commands must not need one.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
as_user() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_DATA_HOME="$home/data" \
        XDG_CONFIG_HOME="$home/config" timeout 120 /usr/bin/quorvane "$@"
}
# Runs quorvane with the given options, shows what it printed and looks for one line in it.
prints_line() {
    local line=$1 output
    shift
    output=$(as_user "$@") || { echo "quorvane $* exited with $?" >&2; return 1; }
    printf '%s\n' "$output"
    grep -qxF -- "$line" <<<"$output"
}
version=$(dpkg-deb -f "$deb" Version)
check "quorvane --version prints 'quorvane $version'" prints_line "quorvane $version" --version
check "quorvane --totals on a new ledger prints 'Entries: 0'" prints_line "Entries: 0" --totals
report_written() { as_user --report "$home/report.pdf" && file -b "$home/report.pdf" | grep -q '^PDF document'; }
check "quorvane --report writes a PDF without a display" report_written

check "the metainfo is valid" scripts/check-metadata.sh appstream /usr/share/metainfo/$app_id.metainfo.xml
check "the desktop entry is valid" scripts/check-metadata.sh desktop /usr/share/applications/$app_id.desktop
icon_installed() {
    local icon
    icon=$(sed -n 's/^Icon=//p' /usr/share/applications/$app_id.desktop)
    [ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] && [ -f "/usr/share/icons/hicolor/256x256/apps/$icon.png" ]
}
check "the desktop entry's icon is installed" icon_installed
man_page_found() { [ "$(man -w quorvane)" = /usr/share/man/man1/quorvane.1.gz ]; }
check "man -w quorvane finds the installed page" man_page_found
check "the installed man page renders without warnings" scripts/check-metadata.sh man /usr/share/man/man1/quorvane.1.gz

if [ $failures -ne 0 ]; then
    echo "check-package: $failures check(s) failed" >&2
    exit 1
fi
echo "check-package: $deb installs and passes every check"
