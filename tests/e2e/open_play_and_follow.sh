#!/usr/bin/env bash
# A person's first use of the program: start it, click Open, type the path of
# an MP3 into the file dialog, press Return, and watch the slider and the
# current time move while it plays.
#
#   open_play_and_follow.sh <snipwell> <window_probe> <artifacts folder>
#
# Needs an X server in DISPLAY (scripts/test starts Xvfb) and a PulseAudio
# server (started here from scripts/lib/pulseaudio.sh when none is given).
set -euo pipefail

snipwell="$1"
probe="$2"
artifacts="$3"
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

fail() { echo "FAIL: $*" >&2; exit 1; }
command -v xdotool >/dev/null || fail "xdotool is not installed"
command -v sox >/dev/null || fail "sox is not installed"
[[ -n "${DISPLAY-}" ]] || fail "no X server in DISPLAY"

work="$(mktemp -d /tmp/snipwell-e2e.XXXXXX)"
app_pid=""
pulse_started=""
cleanup() {
  if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  [[ -n "$pulse_started" ]] && snipwell_pulse_stop
  rm -rf "$work"
}
trap cleanup EXIT

if [[ -z "${PULSE_SERVER-}" ]]; then
  # shellcheck source=../../scripts/lib/pulseaudio.sh
  source "$repo/scripts/lib/pulseaudio.sh"
  snipwell_pulse_start || fail "could not start PulseAudio"
  pulse_started=1
fi

# Eight seconds of tone, with a name in capitals: the dialog's filter must
# offer it and the media service must play it.
track="$work/Tone Track.MP3"
sox -n -r 44100 -c 2 "$track" synth 8 sine 440 2>/dev/null || fail "sox made no MP3"

"$snipwell" >"$work/snipwell.log" 2>&1 &
app_pid=$!

window="$(timeout 30 xdotool search --sync --onlyvisible --pid "$app_pid" --name '^Snipwell 3\.4$' | head -n1)" ||
  fail "the window did not appear"

# Rectangles of the window in pixels: the current time field and the slider.
digest_time() { "$probe" digest "$window" 165 144 124 12; }
digest_slider() { "$probe" digest "$window" 8 40 281 25; }
time_at_start="$(digest_time)"
slider_at_start="$(digest_slider)"

# Open: the fourth button of the top row.
xdotool mousemove --window "$window" 204 79 click 1

dialog=""
for _ in $(seq 1 100); do
  for candidate in $(xdotool search --onlyvisible --pid "$app_pid" --name '.' 2>/dev/null); do
    # Native helper windows of the process carry the bare program name.
    [[ "$candidate" != "$window" && "$(xdotool getwindowname "$candidate")" != "Snipwell" ]] && dialog="$candidate"
  done
  [[ -n "$dialog" ]] && break
  sleep 0.1
done
[[ -n "$dialog" ]] || fail "no file dialog appeared after a click on Open"
echo "dialog: $(xdotool getwindowname "$dialog")"

xdotool windowfocus --sync "$dialog"
sleep 0.3
xdotool type --delay 2 "$track"
sleep 0.3
# The first Return may only take the completer's suggestion.
for _ in 1 2; do
  xdotool key Return
  sleep 1
  xdotool search --onlyvisible --pid "$app_pid" --name '.' | grep -qx "$dialog" || break
done
! xdotool search --onlyvisible --pid "$app_pid" --name '.' | grep -qx "$dialog" || fail "the file dialog stayed open"

# Playback starts at once; the position tick runs once a second.
moved=""
for _ in $(seq 1 50); do
  sleep 0.2
  if [[ "$(digest_time)" != "$time_at_start" && "$(digest_slider)" != "$slider_at_start" ]]; then
    moved=1
    break
  fi
done
mkdir -p "$artifacts"
"$probe" grab "$window" "$artifacts/e2e-playing.png" || true
[[ -n "$moved" ]] || { cat "$work/snipwell.log" >&2; fail "neither the time nor the slider followed playback"; }

# And they keep following it.
time_then="$(digest_time)"
slider_then="$(digest_slider)"
sleep 2.2
[[ "$(digest_time)" != "$time_then" ]] || fail "the current time stood still while playing"
[[ "$(digest_slider)" != "$slider_then" ]] || fail "the slider stood still while playing"
kill -0 "$app_pid" || fail "the program ended by itself"
echo "PASS: the opened track plays and the window follows it"
