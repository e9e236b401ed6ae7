#!/usr/bin/env bash
# Checks one of the files that present the program to the desktop, with the tool its readers use:
#   check-metadata.sh appstream FILE.metainfo.xml
#   check-metadata.sh desktop FILE.desktop
#   check-metadata.sh man FILE.1[.gz]
# Fails on any error or warning. The tools come with `scripts/install-deps.sh test`.
set -euo pipefail

kind=${1:?usage: check-metadata.sh appstream|desktop|man FILE}
file=${2:?usage: check-metadata.sh appstream|desktop|man FILE}

need() {
    command -v "$1" >/dev/null || { echo "check-metadata: $1 is missing (scripts/install-deps.sh test)" >&2; exit 1; }
}

# Runs a command; fails if it fails or prints anything (the tools below print only what they find wrong).
must_be_silent() {
    local output
    output=$("$@" 2>&1) || { printf '%s\n' "$output" >&2; echo "check-metadata: '$*' failed" >&2; exit 1; }
    [ -z "$output" ] || { printf '%s\n' "$output" >&2; echo "check-metadata: '$*' warned" >&2; exit 1; }
}

# The page itself goes nowhere: only groff's warnings on standard error count.
render_man() { man "$@" >/dev/null; }

[ -f "$file" ] || { echo "check-metadata: no file '$file'" >&2; exit 1; }
case "$kind" in
    appstream)
        need appstreamcli
        # Its exit code is 3 on any error or warning; infos and pedantic hints pass.
        appstreamcli validate --no-net "$file"
        ;;
    desktop)
        need desktop-file-validate
        # It exits 0 on warnings and hints, so any output fails the check.
        must_be_silent desktop-file-validate "$file"
        ;;
    man)
        need man
        need groff
        # A fixed width, so the result does not depend on the terminal that started the tests.
        export MANWIDTH=80 LC_ALL=C.UTF-8
        must_be_silent render_man --warnings -l "$file"
        must_be_silent render_man --warnings -Tutf8 -l "$file"
        ;;
    *)
        echo "usage: check-metadata.sh appstream|desktop|man FILE" >&2
        exit 2
        ;;
esac
