#!/usr/bin/env bash
# Cutting a clip the way a person does: open an MP3 and let it play, click
# Select Start, wait, click Select End, listen with Play Selected, then click
# Save, type where the clip goes into the save dialog, and answer the message
# that says it was saved. Between the preview and the save the track plays to
# its end and Play Selected plays the marked stretch once more. The saved file must be a piece of the track, as
# long as the time between the two clicks, and the window must be ready for
# the next thing afterwards.
#
#   mark_preview_and_save.sh <snipwell> <window_probe> <snipwell-cut> <artifacts folder>
#
# Needs an X server in DISPLAY (scripts/test starts Xvfb) and a PulseAudio
# server (started here from scripts/lib/pulseaudio.sh when none is given).
# snipwell-cut's clip from 0 tells where the track's audio frames begin and
# how many bytes ten seconds of them take, so the clip's first byte can be
# traced back to a time.
set -euo pipefail

snipwell="$1"
probe="$2"
snipwell_cut="$3"
artifacts="$4"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_begin
mkdir -p "$artifacts"
for tool in cmp od grep head; do command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"; done

now_ms() { date +%s%3N; }
size_of() { stat -c %s "$1"; }

# A minute of noise: no two stretches of it encode alike, so a piece of the
# file is found in one place only.
track_seconds=60
track="$work/Noise Track.mp3"
sox -n -r 44100 -c 2 "$track" synth "$track_seconds" pinknoise vol 0.5 2>/dev/null || e2e_fail "sox made no MP3"
track_sum="$(cksum <"$track")"
track_size="$(size_of "$track")"

# Prints the byte offset (from 0) where the first 64 bytes of $1 stand in $2,
# nothing when they stand nowhere.
offset_in() {
  local needle hay_hex position
  needle="$(od -An -v -tx1 -N 64 "$1" | tr -d ' \n')"
  (( ${#needle} == 128 )) || return 0
  hay_hex="$(od -An -v -tx1 "$2" | tr -d ' \n')"
  # Two hex digits a byte: only a match at an even digit is byte-aligned.
  for position in $(grep -ob "$needle" <<<"$hay_hex" | cut -d: -f1); do
    if (( position % 2 == 0 )); then
      echo $((position / 2))
      return 0
    fi
  done
}

# Whether byte $2 (from 0) of file $1 starts an MPEG frame: eleven set bits.
frame_starts_at() {
  local pair first second
  pair="$(od -An -v -tu1 -j "$2" -N 2 "$1")"
  read -r first second <<<"$pair"
  [[ -n "${second:-}" ]] && (( first == 255 && (second & 224) == 224 ))
}

# The first ten seconds of the track's audio: where its frames begin (after
# the tag and the info frame) and how many bytes ten seconds take (the
# track is constant bit rate, and a clip ends within a frame of its mark).
reference="$work/reference.mp3"
"$snipwell_cut" "$track" 0 10000 "$reference" >/dev/null 2>&1 || e2e_fail "snipwell-cut could not cut the track"
audio_offset="$(offset_in "$reference" "$track")"
[[ -n "$audio_offset" ]] || e2e_fail "the reference cut is not a piece of the track"
frame_starts_at "$reference" 0 || e2e_fail "the reference cut does not start with a frame"
bytes_per_10s="$(size_of "$reference")"
echo "track: $track_size bytes, audio from byte $audio_offset, $bytes_per_10s bytes per 10 s"

e2e_start_program "$snipwell"

# Rectangles of the window in pixels.
digest() { "$probe" digest "$window" "$@"; }
digest_time() { digest 165 144 124 12; }
digest_slider() { digest 8 40 281 25; }
digest_begin() { digest 89 149 59 12; }
digest_end() { digest 82 167 66 12; }
digest_length() { digest 56 185 92 12; }
digest_progress() { digest 0 223 305 23; }
# Button centres.
click_play() { e2e_click 33 82; }
click_open() { e2e_click 204 79; }
click_save() { e2e_click 262 81; }
click_select_start() { e2e_click 101 111; }
click_select_end() { e2e_click 192 110; }
click_play_selected() { e2e_click 229 178; }

# Waits up to $2 seconds for the current time to change from $1.
time_moves_from() {
  local before="$1" tries=$(($2 * 5))
  for _ in $(seq 1 "$tries"); do
    sleep 0.2
    [[ "$(digest_time)" != "$before" ]] && return 0
  done
  return 1
}
# Waits up to $1 seconds until the current time and the slider have held
# still for 2.5 s, longer than the once-a-second position tick; rest_since is
# when they last moved.
rest_since=0
comes_to_rest() {
  local deadline=$(( $(now_ms) + $1 * 1000 )) time_seen slider_seen still_since
  time_seen="$(digest_time)"
  slider_seen="$(digest_slider)"
  still_since="$(now_ms)"
  while (( $(now_ms) < deadline )); do
    sleep 0.2
    local time_now slider_now
    time_now="$(digest_time)"
    slider_now="$(digest_slider)"
    if [[ "$time_now" != "$time_seen" || "$slider_now" != "$slider_seen" ]]; then
      time_seen="$time_now"
      slider_seen="$slider_now"
      still_since="$(now_ms)"
    elif (( $(now_ms) - still_since >= 2500 )); then
      rest_since="$still_since"
      return 0
    fi
  done
  return 1
}

# 1. Open the track; it plays at once.
time_idle="$(digest_time)"
click_open
open_clicked="$(now_ms)"
e2e_type_into_dialog "$(e2e_wait_for_window '^Open$')" "$track"
time_moves_from "$time_idle" 10 || e2e_fail "the opened track did not play"
# Past its first second: the time shown moves on once more.
time_moves_from "$(digest_time)" 5 || e2e_fail "the current time stood still while playing"

# 2. Marks about three seconds apart, while it plays.
sleep 1
begin_shown="$(digest_begin)"
length_shown="$(digest_length)"
click_select_start
start_clicked="$(now_ms)"
sleep 0.5
[[ "$(digest_begin)" != "$begin_shown" ]] || e2e_fail "Select Start did not show the begin position"

sleep 2.5
end_shown="$(digest_end)"
click_select_end
end_clicked="$(now_ms)"
sleep 0.5
[[ "$(digest_end)" != "$end_shown" ]] || e2e_fail "Select End did not show the end position"
[[ "$(digest_length)" != "$length_shown" ]] || e2e_fail "the selection's length was not shown"
marked_ms=$((end_clicked - start_clicked))
"$probe" grab "$window" "$artifacts/e2e-marked.png" || true

# 3. Play Selected goes back to the begin mark and pauses at the end mark:
#    the track, which would play on for most of a minute, comes to rest
#    after the marked stretch has played. The time shown moves on each whole
#    second, the last time less than a second before the end mark.
time_before_preview="$(digest_time)"
click_play_selected
preview_clicked="$(now_ms)"
time_moves_from "$time_before_preview" 5 || e2e_fail "Play Selected did not play"
comes_to_rest $((marked_ms / 1000 + 10)) || e2e_fail "Play Selected did not pause at the end mark"
preview_ms=$((rest_since - preview_clicked))
echo "Play Selected moved the time for ${preview_ms} ms"
(( preview_ms >= marked_ms - 2000 )) ||
  e2e_fail "Play Selected stopped after ${preview_ms} ms, short of the ${marked_ms} ms between the marks"
kill -0 "$app_pid" || e2e_fail "the program ended during Play Selected"

# 3b. Let the track play to its end, then Play Selected once more: it plays
#     the marked stretch again and pauses at the end mark, although the
#     device ignores "play" at the end of the track. The slider is taken
#     three seconds short of the end with the keyboard, then Play plays it out.
preview_rest_time="$(digest_time)"
e2e_click 285 52  # the slider's groove near its end: focus and a page step
xdotool windowfocus --sync "$window"
xdotool key End Left Left Left
click_play
comes_to_rest 15 || e2e_fail "the track did not come to rest at its end"
"$probe" grab "$window" "$artifacts/e2e-played-to-end.png" || true
time_at_end="$(digest_time)"
[[ "$time_at_end" != "$preview_rest_time" ]] || e2e_fail "the track did not play on to its end"
click_play_selected
preview_clicked="$(now_ms)"
time_moves_from "$time_at_end" 5 || e2e_fail "Play Selected did nothing after the track had played to its end"
comes_to_rest $((marked_ms / 1000 + 10)) || e2e_fail "Play Selected after the end did not pause at the end mark"
preview_ms=$((rest_since - preview_clicked))
echo "Play Selected after the end moved the time for ${preview_ms} ms"
# The time shown last moves on the whole second before the end mark, so up to
# a second before it; a preview that only moved to the begin mark and waited
# there would come to rest within about a second of the click.
(( preview_ms >= marked_ms - 1500 && preview_ms <= marked_ms + 3000 )) ||
  e2e_fail "Play Selected after the end played ${preview_ms} ms, not the ${marked_ms} ms between the marks"
"$probe" grab "$window" "$artifacts/e2e-preview-after-end.png" || true

# 4. Save the clip under a new name in a folder of its own.
progress_idle="$(digest_progress)"
clips="$work/clips"
mkdir -p "$clips"
target="$clips/Saved Clip.mp3"
click_save
save_dialog="$(e2e_wait_for_window '^Open$')"
e2e_type_into_dialog "$save_dialog" "$target"

# "Clip Saved" comes as a second window with the program's own title.
message="$(e2e_wait_for_window '^Snipwell 3\.4$')"
"$probe" grab "$message" "$artifacts/e2e-clip-saved.png" || true
xdotool windowfocus --sync "$message"
xdotool key Return
for _ in $(seq 1 50); do
  e2e_is_shown "$message" || break
  sleep 0.1
done
! e2e_is_shown "$message" || e2e_fail "the message after the save stayed open after Return"

# 5. The window is idle again: its title, an empty progress bar, and buttons
#    that work.
sleep 0.5
"$probe" grab "$window" "$artifacts/e2e-after-save.png" || true
[[ "$(xdotool getwindowname "$window")" == "Snipwell 3.4" ]] || e2e_fail "the window's title stayed \"$(xdotool getwindowname "$window")\""
[[ "$(digest_progress)" == "$progress_idle" ]] || e2e_fail "the progress bar did not return to empty"
time_after_save="$(digest_time)"
click_play
time_moves_from "$time_after_save" 10 || e2e_fail "Play did nothing after the save"

# 6. The clip: the track's own frames, from the one that holds the begin
#    mark to the one that holds the end mark, as long as the time between
#    the two clicks.
[[ -f "$target" ]] || e2e_fail "no clip was saved at $target"
[[ "$(cksum <"$track")" == "$track_sum" ]] || e2e_fail "the save changed the source track"
leftovers="$(find "$clips" -mindepth 1 ! -path "$target")"
[[ -z "$leftovers" ]] || e2e_fail "the save left files beside the clip: $leftovers"
clip_size="$(size_of "$target")"

clip_offset="$(offset_in "$target" "$track")"
[[ -n "$clip_offset" ]] || e2e_fail "the clip's first bytes are nowhere in the track"
cmp -s -n "$clip_size" -i "0:$clip_offset" "$target" "$track" ||
  e2e_fail "the clip is not the $clip_size bytes of the track from byte $clip_offset"
frame_starts_at "$target" 0 || e2e_fail "the clip does not start with a frame"
# Its last byte ends a frame: the next byte of the track starts one, or a tag.
clip_end=$((clip_offset + clip_size))
if (( clip_end < track_size )) && ! frame_starts_at "$track" "$clip_end"; then
  [[ "$(head -c $((clip_end + 3)) "$track" | tail -c 3)" == "TAG" ]] ||
    e2e_fail "the clip ends inside a frame, at byte $clip_end of the track"
fi
begin_ms=$(( (clip_offset - audio_offset) * 10000 / bytes_per_10s ))
clip_ms=$(( clip_size * 10000 / bytes_per_10s ))
echo "marks ${marked_ms} ms apart; clip from ${begin_ms} ms, ${clip_size} bytes (${clip_ms} ms)"
# Select Start came after the time had shown a whole second, and playback
# cannot have begun before Open was clicked.
since_open_ms=$((start_clicked - open_clicked))
# The frame holding the begin mark starts up to 27 ms before it.
(( begin_ms >= 1000 - 30 && begin_ms <= since_open_ms + 500 )) ||
  e2e_fail "the clip starts at ${begin_ms} ms, but Select Start was clicked after 1 s of playing and ${since_open_ms} ms after Open"
# 1.5 s either way allows for clicks and playback on a busy machine.
(( clip_ms >= marked_ms - 1500 && clip_ms <= marked_ms + 1500 )) ||
  e2e_fail "the clip holds ${clip_ms} ms, but the marks were set ${marked_ms} ms apart"

kill -0 "$app_pid" || e2e_fail "the program ended by itself"
echo "PASS: marked, previewed and saved a clip from the window"
