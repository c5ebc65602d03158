#!/bin/bash
# The decode behind the silence split against a bare decode, in one run:
#   bench/level/run_levels_bench.sh BUILD_DIR [OUT.md]
# Makes a 2-hour VBR MP3 in /tmp (removed afterwards): one minute of tones
# and noise with gaps, encoded with lame -V 2 and repeated. Times, warm
# cache, alternated, median of 3: the window levels over the whole file in
# one process, the same over its two halves in two processes at once (as
# the split will run them), and `mpg123 -t` (decode to PCM, nothing played)
# as the reference.
set -euo pipefail
build=$(realpath "${1:?usage: run_levels_bench.sh BUILD_DIR [OUT.md]}")
out=${2:-/dev/stdout}
command -v mpg123 > /dev/null || { echo "mpg123 is not installed (apt-get install mpg123)" >&2; exit 1; }
work=$(mktemp -d /tmp/snipwell-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../clip/bench_lib.sh"
bench="$build/bench/bin/window_levels_bench"

sox -q -n -r 44100 -c 2 -b 16 "$work/part.wav" synth 14 sine 300-900 synth 14 pinknoise mix vol 0.4
sox -q -n -r 44100 -c 2 -b 16 "$work/gap.wav" trim 0 1
sox -q "$work/part.wav" "$work/gap.wav" "$work/part.wav" "$work/gap.wav" \
  "$work/part.wav" "$work/gap.wav" "$work/part.wav" "$work/gap.wav" "$work/minute.wav"
lame -t --quiet -V 2 "$work/minute.wav" "$work/minute.mp3"
for _ in $(seq 120); do cat "$work/minute.mp3"; done > "$work/show.mp3"
src="$work/show.mp3"
size=$(stat -c %s "$src")
half=$((size / 2))

timed() { /usr/bin/time -f "%e %M" -o "$work/time" "$@" > /dev/null 2>&1; cat "$work/time"; }
whole() { timed "$bench" "$src"; }
halves() { timed bash -c "'$bench' '$src' 0 $half & '$bench' '$src' $half $((size - half)) & wait"; }
reference() { timed mpg123 -q -t "$src"; }

whole > /dev/null  # warm the cache
declare -a whole_t whole_m halves_t ref_t
for _ in 1 2 3; do
  read -r t m < <(whole); whole_t+=("$t"); whole_m+=("$m")
  read -r t _ < <(halves); halves_t+=("$t")
  read -r t _ < <(reference); ref_t+=("$t")
done
m() { printf '%s\n' "$@" | median; }
whole_s=$(m "${whole_t[@]}"); halves_s=$(m "${halves_t[@]}"); ref_s=$(m "${ref_t[@]}")
ratio() { python3 -c "print(f'{$1/$2:.2f}')"; }
{
  echo "### Window levels of a 2-hour file ($(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg), $(date -u +%Y-%m-%d))"
  echo
  echo "A $((size / 1000000)) MB VBR MP3 (lame -V 2, 120 min), 10 ms windows, warm cache, alternated, median of 3."
  echo
  echo "| what | seconds | × reference |"
  echo "|---|---|---|"
  echo "| window levels, whole file, one process (peak memory $(m "${whole_m[@]}") KiB) | $whole_s | $(ratio "$whole_s" "$ref_s") |"
  echo "| window levels, two halves in two processes at once | $halves_s | $(ratio "$halves_s" "$ref_s") |"
  echo "| reference: mpg123 -t (decode to PCM, one core) | $ref_s | 1.00 |"
} > "$out"
