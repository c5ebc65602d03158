#!/usr/bin/env bash
# Makes the seed corpus of the fuzz targets in OUT_DIR:
#   OUT_DIR/command_parser  every command the player sends, and near misses
#   OUT_DIR/cue_sheet       cue sheets and label files as people have them:
#                           every encoding and line end, pregaps, refusals
#   OUT_DIR/id3_chapters    ID3v2.3 and 2.4 tags with chapters, titles and
#                           tables of contents, nested and unsynchronised
#   OUT_DIR/level_answer    the level probe's answers: levels with their
#                           values, a peak, progress, a failure, near misses
#   OUT_DIR/mp3_scan        small encodes of every MPEG version and channel
#                           mode, CBR and VBR, with and without info frames
#                           and tags, and copies with odd layers and bad tags
# Needs sox and lame (scripts/test installs them).
set -euo pipefail
out="${1:?usage: make_seed_corpus.sh OUT_DIR}"
mkdir -p "$out/command_parser" "$out/mp3_scan" "$out/cue_sheet" "$out/id3_chapters" \
  "$out/level_answer"

n=0
for command in \
  'open "/m/song.mp3" type mpegvideo alias movie parent 4242 style child' \
  'open "/m/say "hi".mp3" alias movie' 'open "" alias m' \
  'close movie' 'close all' 'play movie' 'play movie from 6000' 'pause movie' \
  'resume movie' 'stop movie' 'seek movie to 2147483647' 'set movie time format ms' \
  'set movie time format milliseconds' 'status movie length' 'status movie position wait' \
  'status movie mode' 'play movie from -1' 'status all mode' 'open "x" alias movie alias film'; do
  printf '%s' "$command" >"$out/command_parser/seed-$n"
  n=$((n + 1))
done

answers="$out/level_answer"
printf 'levels first-frame 417 rate 44100 channels 2 samples 882 windows 2\n\0\0\0\0\x00\x00\x80\x3f' >"$answers/two-windows"
printf 'levels first-frame 0 rate 44100 channels 1 samples 500 windows 2\n\0\0\xc0\x7f\0\0\0\0' >"$answers/nan"
printf 'levels first-frame 0 rate 44100 channels 2 samples 441 windows 1\n\0\0' >"$answers/cut-short"
printf 'levels first-frame 07 rate 48000 channels 3 samples 0 windows 0\n' >"$answers/odd"
printf 'peak 0.5 samples 10\n' >"$answers/peak"
printf 'progress 65536\nprogress 131072\n' >"$answers/progress"
printf 'error the frames are damaged\n' >"$answers/error"

sheets="$out/cue_sheet"
printf 'REM GENRE Rock\r\nREM DATE 1999\r\nPERFORMER "Band"\r\nTITLE "Album"\r\nFILE "a.wav" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE "One"\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE "Two"\r\n    PERFORMER "Guest"\r\n    INDEX 00 03:58:40\r\n    INDEX 01 04:00:74\r\n' >"$sheets/crlf.cue"
printf '\xef\xbb\xbfTITLE "Caf\xc3\xa9"\nTRACK 1 AUDIO\nINDEX 01 00:00:00\nTRACK 2 AUDIO\nINDEX 01 61:02:01\n' >"$sheets/bom.cue"
printf 'TITLE "Caf\xe9 \x80"\rTRACK 1 AUDIO\rINDEX 01 00:00:00\r' >"$sheets/western-cr.cue"
printf 'FILE a.mp3 MP3\nTRACK 1 AUDIO\nINDEX 01 00:00:00\nFILE b.mp3 MP3\n' >"$sheets/two-files.cue"
printf 'TRACK 1 AUDIO\nINDEX 01 01:00:00\nTRACK 2 MODE1/2352\nINDEX 01 00:59:74\n' >"$sheets/refused.cue"
printf '0.000000\t0.000000\tIntro\n\\\t440.0\t880.0\n65,5\t65,5\tVerse\n100.25\t130.000001\tSolo\n' >"$sheets/labels.txt"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Chapter tags. Bodies stay under 128 bytes, where a 2.3 size and a 2.4
# syncsafe size are the same bytes.
byte() { printf "\\x$(printf '%02x' "$1")"; }
bytes32() { # value, 7 or 8 bits a byte
  local shift
  for shift in 3 2 1 0; do byte $((($1 >> (shift * $2)) & ((1 << $2) - 1))); done
}
id3_frame() { # id, body file
  printf '%s' "$1"; bytes32 "$(stat -c %s "$2")" 8; printf '\0\0'; cat "$2"
}
chap() { # id, start ms, end ms, title or ""
  local body="$work/chap-body"
  { printf '%s\0' "$1"; bytes32 "$2" 8; bytes32 "$3" 8; printf '\xff\xff\xff\xff\xff\xff\xff\xff'
    if [[ -n "$4" ]]; then printf '\3%s' "$4" >"$work/title"; id3_frame TIT2 "$work/title"; fi
  } >"$body"
  id3_frame CHAP "$body"
}
ctoc() { # id, flags, children...
  local body="$work/ctoc-body" id="$1" flags="$2"
  shift 2
  { printf '%s\0' "$id"; byte "$flags"; byte "$#"; for child in "$@"; do printf '%s\0' "$child"; done
  } >"$body"
  id3_frame CTOC "$body"
}
id3_tag() { # version, flags, frames file
  printf 'ID3'; byte "$1"; byte 0; byte "$2"; bytes32 "$(stat -c %s "$3")" 7; cat "$3"
}
{ ctoc top 3 c1 inner; ctoc inner 1 c2 c3; chap c1 0 1000 One; chap c3 2000 3000 Three
  chap c2 1000 2000 ""; } >"$work/frames"
id3_tag 4 0 "$work/frames" >"$out/id3_chapters/nested-2.4"
id3_tag 3 0 "$work/frames" >"$out/id3_chapters/nested-2.3"
sed 's/\xff/\xff\x00/g' "$work/frames" >"$work/unsynchronised"
id3_tag 3 128 "$work/unsynchronised" >"$out/id3_chapters/unsynchronised-2.3"
{ chap b 5000 4000 Back; chap a 0 5000 ""; ctoc loop 3 loop a b; } >"$work/frames"
id3_tag 4 0 "$work/frames" >"$out/id3_chapters/refused-2.4"
sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 0.3 sine 440 2>/dev/null
seeds="$out/mp3_scan"
encode() { # name, lame options...
  local name="$1"
  shift
  lame --quiet "$@" "$work/tone.wav" "$seeds/$name.mp3"
}
encode cbr128 -b 128
encode cbr-plain -b 128 -t
encode vbr -V 4
encode vbr-plain -V 4 -t
encode mono -m m -b 64
encode mpeg2 --resample 22.05 -b 64
encode mpeg25 --resample 8 -m m -b 16
encode crc -p -b 128
encode id3v2 -b 128 --id3v2-only --tt title --ta artist
encode id3v1 -b 128 --id3v1-only --tt title

# Odd layers: the first frame header turned to Layer I and to Layer II.
flip_layer() { # source, target, bits to xor into the header's second byte
  cp "$1" "$2"
  local byte
  byte=$(od -An -tu1 -j1 -N1 "$2" | tr -d ' ')
  printf "\\x$(printf '%02x' $((byte ^ $3)))" | dd of="$2" bs=1 seek=1 conv=notrunc status=none
}
flip_layer "$seeds/cbr-plain.mp3" "$seeds/layer1.mp3" 4
flip_layer "$seeds/cbr-plain.mp3" "$seeds/layer2.mp3" 6

# Tags at the end, one sound and one whose size cannot be right, and a
# stack of empty ID3v2 tags in front.
cp "$seeds/cbr-plain.mp3" "$seeds/ape-impossible.mp3"
printf 'APETAGEX\xd0\x07\x00\x00\xf0\xff\xff\xff\x01\x00\x00\x00\x00\x00\x00\x80\0\0\0\0\0\0\0\0' \
  >>"$seeds/ape-impossible.mp3"
cp "$seeds/cbr-plain.mp3" "$seeds/ape-empty.mp3"
printf 'APETAGEX\xd0\x07\x00\x00\x20\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\0\0\0\0\0\0\0\0' \
  >>"$seeds/ape-empty.mp3"
for _ in $(seq 40); do printf 'ID3\x03\0\0\0\0\0\0'; done >"$seeds/stacked-id3v2.mp3"
cat "$seeds/cbr-plain.mp3" >>"$seeds/stacked-id3v2.mp3"

# The info frame reader gets the first frames of the encodes without a tag
# in front; the exact cut gets the whole files.
mkdir -p "$out/info_frame" "$out/exact_cut"
for name in cbr128 vbr mono mpeg2 mpeg25 crc cbr-plain; do
  head -c 4096 "$seeds/$name.mp3" >"$out/info_frame/$name"
done
cp "$seeds"/*.mp3 "$out/exact_cut/"
