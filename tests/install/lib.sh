# shellcheck shell=bash
# Steps the install tests share. Source it from a script running with
# `set -euo pipefail` whose arguments are <build folder> <version>, then:
#   install_begin            checks the arguments, makes $work (removed at exit)
#   install_into PREFIX      `cmake --install` of the build, stripped, into PREFIX
#   check TEXT COMMAND...    runs COMMAND; when it fails, notes TEXT as a
#                            failure and goes on, so one run lists every fault
#   install_end              prints the failures and exits 1 if there were any
#   png_size FILE            prints "<width>x<height>" of a PNG file

build_dir="$1"
version="$2"
app_id=com.quorvane.Snipwell
work=""
install__failures=()

install__cleanup() {
  if [[ -n "$work" ]]; then rm -rf "$work"; fi
}

install_begin() {
  [[ -f "$build_dir/CMakeCache.txt" ]] || { echo "FAIL: no build in $build_dir" >&2; exit 1; }
  work="$(mktemp -d /tmp/snipwell-install-test.XXXXXX)"
  trap install__cleanup EXIT
}

install_into() {
  cmake --install "$build_dir" --prefix "$1" --strip >"$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install into $1 failed" >&2
    exit 1
  }
}

check() {
  local text="$1"
  shift
  if "$@"; then
    echo "ok: $text"
  else
    echo "FAIL: $text" >&2
    install__failures+=("$text")
  fi
}

install_end() {
  if (( ${#install__failures[@]} > 0 )); then
    echo "${#install__failures[@]} check(s) failed:" >&2
    printf '  %s\n' "${install__failures[@]}" >&2
    exit 1
  fi
  echo "PASS"
}

# The width and height stand big-endian at bytes 16 to 23 of a PNG, in its
# IHDR chunk.
png_size() {
  local signature width height
  signature="$(od -An -tx1 -N 8 "$1" | tr -d ' \n')"
  [[ "$signature" == 89504e470d0a1a0a ]] || return 1
  width="$(od -An -tu4 --endian=big -j 16 -N 4 "$1" | tr -d ' ')"
  height="$(od -An -tu4 --endian=big -j 20 -N 4 "$1" | tr -d ' ')"
  echo "${width}x${height}"
}

# Whether the file at $1 contains the text $2.
contains() { grep -qF -- "$2" "$1"; }
# Whether running "$@" prints nothing on standard error and succeeds.
quietly_succeeds() {
  local complaints
  complaints="$("$@" 2>&1 >/dev/null)" || { echo "$complaints" >&2; return 1; }
  [[ -z "$complaints" ]] || { echo "$complaints" >&2; return 1; }
}
