#!/usr/bin/env bash
# snipwell --help and --version answer on a machine without a display and
# exit 0; without either, and without a display, the program still refuses.
#
#   help_and_version.sh <snipwell>
set -euo pipefail
snipwell="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

help="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$snipwell" --help)" || fail "--help exited $?"
grep -q '^Usage: snipwell' <<<"$help" || fail "--help printed no usage: $help"
grep -q -- '--version' <<<"$help" || fail "--help does not list --version"
grep -q '^Example' <<<"$help" || fail "--help gives no example"

version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$snipwell" --version)" || fail "--version exited $?"
grep -qx 'snipwell 3\.4\.[0-9]*' <<<"$(head -n1 <<<"$version")" || fail "--version printed: $version"
grep -qx 'Copyright (C) 2026 Quorvane' <<<"$version" || fail "--version has no copyright line"
grep -qx 'License GPL-3.0-or-later' <<<"$version" || fail "--version has no license line"

status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$snipwell" >/dev/null 2>&1 || status=$?
(( status == 2 )) || fail "without a display the program exited $status, not 2"
echo "PASS: --help and --version without a display"
