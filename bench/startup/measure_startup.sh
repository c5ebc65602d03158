#!/usr/bin/env bash
# Measures the program as a person meets it: how long until the window is
# painted, and how much memory all its processes hold (the web panel's
# included). CPU idle and playing: measure_cpu.sh.
#
#   measure_startup.sh <snipwell> <window_probe> [runs]
#
# Needs DISPLAY (an X server such as Xvfb) and xdotool; starts a private
# PulseAudio server when PULSE_SERVER is not set. Prints figures, asserts nothing.
set -euo pipefail

snipwell="$1"
probe="$2"
runs="${3:-5}"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d /tmp/snipwell-bench.XXXXXX)"
app_pid=""
pulse_started=""
cleanup() {
  if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  if [[ -n "$pulse_started" ]]; then snipwell_pulse_stop; fi
  rm -rf "$work"
}
trap cleanup EXIT
if [[ -z "${PULSE_SERVER-}" ]]; then
  # shellcheck source=../../scripts/lib/pulseaudio.sh
  source "$repo/scripts/lib/pulseaudio.sh"
  snipwell_pulse_start
  pulse_started=1
fi

now_ms() { date +%s%3N; }

# The program and every process it started (the web engine's helpers).
family() {
  local pids=("$1") i=0
  while (( i < ${#pids[@]} )); do
    for child in $(pgrep -P "${pids[$i]}" 2>/dev/null); do pids+=("$child"); done
    i=$((i + 1))
  done
  echo "${pids[@]}"
}
# Proportional set size in KiB, summed: shared pages counted once overall.
family_pss_kib() {
  local total=0
  for pid in $(family "$1"); do
    local pss
    pss="$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo 0)"
    total=$((total + ${pss:-0}))
  done
  echo "$total"
}
start_program() {
  "$snipwell" >"$work/snipwell.log" 2>&1 &
  app_pid=$!
}
stop_program() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

# First paint: the banner's text is drawn, seen from outside the process.
banner_when_painted=""
startups=()
for run in $(seq 1 "$runs"); do
  start="$(now_ms)"
  start_program
  window="$(timeout 30 xdotool search --sync --onlyvisible --pid "$app_pid" --name '^Snipwell 3\.4$' | head -n1)"
  if [[ -z "$banner_when_painted" ]]; then
    sleep 3
    banner_when_painted="$("$probe" digest "$window" 65 10 185 17)"
  else
    for _ in $(seq 1 300); do
      [[ "$("$probe" digest "$window" 65 10 185 17)" == "$banner_when_painted" ]] && break
    done
  fi
  elapsed=$(( $(now_ms) - start ))
  (( run > 1 )) && startups+=("$elapsed")  # the first run only learns what painted looks like
  if (( run == runs )); then break; fi
  stop_program
done
sorted="$(printf '%s\n' "${startups[@]}" | sort -n)"
median="$(printf '%s\n' "$sorted" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')"
echo "start-up to first paint: median ${median} ms over ${#startups[@]} runs (each: $(echo $sorted | tr '\n' ' '))"

sleep 5
echo "memory after 5 s idle, all processes: $(( $(family_pss_kib "$app_pid") / 1024 )) MiB PSS in $(family "$app_pid" | wc -w) processes"
# CPU while idle and while playing: measure_cpu.sh, which makes sure the track
# really plays while it measures.
