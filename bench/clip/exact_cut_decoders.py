#!/usr/bin/env python3
"""How decoders play clips of snipwell-cut --exact, against their own decode
of the source:
    bench/clip/exact_cut_decoders.py BUILD_DIR FIXTURE_DIR [OUT.md]
FIXTURE_DIR holds MP3 files (the tests' fixture cache, for example
/tmp/snipwell-mp3-fixtures-$UID after a test run). For each file and each
range (from the start, in the middle, to the end, within one frame, and a few
more spread over the file) it cuts a clip and decodes clip and source with
libmpg123 (gapless, through ctypes), with ffmpeg (when installed) and with
GStreamer (gst-launch-1.0). It reports the sample counts, how many samples
differ from the decoder's own decode of the source at offset 0 (and, for
ffmpeg, the best-matching offset when any differ) and ffmpeg's complaints.
"""
import array
import os
import shutil
import subprocess
import sys
import tempfile

from mpg123_decode import mpg123_decode

build, fixtures = sys.argv[1], sys.argv[2]
out = open(sys.argv[3], "w") if len(sys.argv) > 3 else sys.stdout
cut = os.path.join(build, "snipwell-cut")
have_ffmpeg = shutil.which("ffmpeg") is not None

def ffmpeg_decode(path):
    """(rate, channels, samples, complaints) as ffmpeg decodes the file."""
    probe = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                            "stream=sample_rate,channels", "-of", "csv=p=0", path],
                           capture_output=True, text=True).stdout.strip().split(",")
    run = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "s16le", "-acodec",
                          "pcm_s16le", "-"], capture_output=True)
    samples = array.array("h")
    samples.frombytes(run.stdout[: len(run.stdout) // 2 * 2])
    return int(probe[0]), int(probe[1]), samples, run.stderr.decode().strip()


def gstreamer_count(path, work):
    wav = os.path.join(work, "g.wav")
    subprocess.run(["gst-launch-1.0", "-q", "filesrc", "location=" + path, "!", "decodebin", "!",
                    "audioconvert", "!", "audio/x-raw,format=S16LE", "!", "wavenc", "!",
                    "filesink", "location=" + wav], capture_output=True)
    data = open(wav, "rb").read()
    channels = int.from_bytes(data[22:24], "little")
    at = data.find(b"data")
    return int.from_bytes(data[at + 4: at + 8], "little") // (2 * channels)


def differing(clip, source, first, channels):
    base = first * channels
    return sum(1 for i, value in enumerate(clip)
               if base + i >= len(source) or value != source[base + i])


def best_offset(clip, source, first, channels):
    window = min(len(clip), 256 * channels)
    best, best_offset = None, None
    for offset in range(-1200, 1201):
        start = (first + offset) * channels
        if start < 0 or start + window > len(source):
            continue
        total = sum(abs(clip[i] - source[start + i]) for i in range(window))
        if best is None or total < best:
            best, best_offset = total, offset
    return best_offset


print("| file | range ms | wanted | libmpg123 | differing | ffmpeg | differing (offset) "
      "| ffmpeg says | GStreamer |", file=out)
print("|---|---|---|---|---|---|---|---|---|", file=out)
with tempfile.TemporaryDirectory() as work:
    for name in sorted(os.listdir(fixtures)):
        source = os.path.join(fixtures, name)
        if not name.endswith(".mp3") or os.path.getsize(source) > 50_000_000:
            continue
        rate, channels, reference = mpg123_decode(source)
        if rate == 0 or channels == 0 or not reference:
            continue
        length_ms = len(reference) // channels * 1000 // rate
        if length_ms < 3000:
            continue
        ffmpeg_reference = ffmpeg_decode(source)[2] if have_ffmpeg else None
        ranges = [(0, 1500), (3217, 3417), (length_ms - 1200, length_ms), (2000, 2010)]
        ranges += [(b, b + 200 + (b * 7) % 900) for b in (523, 1777, 4096, 5555, 6789)
                   if b + 1100 < length_ms]
        for begin, end in ranges:
            clip_path = os.path.join(work, "clip.mp3")
            run = subprocess.run([cut, "--force", "--exact", source, str(begin), str(end), clip_path],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                print(f"| {name} | {begin}–{end} | refused: {run.stderr.strip()} | | | | | | |", file=out)
                break
            first = begin * rate // 1000
            wanted = end * rate // 1000 - first
            clip = mpg123_decode(clip_path)[2]
            mpg123_cells = f"{len(clip) // channels} | {differing(clip, reference, first, channels)}"
            ffmpeg_cells = "– | – | –"
            if have_ffmpeg:
                _, _, clip, says = ffmpeg_decode(clip_path)
                count = differing(clip, ffmpeg_reference, first, channels)
                offset = f" ({best_offset(clip, ffmpeg_reference, first, channels)})" if count else ""
                says = says.replace("\n", " ")[:50] or "–"
                ffmpeg_cells = f"{len(clip) // channels} | {count}{offset} | {says}"
            print(f"| {name} | {begin}–{end} | {wanted} | {mpg123_cells} | {ffmpeg_cells} | "
                  f"{gstreamer_count(clip_path, work)} |", file=out, flush=True)
