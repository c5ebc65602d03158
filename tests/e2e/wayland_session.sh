#!/usr/bin/env bash
# The window under Wayland: a headless weston compositor of its own, no X
# server. The window session test (a file opened at start plays, a begin and
# an end are marked, Save writes the clip through its dialog) runs there on
# Qt's Wayland platform; then the built program plays an MP3 named at start,
# with its media engine, and stays up until it is closed.
#
#   wayland_session.sh <snipwell> <gui_window_tests>
#
# The headless compositor has no seat: no keyboard, no pointer. The session
# therefore uses clicks and the dialogs' own widgets, never a typed key: with
# Qt 6.4, a key sent to a line edit where the compositor offers no seat ends
# in a crash inside Qt's Wayland client (QWaylandInputDevice::textInput), so
# the whole gui suite cannot run here. The keys are tested under X (gui).
set -euo pipefail

snipwell="$1"
gui_tests="$2"
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

fail() {
  [[ -n "${work-}" && -s "$work/weston.log" ]] && { echo "--- weston:" >&2; tail -n 20 "$work/weston.log" >&2; }
  [[ -n "${work-}" && -s "$work/snipwell.log" ]] && { echo "--- snipwell:" >&2; cat "$work/snipwell.log" >&2; }
  echo "FAIL: $*" >&2
  exit 1
}
command -v weston >/dev/null || fail "weston is not installed"
command -v sox >/dev/null || fail "sox is not installed"

work="$(mktemp -d /tmp/snipwell-wayland.XXXXXX)"
weston_pid=""
app_pid=""
pulse_started=""
cleanup() {
  if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  if [[ -n "$weston_pid" ]]; then kill "$weston_pid" 2>/dev/null || true; wait "$weston_pid" 2>/dev/null || true; fi
  if [[ -n "$pulse_started" ]]; then snipwell_pulse_stop || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The compositor's socket lives in a runtime folder of its own; the clients
# find it by its absolute path, whatever XDG_RUNTIME_DIR says later.
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" weston --backend=headless-backend.so --socket=wayland-snipwell \
  --idle-time=0 --width=1280 --height=1024 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 1 100); do
  [[ -S "$work/runtime/wayland-snipwell" ]] && break
  kill -0 "$weston_pid" 2>/dev/null || fail "weston ended at start"
  sleep 0.1
done
[[ -S "$work/runtime/wayland-snipwell" ]] || fail "weston opened no socket"
export WAYLAND_DISPLAY="$work/runtime/wayland-snipwell"
export QT_QPA_PLATFORM=wayland
unset DISPLAY

# Play, mark and save in the real window.
"$gui_tests" --gtest_filter='WindowSession.*' >"$work/session.log" 2>&1 ||
  { cat "$work/session.log" >&2; fail "the window session failed under Wayland"; }
grep -q '^\[  PASSED  \] 1 test' "$work/session.log" || fail "the window session did not run"

# The program itself, with its media engine, on a track named at start.
if [[ -z "${PULSE_SERVER-}" ]]; then
  # shellcheck source=../../scripts/lib/pulseaudio.sh
  source "$repo/scripts/lib/pulseaudio.sh"
  snipwell_pulse_start || fail "could not start PulseAudio"
  pulse_started=1
fi
track="$work/tone.mp3"
sox -n -r 44100 -c 2 "$track" synth 8 sine 440 2>/dev/null || fail "sox made no MP3"
"$snipwell" "$track" >"$work/snipwell.log" 2>&1 &
app_pid=$!
engine=""
for _ in $(seq 1 50); do
  sleep 0.2
  kill -0 "$app_pid" 2>/dev/null || fail "snipwell ended by itself under Wayland"
  engine="$(pgrep -P "$app_pid" -f snipwell-media-engine || true)"
  [[ -n "$engine" ]] && break
done
[[ -n "$engine" ]] || fail "snipwell started no media engine for the file named at start"
sleep 2
kill -0 "$app_pid" 2>/dev/null || fail "snipwell ended while playing under Wayland"
# Only snipwell's own lines count: the web engine's GPU process may log a
# transient failure of its own on a compositor without a GPU.
if grep -qE '^snipwell: ' "$work/snipwell.log"; then fail "snipwell complained"; fi
echo "PASS: under Wayland the window plays, marks and saves, and snipwell FILE plays"
