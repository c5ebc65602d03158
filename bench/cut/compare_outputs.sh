#!/bin/bash
# Runs the same clips and splits with two builds of snipwell-cut and compares
# everything they leave: every output file byte for byte, standard output,
# standard error and the exit status. For a change that must not change what
# a person sees:
#   bench/cut/compare_outputs.sh OLD_BUILD_DIR NEW_BUILD_DIR
# Exits 0 when every case agrees, 1 (naming the cases) when one does not.
# The fixtures are made with sox and lame in a scratch folder, removed after.
set -euo pipefail
old=$(realpath "${1:?usage: compare_outputs.sh OLD_BUILD_DIR NEW_BUILD_DIR}")
new=$(realpath "${2:?usage: compare_outputs.sh OLD_BUILD_DIR NEW_BUILD_DIR}")
for build in "$old" "$new"; do
  for program in snipwell-cut snipwell-level-probe; do
    [ -x "$build/$program" ] || { echo "no $build/$program" >&2; exit 2; }
  done
done
work=$(mktemp -d /tmp/snipwell-compare-XXXXXX)
trap 'rm -rf "$work"' EXIT

# Fixtures: two tones (the second louder), as CBR with and without an info
# frame, VBR, VBR with tags and a cover picture, MPEG-2 mono, and a longer
# one whose progress bar moves.
fixtures=$work/fixtures
mkdir -p "$fixtures"
(
  cd "$fixtures"
  sox -q -n -r 44100 -c 2 -b 16 low.wav synth 6 sine 440 vol 0.3
  sox -q -n -r 44100 -c 2 -b 16 high.wav synth 6 sine 880 vol 0.6
  sox -q low.wav high.wav tones.wav
  sox -q -n -r 44100 -c 2 -b 16 long.wav synth 90 sine 330 vol 0.5
  python3 - <<'EOF'
import struct, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
raw = b"".join(b"\0" + bytes(c for x in range(32) for c in (x * 8, y * 8, 128)) for y in range(32))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 32, 32, 8, 2, 0, 0, 0)) \
    + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
open("cover.png", "wb").write(png)
EOF
  lame --quiet -b 128 tones.wav cbr.mp3
  lame --quiet -t -b 128 tones.wav cbr_noinfo.mp3
  lame --quiet -V 2 tones.wav vbr.mp3
  lame --quiet -V 4 --ti cover.png --tt "Two Tones" --ta "Tester" --tl "Album" --ty 2024 \
    --tg Rock --add-id3v2 tones.wav vbr_cover.mp3
  lame --quiet -m m --resample 22.05 -V 5 tones.wav mono22.mp3
  lame --quiet -b 320 long.wav long.mp3
  printf 'PERFORMER "Tones"\r\nTITLE "Two Tones"\r\nFILE "x.mp3" MP3\r\n  TRACK 01 AUDIO\r\n    TITLE "Low"\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE "High"\r\n    INDEX 00 00:05:50\r\n    INDEX 01 00:06:00\r\n' > album.cue
  printf '0.5\t4.25\tFirst\n6\t6\tPoint\n9.5\t11\tLast\n' > labels.txt
  rm -f ./*.wav
)

clip_sources=(cbr cbr_noinfo vbr vbr_cover mono22)
gains=("" "--gain 3" "--gain -4.5" "--gain max" "--gain 9 --no-clip" "--fade-in 1 --fade-out 2" "--gain 3 --fade-in 0.5")
ranges=("0 3.5" "1.234 7.5" "2.5 12.0" "0 12.0" "5.0 99.0" "3.0 2.0" "100 2500")
splits=("--at 2.0,5.5" "--every 4.0" "--cue $fixtures/album.cue" "--labels $fixtures/labels.txt"
        "--at 3.0 --name {nn}-{title}" "--cue $fixtures/album.cue --write-cue again.cue")

cases=()
for source in "${clip_sources[@]}"; do
  for mode in "" "--exact"; do
    for gain in "${gains[@]}"; do
      for range in "${ranges[@]}"; do
        cases+=("$mode $gain $fixtures/$source.mp3 $range clip.mp3")
      done
    done
    for split in "${splits[@]}"; do
      for gain in "" "--gain 3" "--gain max" "--fade-in 1 --fade-out 1.5"; do
        split_mode=${mode/--exact/}
        [ -z "$mode" ] && split_mode=--bytes
        cases+=("$split_mode $split $gain $fixtures/$source.mp3 tracks")
      done
    done
  done
done
cases+=("--exact --gain 3 $fixtures/vbr_cover.mp3 0 3.5 $fixtures/vbr_cover.mp3")
cases+=("--dry-run --cue $fixtures/album.cue $fixtures/vbr.mp3 tracks")

# Runs case $2 with build $1 in folder $3: its files, out, err and status.
run_case() {
  local build=$1 words=$2 folder=$3
  mkdir -p "$folder"
  # shellcheck disable=SC2086
  (cd "$folder" && "$build/snipwell-cut" --force $words > ../out 2> ../err < /dev/null; echo $? > ../status) || true
}
# The same on a terminal, so the progress bar is drawn: what the terminal
# shows, both streams in the order they came.
run_case_on_terminal() {
  local build=$1 words=$2 folder=$3
  mkdir -p "$folder"
  (cd "$folder" && script -qec "$build/snipwell-cut --force $words" /dev/null > ../out < /dev/null; echo $? > ../status) || true
}

failed=0
compare() {  # NAME RUNNER WORDS
  local name=$1 runner=$2 words=$3
  rm -rf "$work/old" "$work/new"
  mkdir -p "$work/old" "$work/new"
  SNIPWELL_LEVEL_PROBE=$old/snipwell-level-probe "$runner" "$old" "$words" "$work/old/files"
  SNIPWELL_LEVEL_PROBE=$new/snipwell-level-probe "$runner" "$new" "$words" "$work/new/files"
  if ! diff -r "$work/old" "$work/new" > "$work/diff" 2>&1; then
    echo "DIFFERS: $name: snipwell-cut $words"
    head -5 "$work/diff" | sed 's/^/    /'
    failed=$((failed + 1))
  fi
}

count=0
for words in "${cases[@]}"; do
  compare "case $count" run_case "$words"
  count=$((count + 1))
done
# An exact split of several tracks commits them beside its walk, so where
# a "Saved" line falls among the bar's steps varies from run to run; on the
# terminal it is compared as one track, which is saved after the walk.
for words in "--exact $fixtures/long.mp3 10.0 80.0 clip.mp3" "$fixtures/long.mp3 10.0 80.0 clip.mp3" \
             "--gain 3 --every 200.0 $fixtures/long.mp3 tracks" \
             "--bytes --gain 3 --every 20.0 $fixtures/long.mp3 tracks"; do
  compare "terminal case $count" run_case_on_terminal "$words"
  count=$((count + 1))
done
echo "$count cases, $failed differ"
[ "$failed" -eq 0 ]
