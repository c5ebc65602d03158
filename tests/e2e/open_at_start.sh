#!/usr/bin/env bash
# The file manager's "Open With": `snipwell FILE` plays FILE without a click,
# and the slider and the current time follow it. A file that is not there is
# named in one message box (a file manager shows no standard error) and on
# standard error, and the window stays empty and at rest.
#
#   open_at_start.sh <snipwell> <window_probe>
#
# Needs an X server in DISPLAY (scripts/test starts Xvfb) and a PulseAudio
# server (started here from scripts/lib/pulseaudio.sh when none is given).
set -euo pipefail

snipwell="$1"
probe="$2"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_begin

digest_time() { "$probe" digest "$window" 165 144 124 12; }
digest_slider() { "$probe" digest "$window" 8 40 281 25; }

# A missing file: one message box says so; dismissed, the window stays as at
# rest.
missing="$work/not here.mp3"
e2e_start_program "$snipwell" "$missing"
box="$(e2e_wait_for_window '^Snipwell 3\.4$')"
xdotool windowfocus --sync "$box"
xdotool key Return
for _ in $(seq 1 50); do
  e2e_is_shown "$box" || break
  sleep 0.1
done
! e2e_is_shown "$box" || e2e_fail "the message about the missing file stayed open after Return"
sleep 0.5  # the window repaints where the box stood
time_at_rest="$(digest_time)"
slider_at_rest="$(digest_slider)"
sleep 2.5
[[ "$(digest_time)" == "$time_at_rest" ]] || e2e_fail "the time moved with no file open"
[[ "$(digest_slider)" == "$slider_at_rest" ]] || e2e_fail "the slider moved with no file open"
grep -qF "snipwell: cannot open $missing: No such file or directory" "$work/snipwell.log" ||
  e2e_fail "standard error did not name the missing file"
[[ -z "$(e2e_windows_titled '^Snipwell 3\.4$')" ]] ||
  e2e_fail "a second message came about the missing file"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true

# A real file: it plays at once.
track="$work/Tone Track.mp3"
sox -n -r 44100 -c 2 "$track" synth 8 sine 440 2>/dev/null || e2e_fail "sox made no MP3"
e2e_start_program "$snipwell" "$track" "$work/second.mp3"
moved=""
for _ in $(seq 1 50); do
  sleep 0.2
  if [[ "$(digest_time)" != "$time_at_rest" && "$(digest_slider)" != "$slider_at_rest" ]]; then
    moved=1
    break
  fi
done
[[ -n "$moved" ]] || e2e_fail "the file named at start did not play"
grep -qF "snipwell: opening only the first file, $track; 1 more ignored" "$work/snipwell.log" ||
  e2e_fail "standard error did not say the second file was left out"
[[ -z "$(e2e_windows_titled '^Snipwell 3\.4$')" ]] ||
  e2e_fail "a message came about a file that plays"
echo "PASS: a file named at start plays; a missing one is named in one message and the window rests"
