#!/usr/bin/env bash
# Each installed program answers --version with its name, the version, the
# copyright and the licence, and --help with its usage, both on standard
# output and with exit status 0, without a display.
#
#   help_and_version.sh <build folder> <version>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"
install_begin

prefix="$work/prefix"
install_into "$prefix"
cd "$work"

for program in snipwell snipwell-cut snipwell-mci; do
  for flag in --version --help; do
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" "$flag" \
      >"$work/out" 2>"$work/err" </dev/null || status=$?
    check "$program $flag exits 0 (exited $status)" test "$status" -eq 0
    check "$program $flag names $program" contains "$work/out" "$program"
    if [[ "$flag" == --version ]]; then
      check "$program --version says $version" contains "$work/out" "$version"
      check "$program --version has the copyright line" grep -q "^Copyright (C) 2026 Quorvane" "$work/out"
      check "$program --version has the licence line" grep -q "^License GPL-3.0-or-later" "$work/out"
    else
      check "$program --help shows the usage" grep -qi "usage" "$work/out"
    fi
  done
done

install_end
