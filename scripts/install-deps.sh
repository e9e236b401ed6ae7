#!/usr/bin/env bash
# Installs the Debian packages Quorvane needs, by purpose, so that a user who only wants to run it
# downloads no test or fuzzing toolchain:
#   install-deps.sh run      build and run the program (the default)
#   install-deps.sh test     run + the test suite, the sanitizer suite and the benchmarks
#   install-deps.sh package  run + what makes and checks the .deb (`make package-check`)
#   install-deps.sh fuzz     test + the clang toolchain for the libFuzzer targets
#   install-deps.sh ci       test + debootstrap, for the bare-machine check in .ci/run
# Every package the build links or runs against is named here, even where another package
# usually drags it in: nothing is left to what a machine happens to have.
# Idempotent: packages already present are skipped, so a second run is quick.
set -euo pipefail

run_packages=(
    cmake ninja-build g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6network6
    # Qt Charts' CMake files need Qt's OpenGL module, which qt6-charts-dev does not bring in Debian 12.
    qt6-charts-dev libqt6charts6 libqt6opengl6-dev
    libsqlite3-dev sqlite3
    # A shared ledger lives on a PostgreSQL server; the program reaches it through libpq.
    libpq-dev
    libxlsxwriter-dev zlib1g-dev libzip-dev libicu-dev
    fonts-liberation2
)
# The validators of the desktop entry, the AppStream metainfo and the man page.
metadata_packages=(appstream desktop-file-utils man-db groff-base)
# postgresql-15: the tests start PostgreSQL servers of their own; openssl makes the certificates of
# the one that listens with TLS.
test_packages=(libgtest-dev libbenchmark-dev qt6-base-private-dev xvfb xauth poppler-utils unzip postgresql-15 openssl
    "${metadata_packages[@]}")
# dpkg-shlibdeps (dpkg-dev) computes the package's Depends from the libraries the program links; CPack
# needs `file` to find the program among the installed files.
package_packages=("${metadata_packages[@]}" dpkg-dev file)
fuzz_packages=(clang libclang-rt-14-dev llvm)
ci_packages=(debootstrap)

packages=("${run_packages[@]}")
case "${1:-run}" in
    run) ;;
    test) packages+=("${test_packages[@]}") ;;
    package) packages+=("${package_packages[@]}") ;;
    fuzz) packages+=("${test_packages[@]}" "${fuzz_packages[@]}") ;;
    ci) packages+=("${test_packages[@]}" "${ci_packages[@]}") ;;
    *) echo "usage: install-deps.sh [run|test|package|fuzz|ci]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
    sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
