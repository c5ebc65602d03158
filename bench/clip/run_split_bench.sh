#!/bin/bash
# The exact split of a whole file against mp3splt -c, in the same run:
#   bench/clip/run_split_bench.sh BUILD_DIR [OUT.md]
# Makes a ~220 MB MP3 in /tmp (removed afterwards) and a 20-track cue sheet
# over it, then splits it with snipwell-cut --cue (exact, gapless, each track
# synced) and with mp3splt -c (which syncs nothing), median of 5 runs each,
# warm cache, the disk synced before each run. The reference is a durable copy of the same file (dd with
# fsync): what writing that many bytes to the disk costs on its own.
set -euo pipefail
build=$(realpath "${1:?usage: run_split_bench.sh BUILD_DIR [OUT.md]}")
out=${2:-/dev/stdout}
command -v mp3splt > /dev/null || { echo "mp3splt is not installed (apt-get install mp3splt)" >&2; exit 1; }
work=$(mktemp -d /tmp/snipwell-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/bench_lib.sh"
src=$(make_big_mp3 "$work")
size=$(stat -c %s "$src")

# 20 tracks of 690 s (the file plays 230 minutes), at odd 75ths of a second.
{
  echo 'PERFORMER "Bench"'
  echo 'TITLE "Long Tone"'
  echo "FILE \"$(basename "$src")\" MP3"
  for n in $(seq 1 20); do
    start=$(((n - 1) * 690))
    printf '  TRACK %02d AUDIO\n    TITLE "Part %d"\n    INDEX 01 %02d:%02d:%02d\n' \
      "$n" "$n" $((start / 60)) $((start % 60)) $(( n == 1 ? 0 : (n * 7) % 75 ))
  done
} > "$work/album.cue"

# Each run starts with nothing left to write back: mp3splt leaves 220 MB
# unsynced, which would otherwise land in the next run's syncs.
timed() { sync; /usr/bin/time -f "%e %M" -o "$work/time" "$@" > /dev/null 2>&1; cat "$work/time"; }
ours() { rm -rf "$work/ours"; timed "$build/snipwell-cut" --quiet --cue "$work/album.cue" "$src" "$work/ours" < /dev/null; }
theirs() { rm -rf "$work/theirs"; mkdir "$work/theirs"; timed mp3splt -q -c "$work/album.cue" -d "$work/theirs" "$src"; }
durable_copy() { rm -f "$work/copy.mp3"; timed dd if="$src" of="$work/copy.mp3" bs=1M conv=fsync status=none; }

ours > /dev/null  # warm the cache
theirs > /dev/null

declare -a ours_t ours_m theirs_t theirs_m copy_t
for _ in 1 2 3 4 5; do
  read -r t m < <(ours); ours_t+=("$t"); ours_m+=("$m")
  read -r t m < <(theirs); theirs_t+=("$t"); theirs_m+=("$m")
  read -r t _ < <(durable_copy); copy_t+=("$t")
done

m() { printf '%s\n' "$@" | median; }
ours_s=$(m "${ours_t[@]}"); theirs_s=$(m "${theirs_t[@]}"); copy_s=$(m "${copy_t[@]}")
{
  echo "### Split into 20 tracks ($(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME"), $(date -u +%Y-%m-%d))"
  echo
  echo "A $((size / 1000000)) MB MP3 (230 min, 128 kbit/s) split by a 20-track cue sheet, warm cache, disk synced before each run, median of 5."
  echo
  echo "| program | seconds | tracks | bytes written | peak memory |"
  echo "|---|---|---|---|---|"
  echo "| snipwell-cut --cue (exact, gapless, tagged, each track synced) | $ours_s | $(ls "$work/ours" | wc -l) | $(cat "$work/ours"/*.mp3 | wc -c) | $(m "${ours_m[@]}") KiB |"
  echo "| mp3splt -c (nothing synced) | $theirs_s | $(ls "$work/theirs" | wc -l) | $(cat "$work/theirs"/*.mp3 | wc -c) | $(m "${theirs_m[@]}") KiB |"
  echo "| reference: dd of the whole file with fsync | $copy_s | 1 | $size | |"
  echo
  echo "snipwell-cut takes $(python3 -c "print(f'{$ours_s/$theirs_s:.2f}')")× mp3splt's time and $(python3 -c "print(f'{$ours_s/$copy_s:.2f}')")× the durable copy's."
} > "$out"
