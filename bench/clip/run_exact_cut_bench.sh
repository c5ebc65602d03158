#!/bin/bash
# snipwell-cut --exact against the default byte-range cut of the same range,
# in the same run:
#   bench/clip/run_exact_cut_bench.sh BUILD_DIR [OUT.md]
# Makes a ~220 MB MP3 in /tmp (removed afterwards) and cuts the same 200 MB
# selection both ways, alternating, median of RUNS (default 7) each, warm cache; peak memory also for
# a 20 MB selection, to show that it does not grow with the clip. The exact
# clip's length is then read back through the media service.
set -euo pipefail
build=$(realpath "${1:?usage: run_exact_cut_bench.sh BUILD_DIR [OUT.md]}")
out=${2:-/dev/stdout}
work=$(mktemp -d /tmp/snipwell-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/bench_lib.sh"
src=$(make_big_mp3 "$work")
size=$(stat -c %s "$src")

timed() { /usr/bin/time -f "%e %M" -o "$work/time" "$@" > /dev/null 2>&1; cat "$work/time"; }
cut_run() {  # MODE BEGIN_MS END_MS TARGET -> "seconds peak_kib"
  local mode=$1; shift
  if [ "$mode" = exact ]; then
    timed "$build/snipwell-cut" --force --exact "$src" "$1" "$2" "$3" < /dev/null
  else
    timed "$build/snipwell-cut" --force "$src" "$1" "$2" "$3" < /dev/null
  fi
}

# 200 MB of the file's 128 kbit/s stream is 12,500,000 ms.
begin_ms=500000
end_ms=$((begin_ms + 12500000))
small_end_ms=$((begin_ms + 1250000))

cut_run plain $begin_ms $end_ms "$work/plain.mp3" > /dev/null  # warm the cache
cut_run exact $begin_ms $end_ms "$work/exact.mp3" > /dev/null

declare -a plain_t plain_m exact_t exact_m small_m
runs=${RUNS:-7}
for _ in $(seq "$runs"); do
  read -r t m < <(cut_run plain $begin_ms $end_ms "$work/plain.mp3"); plain_t+=("$t"); plain_m+=("$m")
  read -r t m < <(cut_run exact $begin_ms $end_ms "$work/exact.mp3"); exact_t+=("$t"); exact_m+=("$m")
  read -r t m < <(cut_run exact $begin_ms $small_end_ms "$work/small.mp3"); small_m+=("$m")
done

length_ms=$("$build/snipwell-mci" <<< $'open "'"$work/exact.mp3"$'" type mpegvideo alias movie\nset movie time format milliseconds\nstatus movie length' 2>/dev/null | tail -1 | awk '{print $NF}')

m() { printf '%s\n' "$@" | median; }
plain=$(m "${plain_t[@]}"); exact=$(m "${exact_t[@]}")
{
  echo "### Exact cut ($(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME"), $(date -u +%Y-%m-%d))"
  echo
  echo "The same 12,500 s selection (about 200 MB) of a $((size / 1000000)) MB MP3, warm cache, the two alternating, median of $runs."
  echo
  echo "| snipwell-cut | seconds | clip bytes | peak memory |"
  echo "|---|---|---|---|"
  echo "| default (byte range, length included) | $plain | $(stat -c %s "$work/plain.mp3") | $(m "${plain_m[@]}") KiB |"
  echo "| --exact | $exact | $(stat -c %s "$work/exact.mp3") | $(m "${exact_m[@]}") KiB |"
  echo
  echo "--exact takes $(python3 -c "print(f'{$exact/$plain:.2f}')")× the default's time."
  echo "--exact peak memory for a 20 MB selection: $(m "${small_m[@]}") KiB (200 MB: $(m "${exact_m[@]}") KiB)."
  echo "The media service measures the exact clip at $length_ms ms (asked for 12500000)."
} > "$out"
