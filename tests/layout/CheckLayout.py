#!/usr/bin/env python3
"""Fails on an include that runs up the layer order of docs/layout.md, or on a
Qt header outside the folders that doc names for Qt. Usage: CheckLayout.py ROOT"""
import pathlib, re, sys

root = pathlib.Path(sys.argv[1])
doc = (root / "docs/layout.md").read_text()
layers = re.search(r"^Layers, bottom up: (.+)$", doc, re.M).group(1).split(", ")
qt_folders = re.search(r"^Qt only in: (.+)$", doc, re.M).group(1).split(", ")
include = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
qt_header = re.compile(r"Q[A-Z]\w*$|Qt\w*/")


def layer(path):
    """Index of the longest listed folder holding path; None outside them."""
    best = None
    for i, name in enumerate(layers):
        if path.startswith(name + "/") and (best is None or len(name) > len(layers[best])):
            best = i
    return best


faults = []
sources = [f for top in sorted({n.split("/")[0] for n in layers}) for f in sorted((root / top).rglob("*"))]
for file in sources:
    rel = file.relative_to(root).as_posix()
    own = layer(rel)
    if file.suffix not in (".h", ".cpp") or own is None:
        continue
    for kind, target in include.findall(file.read_text(errors="replace")):
        if kind == "<":
            if qt_header.match(target) and not any(rel.startswith(f + "/") for f in qt_folders):
                faults.append(f"{rel}: Qt header <{target}> outside {', '.join(qt_folders)}")
            continue
        other = layer(target)
        if "/" in target and (other is None or other > own):
            where = "an unlisted folder" if other is None else layers[other]
            faults.append(f"{rel}: includes {target} of {where}, above {layers[own]}")

print("\n".join(faults) or f"layout: {len(layers)} layers, every include goes down")
sys.exit(1 if faults else 0)
