# shellcheck shell=bash
# Steps the end-to-end scripts share: start the built program under the X
# server in DISPLAY, click its window, find the dialogs and message boxes it
# opens, and answer them with the keyboard, as a person would.
#
# Source it from a script running with `set -euo pipefail`, then:
#   e2e_begin                 checks the tools, makes $work (removed at exit)
#                             and starts a private PulseAudio server unless
#                             PULSE_SERVER names one already
#   e2e_start_program EXE [ARG...]
#                             starts EXE; sets app_pid and window (its id)
#   e2e_click X Y             clicks at a pixel of the window's client area
#   e2e_wait_for_window NAME  prints the id of a shown window of the program,
#                             other than the main window, whose title matches
#                             the extended regex NAME; fails after 10 s
#   e2e_windows_titled NAME   prints the ids of such windows shown now, if any
#   e2e_is_shown ID           whether that window is still on screen
#   e2e_type_into_dialog ID TEXT
#                             types TEXT into a file dialog and presses Return
#                             until the dialog closes; fails if it stays
#   e2e_fail MESSAGE          prints the program's output and MESSAGE, exits 1

work=""
app_pid=""
window=""
e2e__pulse_started=""
e2e__repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

e2e_fail() {
  if [[ -n "$work" && -s "$work/snipwell.log" ]]; then
    echo "--- the program's output:" >&2
    cat "$work/snipwell.log" >&2
  fi
  echo "FAIL: $*" >&2
  exit 1
}

e2e__cleanup() {
  if [[ -n "$app_pid" ]] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  if [[ -n "$e2e__pulse_started" ]]; then snipwell_pulse_stop; fi
  if [[ -n "$work" ]]; then rm -rf "$work"; fi
}

e2e_begin() {
  local tool
  for tool in xdotool sox; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
  done
  [[ -n "${DISPLAY-}" ]] || e2e_fail "no X server in DISPLAY"
  work="$(mktemp -d /tmp/snipwell-e2e.XXXXXX)"
  trap e2e__cleanup EXIT
  if [[ -z "${PULSE_SERVER-}" ]]; then
    # shellcheck source=../../scripts/lib/pulseaudio.sh
    source "$e2e__repo/scripts/lib/pulseaudio.sh"
    snipwell_pulse_start || e2e_fail "could not start PulseAudio"
    e2e__pulse_started=1
  fi
}

# xdotool gives up on the whole search when a window vanishes while it looks
# (an X error such as BadWindow, on stderr), which happens while the program
# starts and while dialogs come and go. Such a search is repeated; one that
# only found nothing is not.
e2e__search() {
  local found complaint="$work/xdotool.err"
  for _ in $(seq 1 20); do
    found="$(xdotool search --onlyvisible --pid "$app_pid" --name "$1" 2>"$complaint" || true)"
    if [[ ! -s "$complaint" ]]; then
      if [[ -n "$found" ]]; then echo "$found"; fi
      return 0
    fi
    sleep 0.05
  done
  e2e_fail "xdotool could not list the program's windows: $(cat "$complaint")"
}

e2e_start_program() {
  "$@" >"$work/snipwell.log" 2>&1 &
  app_pid=$!
  for _ in $(seq 1 300); do
    window="$(e2e__search '^Snipwell 3\.4$')"
    window="${window%%$'\n'*}"
    [[ -n "$window" ]] && return 0
    kill -0 "$app_pid" 2>/dev/null || e2e_fail "the program ended before its window appeared"
    sleep 0.1
  done
  e2e_fail "the window did not appear"
}

e2e_click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
}

e2e__shown_windows() {
  e2e__search '.'
}

e2e_is_shown() {
  local shown
  shown="$(e2e__shown_windows)"
  grep -qx "$1" <<<"$shown"
}

# Native helper windows of the process carry the bare program name "Snipwell";
# a title must match NAME to count.
e2e_windows_titled() {
  local name="$1" candidate title
  for candidate in $(e2e__shown_windows); do
    [[ "$candidate" == "$window" ]] && continue
    title="$(xdotool getwindowname "$candidate" 2>/dev/null || true)"
    if [[ "$title" != "Snipwell" && "$title" =~ $name ]]; then echo "$candidate"; fi
  done
  return 0
}

e2e_wait_for_window() {
  local found
  for _ in $(seq 1 100); do
    found="$(e2e_windows_titled "$1")"
    if [[ -n "$found" ]]; then
      echo "${found%%$'\n'*}"
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "no window titled /$1/ appeared"
}

e2e_type_into_dialog() {
  local dialog="$1" text="$2"
  xdotool windowfocus --sync "$dialog"
  sleep 0.3
  xdotool type --delay 2 "$text"
  sleep 0.3
  # The first Return may only take the completer's suggestion.
  for _ in 1 2; do
    xdotool key Return
    sleep 1
    e2e_is_shown "$dialog" || return 0
  done
  e2e_fail "the file dialog \"$(xdotool getwindowname "$dialog" 2>/dev/null || true)\" stayed open"
}
