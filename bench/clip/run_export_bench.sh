#!/bin/bash
# Export throughput against dd copying the same byte range, in the same run:
#   bench/clip/run_export_bench.sh BUILD_DIR [OUT.md] [BASELINE_BUILD_DIR]
# Makes a ~220 MB MP3 in /tmp (removed afterwards), cuts a 200 MB selection
# with snipwell-cut and with the window's Save (headless), and copies the
# same bytes with dd bs=4096, with and without conv=fsync (a saved clip is
# synced before it takes its name). Median of 5 runs each, warm cache.
# BASELINE_BUILD_DIR, if given, is an earlier build (its snipwell-cut and
# bench/bin/window_save_bench) timed in the same runs, for a before/after;
# an earlier rule may place the clip a little differently, so only its time
# is compared.
set -euo pipefail
build=$(realpath "${1:?usage: run_export_bench.sh BUILD_DIR [OUT.md] [BASELINE_BUILD_DIR]}")
out=${2:-/dev/stdout}
base=${3:+$(realpath "$3")}
runs=5
work=$(mktemp -d /tmp/snipwell-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/bench_lib.sh"
src=$(make_big_mp3 "$work")
size=$(stat -c %s "$src")

# "seconds peak_kib": wall time to the millisecond, peak memory from time(1).
timed() {
  local start=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/time" "$@" > /dev/null
  awk -v s="$start" -v e="$EPOCHREALTIME" -v m="$(cat "$work/time")" 'BEGIN { printf "%.3f %s\n", e - s, m }'
}

cut_run() {  # PROGRAM BEGIN_MS END_MS TARGET -> "seconds peak_kib"
  timed "$1" --force "$src" "$2" "$3" "$4" < /dev/null
}

# The length as the media service reports it (snipwell-cut's frame scan gives
# the same number), for the window's Save and dd.
length_ms=$("$build/snipwell-mci" <<< $'open "'"$src"$'" type mpegvideo alias movie\nset movie time format milliseconds\nstatus movie length' 2>/dev/null | tail -1 | awk '{print $NF}')
bytes_per_ms=$(python3 -c "print(round($size/$length_ms))")
begin_ms=500000
end_ms=$((begin_ms + 200000000 / bytes_per_ms))

cut_run "$build/snipwell-cut" $begin_ms $end_ms "$work/cut.mp3" > /dev/null  # warm the cache
clip_bytes=$(stat -c %s "$work/cut.mp3")
# Where the clip's bytes stand in the source (1-based), near where one rate
# puts the begin mark, so dd copies the very same bytes.
begin_offset=$(python3 -c "
import sys
source, clip = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read(1 << 16)
guess = $bytes_per_ms * $begin_ms
print(source.find(clip, max(0, guess - 100000), guess + 100000) + 1)" "$src" "$work/cut.mp3")
(( begin_offset > 0 )) || { echo "the clip is not a piece of the source" >&2; exit 1; }

dd_copy() {  # extra dd options...
  timed dd if="$src" of="$work/dd.mp3" bs=4096 iflag=skip_bytes,count_bytes \
    skip=$((begin_offset - 1)) count="$clip_bytes" status=none "$@"
}

declare -a cut_t cut_m win_t win_m dd_t dd_m ddsync_t small_m tiny_t oldcut_t oldwin_t
for _ in $(seq $runs); do
  read -r t m < <(cut_run "$build/snipwell-cut" $begin_ms $end_ms "$work/cut.mp3"); cut_t+=("$t"); cut_m+=("$m")
  read -r t m < <(timed "$build/bench/bin/window_save_bench" "$src" "$length_ms" $begin_ms $end_ms "$work/win.mp3"); win_t+=("$t"); win_m+=("$m")
  read -r t m < <(dd_copy); dd_t+=("$t"); dd_m+=("$m")
  read -r t _ < <(dd_copy conv=fsync); ddsync_t+=("$t")
  read -r _ m < <(cut_run "$build/snipwell-cut" $begin_ms $((begin_ms + 20000000 / bytes_per_ms)) "$work/small.mp3"); small_m+=("$m")
  read -r t _ < <(cut_run "$build/snipwell-cut" $begin_ms $((begin_ms + 1)) "$work/tiny.mp3"); tiny_t+=("$t")
  if [[ -n "$base" ]]; then
    read -r t _ < <(cut_run "$base/snipwell-cut" $begin_ms $end_ms "$work/oldcut.mp3"); oldcut_t+=("$t")
    read -r t _ < <(timed "$base/bench/bin/window_save_bench" "$src" "$length_ms" $begin_ms $end_ms "$work/oldwin.mp3"); oldwin_t+=("$t")
  fi
done
cmp "$work/cut.mp3" "$work/win.mp3" || { echo "snipwell-cut and the window's Save differ" >&2; exit 1; }
cmp "$work/cut.mp3" "$work/dd.mp3" || { echo "clip differs from dd" >&2; exit 1; }

m() { printf '%s\n' "$@" | median; }
ratio() { python3 -c "print(f'{$1/$2:.2f}')"; }
cut=$(m "${cut_t[@]}"); win=$(m "${win_t[@]}"); dd=$(m "${dd_t[@]}"); ddsync=$(m "${ddsync_t[@]}")
mb=$(python3 -c "print(f'{$clip_bytes/1e6:.1f}')")
{
  echo "### Clip export ($(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME"), $(date -u +%Y-%m-%d), load $(cut -d' ' -f1 /proc/loadavg))"
  echo
  echo "Selection of $mb MB from a $((size / 1000000)) MB MP3 ($length_ms ms), warm cache, median of $runs."
  echo "Ratio = dd's time / the tool's time (higher is faster; 1.00 is dd's speed)."
  echo
  echo "| copy | seconds | vs dd bs=4096 | vs dd bs=4096 conv=fsync | peak memory |"
  echo "|---|---|---|---|---|"
  echo "| dd bs=4096 | $dd | 1.00 | | $(m "${dd_m[@]}") KiB |"
  echo "| dd bs=4096 conv=fsync | $ddsync | | 1.00 | |"
  echo "| snipwell-cut (length included) | $cut | $(ratio "$dd" "$cut")× | $(ratio "$ddsync" "$cut")× | $(m "${cut_m[@]}") KiB |"
  echo "| window's Save (headless) | $win | $(ratio "$dd" "$win")× | $(ratio "$ddsync" "$win")× | $(m "${win_m[@]}") KiB |"
  if [[ -n "$base" ]]; then
    oldcut=$(m "${oldcut_t[@]}"); oldwin=$(m "${oldwin_t[@]}")
    echo "| baseline snipwell-cut | $oldcut | $(ratio "$dd" "$oldcut")× | $(ratio "$ddsync" "$oldcut")× | |"
    echo "| baseline window's Save | $oldwin | $(ratio "$dd" "$oldwin")× | $(ratio "$ddsync" "$oldwin")× | |"
  fi
  echo
  echo "snipwell-cut peak memory for a 20 MB selection: $(m "${small_m[@]}") KiB (200 MB: $(m "${cut_m[@]}") KiB)."
  echo "snipwell-cut for a 1 ms selection (start-up and the frame scan of the whole file): $(m "${tiny_t[@]}") s."
} > "$out"
