#!/bin/bash
# The silence split's detection against other programs, in one run:
#   bench/level/run_levels_bench.sh BUILD_DIR [OUT.md]
# Makes a 2-hour VBR MP3 in /tmp (removed afterwards): one minute of tones
# and noise with 1 s gaps, encoded with lame -V 2 and repeated. Times, warm
# cache, alternated, median of 3:
#   - the window levels of the whole file and the split points at its
#     silences through the level probe's client, two probes at once
#     (level_scan_bench), and the same with one probe;
#   - the window levels in one process without the client (window_levels_bench);
#   - the whole split at the silences, detection and writing the tracks
#     (snipwell-cut --silence), its tracks deleted after each run;
#   - mpg123 -t (decode to PCM, nothing played);
#   - mp3splt -s (finds the silences and writes the tracks), when it is
#     installed or apt-get can install it; its mp3splt.log, which a later
#     run would read instead of looking again, and its tracks are deleted
#     after each run;
#   - dd of the file to /dev/null as the reference for reading it.
set -euo pipefail
build=$(realpath "${1:?usage: run_levels_bench.sh BUILD_DIR [OUT.md]}")
out=${2:-/dev/stdout}
command -v mpg123 > /dev/null || { echo "mpg123 is not installed (apt-get install mpg123)" >&2; exit 1; }
if ! command -v mp3splt > /dev/null; then
  apt-get install -y mp3splt > /dev/null 2>&1 || sudo -n apt-get install -y mp3splt > /dev/null 2>&1 || true
fi
work=$(mktemp -d /tmp/snipwell-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../clip/bench_lib.sh"
scan="$build/bench/bin/level_scan_bench"
levels="$build/bench/bin/window_levels_bench"

sox -q -n -r 44100 -c 2 -b 16 "$work/part.wav" synth 14 sine 300-900 synth 14 pinknoise mix vol 0.4
sox -q -n -r 44100 -c 2 -b 16 "$work/gap.wav" trim 0 1
sox -q "$work/part.wav" "$work/gap.wav" "$work/part.wav" "$work/gap.wav" \
  "$work/part.wav" "$work/gap.wav" "$work/part.wav" "$work/gap.wav" "$work/minute.wav"
lame -t --quiet -V 2 "$work/minute.wav" "$work/minute.mp3"
for _ in $(seq 120); do cat "$work/minute.mp3"; done > "$work/show.mp3"
src="$work/show.mp3"
size=$(stat -c %s "$src")

# Seconds, peak memory (KiB, of the largest process) and CPU seconds (all
# its processes) of one run.
timed() {
  /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" > "$work/said" 2>&1
  read -r e m u s < "$work/time"
  echo "$e $m $(python3 -c "print(f'{$u+$s:.2f}')")"
}
both() { timed "$scan" "$src"; }
one() { timed "$scan" --one-core "$src"; }
bare() { timed "$levels" "$src"; }
decode() { timed mpg123 -q -t "$src"; }
splt() {
  rm -rf "$work/tracks" "$work/mp3splt.log"; mkdir "$work/tracks"
  (cd "$work" && timed mp3splt -q -s -d "$work/tracks" "$src")
  ls "$work/tracks" | wc -l > "$work/splt-tracks"
  rm -rf "$work/tracks" "$work/mp3splt.log"
}
whole() {
  rm -rf "$work/cut-tracks"
  timed "$build/snipwell-cut" --silence --quiet "$src" "$work/cut-tracks"
  ls "$work/cut-tracks" | wc -l > "$work/cut-count"
  rm -rf "$work/cut-tracks"
}
reference() { timed dd if="$src" of=/dev/null bs=1M; }
have_splt=false
command -v mp3splt > /dev/null && have_splt=true

both > /dev/null  # warm the cache
splits=$(cat "$work/said")
declare -a both_t both_m both_c one_t one_c bare_t bare_c whole_t whole_c decode_t decode_c splt_t splt_c ref_t ref_c
for _ in 1 2 3; do
  read -r t m c < <(both); both_t+=("$t"); both_m+=("$m"); both_c+=("$c")
  read -r t _ c < <(one); one_t+=("$t"); one_c+=("$c")
  read -r t _ c < <(bare); bare_t+=("$t"); bare_c+=("$c")
  read -r t _ c < <(whole); whole_t+=("$t"); whole_c+=("$c")
  read -r t _ c < <(decode); decode_t+=("$t"); decode_c+=("$c")
  if $have_splt; then read -r t _ c < <(splt); splt_t+=("$t"); splt_c+=("$c"); fi
  read -r t _ c < <(reference); ref_t+=("$t"); ref_c+=("$c")
done
m() { printf '%s\n' "$@" | median; }
ratio() { python3 -c "print(f'{$1/$2:.2f}')"; }
decode_s=$(m "${decode_t[@]}")
row() { echo "| $1 | $2 | $(ratio "$2" "$decode_s") | $3 |"; }
{
  echo "### Silence detection on a 2-hour file ($(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg), $(date -u +%Y-%m-%d))"
  echo
  echo "A $((size / 1000000)) MB VBR MP3 (lame -V 2, 120 min, 480 gaps of 1 s), 10 ms windows, warm cache, alternated, median of 3."
  echo
  echo "| what | seconds | × mpg123 -t | CPU seconds |"
  echo "|---|---|---|---|"
  row "window levels through the client, two probes at once, and the silence splits ($splits; peak memory $(m "${both_m[@]}") KiB)" "$(m "${both_t[@]}")" "$(m "${both_c[@]}")"
  row "the same with one probe" "$(m "${one_t[@]}")" "$(m "${one_c[@]}")"
  row "window levels in one process, no client" "$(m "${bare_t[@]}")" "$(m "${bare_c[@]}")"
  row "snipwell-cut --silence: detection and writing $(cat "$work/cut-count") tracks" "$(m "${whole_t[@]}")" "$(m "${whole_c[@]}")"
  row "mpg123 -t (decode to PCM, one core)" "$decode_s" "$(m "${decode_c[@]}")"
  if $have_splt; then
    row "mp3splt -s (silence detection and writing $(cat "$work/splt-tracks") tracks)" "$(m "${splt_t[@]}")" "$(m "${splt_c[@]}")"
  else
    echo "| mp3splt -s | not installed | | |"
  fi
  row "reference: dd of the file to /dev/null" "$(m "${ref_t[@]}")" "$(m "${ref_c[@]}")"
} > "$out"
