#!/usr/bin/env bash
# First paint of the window against a bare Qt Widgets window of the same size,
# measured in the same run, alternating, each started afresh by
# first_paint_probe; plus the moment the web panel shows its page.
#
#   measure_first_paint.sh <snipwell> <bare_window> <first_paint_probe> [runs]
#
# Needs DISPLAY (an X server such as Xvfb). Prints figures, asserts nothing.
set -euo pipefail

snipwell="$1"
bare="$2"
probe="$3"
runs="${4:-7}"

# The banner text (qvl) in both windows; the web panel's place in Snipwell.
banner=(65 10 185 17)
web_panel=(0 251 305 92)

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
value() { awk -v key="$1" '$1 == key {print $2}'; }

bare_paint=() snipwell_paint=() web_paint=() ratios=()
for run in $(seq 0 "$runs"); do
  b="$("$probe" 'Bare 3.4' "${banner[@]}" -- "$bare" 2>/dev/null | value painted)" || true
  out="$("$probe" 'Snipwell 3.4' "${banner[@]}" "${web_panel[@]}" -- "$snipwell" 2>/dev/null)" || true
  s="$(value painted <<<"$out")"
  w="$(value second <<<"$out")"
  (( run == 0 )) && continue  # the first run only warms the page cache
  if [[ -z "$b" || -z "$s" || -z "$w" ]]; then
    echo "run $run: a probe saw nothing (the X server refused or a window never showed); left out"
    continue
  fi
  bare_paint+=("$b") snipwell_paint+=("$s") web_paint+=("$w")
  ratios+=("$(awk -v s="$s" -v b="$b" 'BEGIN {printf "%.2f", s / b}')")
  echo "run $run: bare ${b} ms, snipwell ${s} ms (${ratios[-1]}x), web page painted at ${w} ms"
done
bm="$(printf '%s\n' "${bare_paint[@]}" | median)"
sm="$(printf '%s\n' "${snipwell_paint[@]}" | median)"
wm="$(printf '%s\n' "${web_paint[@]}" | median)"
rm="$(printf '%s\n' "${ratios[@]}" | median)"
echo "first paint, median of $runs: snipwell ${sm} ms, bare window ${bm} ms; median ratio ${rm}x"
echo "web page painted in the panel, median: ${wm} ms after the start"

# Closing the window as soon as it has painted, while the web panel starts.
ends=()
for run in $(seq 1 "$runs"); do
  out="$("$probe" --close 0 'Snipwell 3.4' "${banner[@]}" -- "$snipwell" 2>/dev/null)" || continue
  ends+=("$(( $(value ended <<<"$out") - $(value closed <<<"$out") ))")
done
if (( ${#ends[@]} > 0 )); then
  echo "closed right after the first paint: the program ended $(printf '%s\n' "${ends[@]}" | median) ms after the close (median of ${#ends[@]}; each: ${ends[*]})"
fi
