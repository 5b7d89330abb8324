#!/usr/bin/env python3
"""Fails when a folder includes a header of a folder listed after it in the top
CMakeLists.txt, or when anything outside app/ includes app/: the folders' include graph
stays free of circles and the libraries link in one order."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
cmake = (root / "CMakeLists.txt").read_text()
order = [d for d in re.findall(r"^add_subdirectory\((\w+)\)", cmake, re.M)
         if (root / d).is_dir() and d not in ("twrLib", "resources", "tests", "fuzz", "bench")]
rank = {folder: i for i, folder in enumerate(order)}
include = re.compile(r'^\s*#\s*include\s+"(\w+)/', re.M)

faults = []
for folder in order:
    for source in sorted((root / folder).rglob("*")):
        if source.suffix not in (".h", ".cpp"):
            continue
        for target in include.findall(source.read_text(errors="replace")):
            if target not in rank or target == folder:
                continue
            upward = folder != "cli" and rank[target] > rank[folder]
            if upward or (target == "app" and folder != "app"):
                faults.append(f"{source.relative_to(root)} includes {target}/")
print("order:", " < ".join(order))
print("\n".join(faults) if faults else "no folder includes a later one")
sys.exit(1 if faults else 0)
