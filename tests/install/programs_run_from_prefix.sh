#!/usr/bin/env bash
# The installed programs work from the prefix alone: with a bare environment
# and a working folder outside the build, snipwell-mci measures an MP3 file
# (through the media engine found relative to the installed program),
# snipwell-cut cuts a clip of it (with --gain max through the level probe
# found the same way), and the window opens on the X server in
# DISPLAY.
#
#   programs_run_from_prefix.sh <build folder> <version>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"
install_begin
for tool in sox xdotool; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

prefix="$work/prefix"
install_into "$prefix"
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
# Only what a login session would give; nothing that points into the build.
bare() {
  env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    ${DISPLAY:+DISPLAY="$DISPLAY"} ${PULSE_SERVER:+PULSE_SERVER="$PULSE_SERVER"} "$@"
}
cd "$work"

track="$work/Three Seconds.mp3"
sox -n -r 44100 -c 2 "$track" synth 3 sine 440 vol 0.5 2>/dev/null || { echo "FAIL: sox made no MP3" >&2; exit 1; }

# snipwell-mci: open, then the length in milliseconds.
replies="$(printf 'open "%s" type mpegvideo alias movie\nstatus movie length\n' "$track" | bare snipwell-mci 2>"$work/mci.err" || true)"
open_reply="$(sed -n 1p <<<"$replies")"
length_reply="$(sed -n 2p <<<"$replies")"
check "the installed snipwell-mci opens an MP3 (answered \"$open_reply\")" test "$open_reply" = $'0\t'
length_ms="${length_reply#*$'\t'}"
check "the installed snipwell-mci measures it as about 3000 ms (answered \"$length_reply\")" \
  test "${length_reply%%$'\t'*}" = 0 -a "${length_ms:-0}" -ge 2900 -a "${length_ms:-0}" -le 3100

# snipwell-cut: the middle second, in bare milliseconds.
clip="$work/clip.mp3"
check "the installed snipwell-cut saves a clip" bare snipwell-cut "$track" 1000 2000 "$clip"
track_bytes="$(stat -c %s "$track")"
clip_bytes="$(stat -c %s "$clip" 2>/dev/null || echo 0)"
check "the clip holds about a third of the track ($clip_bytes of $track_bytes bytes)" \
  test "$((clip_bytes * 4))" -ge "$track_bytes" -a "$((clip_bytes * 2))" -le "$track_bytes"

# snipwell-cut --gain max: the clipping guard's probe is found relative to
# the installed program and measures the clip.
loud="$work/loud.mp3"
bare snipwell-cut --exact --gain max "$track" 1000 2000 "$loud" >"$work/gain.out" 2>"$work/gain.err" || true
check "the installed snipwell-cut measures a clip for --gain max ($(cat "$work/gain.out" "$work/gain.err"))" \
  grep -q "cannot clip" "$work/gain.out"

# snipwell: the window appears, and closes when asked.
if [[ -z "${DISPLAY-}" ]]; then
  check "an X server in DISPLAY to show the window on" false
else
  bare snipwell >"$work/snipwell.log" 2>&1 &
  window_pid=$!
  window=""
  for _ in $(seq 1 300); do
    window="$(xdotool search --onlyvisible --pid "$window_pid" --name '^Snipwell 3\.4$' 2>/dev/null | head -n 1 || true)"
    [[ -n "$window" ]] && break
    kill -0 "$window_pid" 2>/dev/null || break
    sleep 0.1
  done
  check "the installed snipwell shows its window" test -n "$window"
  if [[ -z "$window" ]]; then cat "$work/snipwell.log" >&2; fi
  kill "$window_pid" 2>/dev/null || true
  wait "$window_pid" 2>/dev/null || true
fi

install_end
