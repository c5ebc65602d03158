#!/usr/bin/env python3
"""How decoders play clips of snipwell-cut --exact, against their own decode
of the source:
    bench/clip/exact_cut_decoders.py BUILD_DIR FIXTURE_DIR [OUT.md]
FIXTURE_DIR holds MP3 files (the tests' fixture cache, for example
/tmp/snipwell-mp3-fixtures-$UID after a test run). For each file and each
range (from the start, in the middle, to the end, within one frame) it cuts a
clip and decodes clip and source with ffmpeg (when installed) and with
GStreamer (gst-launch-1.0), and reports the sample counts, the best-matching
offset, how many samples differ and what the decoder complained about.
"""
import array
import os
import shutil
import subprocess
import sys
import tempfile

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


def compare(clip, source, first, channels):
    """(differing samples, largest difference, best offset)"""
    base = first * channels
    differing = largest = 0
    for i, value in enumerate(clip):
        if base + i >= len(source):
            differing += 1
            continue
        d = abs(value - source[base + i])
        if d:
            differing += 1
            largest = max(largest, d)
    if differing == 0:
        return 0, 0, 0
    window = min(len(clip), 256 * channels)
    best, best_offset = None, None
    for offset in range(-1200, 1201):
        start = base + offset * channels
        if start < 0 or start + window > len(source):
            continue
        total = sum(abs(clip[i] - source[start + i]) for i in range(window))
        if best is None or total < best:
            best, best_offset = total, offset
    return differing, largest, best_offset


print("| file | range ms | wanted | ffmpeg | offset | differing | largest | ffmpeg says | GStreamer |", file=out)
print("|---|---|---|---|---|---|---|---|---|", file=out)
with tempfile.TemporaryDirectory() as work:
    for name in sorted(os.listdir(fixtures)):
        if not name.endswith(".mp3"):
            continue
        source = os.path.join(fixtures, name)
        if not have_ffmpeg:
            break
        try:
            rate, channels, decoded, _ = ffmpeg_decode(source)
        except (ValueError, IndexError):
            continue  # not audio ffmpeg can read
        if rate == 0 or channels == 0:
            continue
        length_ms = len(decoded) // channels * 1000 // rate
        if length_ms < 3000 or os.path.getsize(source) > 50_000_000:
            continue
        for begin, end in ((0, 1500), (3217, 3417), (length_ms - 1200, length_ms), (2000, 2010)):
            clip_path = os.path.join(work, "clip.mp3")
            run = subprocess.run([cut, "--force", "--exact", source, str(begin), str(end), clip_path],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                print(f"| {name} | {begin}–{end} | refused: {run.stderr.strip()} | | | | | | |", file=out)
                break
            wanted = end * rate // 1000 - begin * rate // 1000
            _, _, clip, says = ffmpeg_decode(clip_path)
            differing, largest, offset = compare(clip, decoded, begin * rate // 1000, channels)
            print(f"| {name} | {begin}–{end} | {wanted} | {len(clip) // channels} | {offset} | "
                  f"{differing} | {largest} | {says.replace(chr(10), ' ')[:60] or '–'} | "
                  f"{gstreamer_count(clip_path, work)} |", file=out)
