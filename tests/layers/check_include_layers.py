#!/usr/bin/env python3
"""Fails when the folders of src/, or the units inside them, include each
other in a loop.

Each folder of src/ is a layer; clip/export, clip/exact, clip/tracks (the
job both take) and app/qt count as folders of their own. An include of
"a/b.h" from a file in folder X is an arrow from X to a's folder. The arrows
must form no loop, and the export engine and the exact cut must not include
each other at all, and the MP3 layer, common/, the split plan and the track
job include nothing above them.

A unit is a header with the .cpp of the same name beside it (either may be
missing): "a.cpp includes b.h" is an arrow from unit a to unit b, just as
"a.h includes b.h" is. The units' arrows must form no loop either, directly
(a includes b, b includes a) or through a chain.
Usage: check_include_layers.py SRC_DIR
"""
import pathlib
import re
import sys

SUBFOLDERS = {("clip", "export"), ("clip", "exact"), ("clip", "tracks"), ("app", "qt")}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
FORBIDDEN = {("clip/export", "clip/exact"), ("clip/exact", "clip/export")}
# The MP3 layer stands on the standard library and common/ alone; the split
# plan and its sources on those two and the level analysis, and the track
# engine's job on those two, below the command and the track engines.
ONLY = {"split": {"mp3", "common", "level"}, "clip/tracks": {"mp3", "common"}, "mp3": {"common"},
        "common": set()}


def folder_of(parts):
    if len(parts) >= 3 and (parts[0], parts[1]) in SUBFOLDERS:
        return parts[0] + "/" + parts[1]
    return parts[0]


def included_files(src):
    """Yields (file, included path) for each include of a file under src."""
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        for included in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            parts = pathlib.PurePosixPath(included).parts
            if len(parts) < 2 or not (src / included).exists():
                continue  # generated headers and the build's own
            yield path.relative_to(src), included


def unit_arrows(src):
    found = {}
    for path, included in included_files(src):
        here = str(path.with_suffix(""))
        there = str(pathlib.PurePosixPath(included).with_suffix(""))
        if there != here:
            found.setdefault((here, there), f"{path} includes {included}")
    return found


def arrows(src):
    found = {}
    for path, included in included_files(src):
        here = folder_of(path.parts)
        there = folder_of(pathlib.PurePosixPath(included).parts)
        if there != here:
            found.setdefault((here, there), f"{path} includes {included}")
    return found


def find_loop(edges):
    graph = {}
    for a, b in edges:
        graph.setdefault(a, []).append(b)
    state, stack = {}, []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for nxt in graph.get(node, []):
            if state.get(nxt) == "open":
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                loop = visit(nxt)
                if loop:
                    return loop
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            loop = visit(node)
            if loop:
                return loop
    return None


def main():
    src = pathlib.Path(sys.argv[1])
    edges = arrows(src)
    failed = False
    for pair in sorted(FORBIDDEN & edges.keys()):
        print(f"{pair[0]} must not include {pair[1]}: {edges[pair]}")
        failed = True
    for (a, b), why in sorted(edges.items()):
        if a in ONLY and b not in ONLY[a]:
            print(f"{a} may include only {sorted(ONLY[a]) or 'itself'}: {why}")
            failed = True
    for what, found in (("folders", edges), ("units", unit_arrows(src))):
        loop = find_loop(found)
        if loop:
            print(f"the {what} include each other in a loop: " + " -> ".join(loop))
            for a, b in zip(loop, loop[1:]):
                print(f"  {found[(a, b)]}")
            failed = True
    for (a, b), why in sorted(edges.items()):
        print(f"{a} -> {b}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
