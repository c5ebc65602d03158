#!/usr/bin/env bash
# A person's first use of the program: start it, click Open, type the path of
# an MP3 into the file dialog, press Return, and watch the slider and the
# current time move while it plays. The terminal stays quiet meanwhile.
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
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_begin

# Eight seconds of tone, with a name in capitals: the dialog's filter must
# offer it and the media service must play it.
track="$work/Tone Track.MP3"
sox -n -r 44100 -c 2 "$track" synth 8 sine 440 2>/dev/null || e2e_fail "sox made no MP3"

e2e_start_program "$snipwell"

# Rectangles of the window in pixels: the current time field and the slider.
digest_time() { "$probe" digest "$window" 165 144 124 12; }
digest_slider() { "$probe" digest "$window" 8 40 281 25; }
time_at_start="$(digest_time)"
slider_at_start="$(digest_slider)"

# Open: the fourth button of the top row.
e2e_click 204 79
dialog="$(e2e_wait_for_window '.')"
echo "dialog: $(xdotool getwindowname "$dialog")"
e2e_type_into_dialog "$dialog" "$track"

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
[[ -n "$moved" ]] || e2e_fail "neither the time nor the slider followed playback"

# And they keep following it.
time_then="$(digest_time)"
slider_then="$(digest_slider)"
sleep 2.2
[[ "$(digest_time)" != "$time_then" ]] || e2e_fail "the current time stood still while playing"
[[ "$(digest_slider)" != "$slider_then" ]] || e2e_fail "the slider stood still while playing"
kill -0 "$app_pid" || e2e_fail "the program ended by itself"

# The web panel has started by now, and the terminal stayed quiet: no start-up
# report of the web engine, none of its notes, nothing of the page's console.
"$probe" grab "$window" "$artifacts/e2e-web-panel.png" || true
for chatter in 'qt.webenginecontext' 'GL Type' 'Init Parameters' 'Sandboxing disabled' '^js:'; do
  if grep -q -e "$chatter" "$work/snipwell.log"; then
    e2e_fail "the program printed the web engine's chatter ($chatter)"
  fi
done
echo "PASS: the opened track plays and the window follows it"
