#!/usr/bin/env bash
# CPU taken by the running program, seen from outside: 10 s idle after the
# window is up, then 10 s while it plays a track opened through the file
# dialog, as a person would. The playing figure counts only when the current
# time is seen moving all through those 10 s; otherwise the run is reported as
# failed and the script ends non-zero.
#
#   measure_cpu.sh <snipwell> <window_probe> [runs]
#
# Needs DISPLAY (an X server such as Xvfb), xdotool and sox; starts a private
# PulseAudio server when PULSE_SERVER is not set. Each run starts the program
# afresh. "program" is the snipwell process alone (its playback threads
# included); "all" adds the processes it started (the web panel's helpers).
set -euo pipefail

snipwell="$1"
probe="$2"
runs="${3:-3}"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../tests/e2e/lib.sh
source "$repo/tests/e2e/lib.sh"
e2e_begin

seconds=10
ticks_per_second="$(getconf CLK_TCK)"

# The program and every process it started.
family() {
  local pids=("$1") i=0 child
  while (( i < ${#pids[@]} )); do
    for child in $(pgrep -P "${pids[$i]}" 2>/dev/null || true); do pids+=("$child"); done
    i=$((i + 1))
  done
  echo "${pids[@]}"
}
# utime + stime, in clock ticks, of the given processes (threads included).
cpu_ticks() {
  local total=0 pid t
  for pid in "$@"; do
    t="$(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0)"
    total=$((total + ${t:-0}))
  done
  echo "$total"
}
percent() {  # ticks over $seconds
  awk -v d="$1" -v hz="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * d / hz / s }'
}
pss_mib() {
  local total=0 pid pss
  for pid in $(family "$1"); do
    pss="$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo 0)"
    total=$((total + ${pss:-0}))
  done
  echo $((total / 1024))
}

# Samples CPU over $seconds; with "playing", also looks at the current time
# field a little more than a second apart (it moves on once a second) and
# fails unless it moved between all but two of those looks.
measure() {  # mode -> "program% all%"
  local mode="$1" helpers program_before all_before program_after all_after
  # shellcheck disable=SC2207
  helpers=($(family "$app_pid"))
  program_before="$(cpu_ticks "$app_pid")"
  all_before="$(cpu_ticks "${helpers[@]}")"
  local changes=0 looks=0 seen now
  seen="$("$probe" digest "$window" 165 144 124 12)"
  local end=$(( $(date +%s%3N) + seconds * 1000 ))
  while (( $(date +%s%3N) < end )); do
    sleep 1
    if [[ "$mode" == playing ]]; then
      now="$("$probe" digest "$window" 165 144 124 12)"
      looks=$((looks + 1))
      if [[ "$now" != "$seen" ]]; then changes=$((changes + 1)); fi
      seen="$now"
    fi
  done
  program_after="$(cpu_ticks "$app_pid")"
  all_after="$(cpu_ticks "${helpers[@]}")"
  if [[ "$mode" == playing ]] && (( looks < 3 || changes < looks - 2 )); then
    echo "the current time moved between only $changes of $looks looks: not playing" >&2
    return 1
  fi
  echo "$(percent $((program_after - program_before))) $(percent $((all_after - all_before)))"
}

track="$work/bench.mp3"
sox -n -r 44100 -c 2 "$track" synth 60 sine 440 2>/dev/null || e2e_fail "sox made no MP3"

idle_program=() idle_all=() playing_program=() playing_all=()
for run in $(seq 1 "$runs"); do
  e2e_start_program "$snipwell"
  sleep 5  # start-up and the web panel's first load settle
  read -r p a <<<"$(measure idle)"
  idle_program+=("$p"); idle_all+=("$a")

  time_before="$("$probe" digest "$window" 165 144 124 12)"
  e2e_click 204 79  # Open
  e2e_type_into_dialog "$(e2e_wait_for_window '^Open$')" "$track"
  started=""
  for _ in $(seq 1 50); do
    sleep 0.2
    if [[ "$("$probe" digest "$window" 165 144 124 12)" != "$time_before" ]]; then started=1; break; fi
  done
  [[ -n "$started" ]] || e2e_fail "run $run: the opened track did not start playing"
  sleep 2
  result="$(measure playing)" || e2e_fail "run $run: playback stopped while measuring"
  read -r p a <<<"$result"
  playing_program+=("$p"); playing_all+=("$a")
  memory="$(pss_mib "$app_pid")"
  echo "run $run: idle ${idle_program[-1]} % (all ${idle_all[-1]} %), playing ${p} % (all ${a} %), memory while playing ${memory} MiB PSS (all)"

  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
done

range() { printf '%s\n' "$@" | sort -n | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%s–%s", lo, hi}'; }
echo "CPU while idle (${seconds} s), % of one core: program $(range "${idle_program[@]}"), all processes $(range "${idle_all[@]}")"
echo "CPU while playing (${seconds} s, playback seen moving), % of one core: program $(range "${playing_program[@]}"), all processes $(range "${playing_all[@]}")"
