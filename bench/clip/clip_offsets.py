#!/usr/bin/env python3
"""Where a byte-range clip lies in its source and where it really plays, for
two builds of snipwell-cut (its default mode cuts the bytes the window's Save
writes):
    bench/clip/clip_offsets.py NEW_SNIPWELL_CUT OLD_SNIPWELL_CUT [OUT.md]
Makes five 7-minute MP3 files with Python and lame: a tone whose
pitch steps every second (200 Hz + 5 Hz a second), so any decoded stretch
tells which seconds of the track it holds. The files: CBR 128 without a tag
(with lame's info frame, and without it), CBR 192 behind an ID3v2 tag with a 420 KB picture, VBR -V2 with a quiet
first 150 s, and the same VBR file behind the picture tag. Each is cut at its
marks by both programs; the table gives each clip's first and last byte in
the source (from 0) and the stretch of the track it plays, found by decoding
it with libmpg123 (through ctypes) and reading the pitch steps.
"""
import array
import math
import os
import statistics
import subprocess
import sys
import tempfile
import wave

from mpg123_decode import mpg123_decode

new_cut, old_cut = sys.argv[1], sys.argv[2]
out = open(sys.argv[3], "w") if len(sys.argv) > 3 else sys.stdout
RATE, SECONDS, BASE_HZ, STEP_HZ = 44100, 420, 200.0, 5.0

def write_tone(path, quiet_seconds):
    """The stepped tone, mono 16 bit, its phase running on across the steps."""
    samples = array.array("h")
    phase = 0.0
    for second in range(SECONDS):
        step = 2 * math.pi * (BASE_HZ + STEP_HZ * second) / RATE
        level = 30 if second < quiet_seconds else 16000
        for _ in range(RATE):
            samples.append(int(level * math.sin(phase)))
            phase += step
        phase %= 2 * math.pi
    with wave.open(path, "wb") as wav:
        wav.setnchannels(1)
        wav.setsampwidth(2)
        wav.setframerate(RATE)
        wav.writeframes(samples.tobytes())


def picture_tag(picture_bytes):
    """An ID3v2.3 tag holding one APIC frame of `picture_bytes` bytes."""
    body = b"\x00image/jpeg\x00\x03\x00" + bytes((i * 7919) % 251 for i in range(picture_bytes))
    frame = b"APIC" + len(body).to_bytes(4, "big") + b"\x00\x00" + body
    size = len(frame)
    syncsafe = bytes([(size >> 21) & 127, (size >> 14) & 127, (size >> 7) & 127, size & 127])
    return b"ID3\x03\x00\x00" + syncsafe + frame


def plays(path):
    """(first, last) second of the track the clip plays: the pitch of each
    period gives its second; each change of pitch inside the clip tells
    where the clip started (and ended), the median of them all."""
    rate, channels, samples = mpg123_decode(path)
    mono = samples[::channels]
    crossings = []
    for i in range(1, len(mono)):
        a, b = mono[i - 1], mono[i]
        if a < 0 <= b and b - a > 200:
            crossings.append(i - 1 + a / (a - b))
    runs = []  # [second, first crossing index, periods]
    for i in range(1, len(crossings)):
        second = round((rate / (crossings[i] - crossings[i - 1]) - BASE_HZ) / STEP_HZ)
        if runs and runs[-1][0] == second:
            runs[-1][2] += 1
        else:
            runs.append([second, crossings[i - 1], 1])
    steady = [run for run in runs if run[2] >= 20]
    starts = [second - at / rate for second, at, _ in steady[1:]]
    if not starts:
        return None
    start = statistics.median(starts)
    return start, start + len(mono) / rate


def cut(program, source, begin, end, target):
    subprocess.run([program, "--force", "--quiet", source, str(begin), str(end), target],
                   check=True, stdin=subprocess.DEVNULL)
    return open(target, "rb").read()


def main():
    work = tempfile.mkdtemp(prefix="snipwell-offsets-")
    loud, quiet = os.path.join(work, "loud.wav"), os.path.join(work, "quiet.wav")
    write_tone(loud, 0)
    write_tone(quiet, 150)
    tag = picture_tag(420_000)
    files = []
    for name, wav, options, with_tag, marks in [
        ("CBR 128, no tag", loud, ["-b", "128"], False, (60_000, 90_000)),
        ("CBR 128, no tag, no info frame", loud, ["-t", "-b", "128"], False, (60_000, 90_000)),
        ("CBR 192 + 420 KB cover", loud, ["-b", "192"], True, (60_000, 90_000)),
        ("VBR -V2, quiet intro", quiet, ["-V2"], False, (200_000, 230_000)),
        ("VBR -V2 + cover", quiet, ["-V2"], True, (200_000, 230_000)),
    ]:
        path = os.path.join(work, f"{len(files)}.mp3")
        subprocess.run(["lame", "--quiet", *options, wav, path], check=True)
        if with_tag:
            data = open(path, "rb").read()
            open(path, "wb").write(tag + data)
        files.append((name, path, marks))

    print("| file | marks (s) | rule | first byte | last byte | clip plays (s) | off at begin / end (ms) |", file=out)
    print("|---|---|---|---|---|---|---|", file=out)
    for name, path, (begin, end) in files:
        source = open(path, "rb").read()
        for rule, program in (("old", old_cut), ("new", new_cut)):
            target = os.path.join(work, f"clip-{rule}.mp3")
            clip = cut(program, path, begin, end, target)
            first = source.find(clip[:4096])
            # The old rule's last chunk may run past the source, as zeros.
            last = min(first + len(clip), len(source)) - 1
            heard = plays(target)
            where = f"{heard[0]:.2f}–{heard[1]:.2f}" if heard else "?"
            off = (f"{1000 * heard[0] - begin:+.0f} / {1000 * heard[1] - end:+.0f}"
                   if heard else "?")
            print(f"| {name} | {begin / 1000:g}–{end / 1000:g} | {rule} | {first} | {last} | {where} | {off} |",
                  file=out)
    subprocess.run(["rm", "-rf", work], check=True)


main()
