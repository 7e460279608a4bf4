#!/usr/bin/env python3
"""Fails on an #include that runs back up a layer. The layers are the ones
CONTRIBUTING.md gives, read from its tables so that the two cannot drift
apart: the build targets' folders, the layers of src/generate, and in the
window the shell (app/) that includes no page and page folders that include
no other page's files.

Usage: include_layers.py REPOSITORY_ROOT
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')
CODE = re.compile(r"`([^`]+)`")


def table_rows(text, heading):
    """The cells of the first table after the line that starts with heading."""
    lines = text[text.index(heading):].splitlines()[1:]
    rows = []
    for line in lines:
        if line.startswith("|"):
            cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
            if not set(cells[0]) <= set("-: "):
                rows.append(cells)
        elif rows:
            break
    return rows[1:]  # the header row names the columns


def folder_layers(guide):
    """src/<folder> -> its target's place in the list of layers."""
    layers = {}
    for place, row in enumerate(table_rows(guide, "Each layer is a CMake target")):
        for name in CODE.findall(row[1]):
            if name.startswith("src/"):
                layers[name[len("src/"):]] = place
    return layers


def generate_layers(guide):
    """A file's stem in src/generate -> its layer."""
    layers = {}
    for place, row in enumerate(table_rows(guide, "`src/generate` is layered")):
        for name in CODE.findall(row[1]):
            layers[name.split(".")[0]] = place
    return layers


def folder_of(path):
    """'ui/pages/groups/x.h' -> 'ui/pages'; 'model/x.h' -> 'model'."""
    parts = pathlib.PurePosixPath(path).parts
    return "/".join(parts[:2]) if parts[0] == "ui" else parts[0]


def main():
    root = pathlib.Path(sys.argv[1])
    guide = (root / "CONTRIBUTING.md").read_text(encoding="utf-8")
    folders = folder_layers(guide)
    generate = generate_layers(guide)
    src = root / "src"
    found = []
    for file in sorted(src.rglob("*")):
        if file.suffix not in (".h", ".cpp"):
            continue
        own = file.relative_to(src).as_posix()
        own_folder = folder_of(own)
        if own_folder not in folders:
            continue  # the programs' main files and generated headers
        if own.startswith("generate/") and file.stem not in generate:
            found.append(f"src/{own}: not in CONTRIBUTING.md's table of src/generate's layers")
        for number, line in enumerate(file.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = match.group(1)
            where = f"src/{own}:{number}: includes {target}"
            target_folder = folder_of(target)
            if target_folder in folders and folders[target_folder] > folders[own_folder]:
                found.append(f"{where}, a layer above its own")
            elif own.startswith("generate/") and target.startswith("generate/"):
                below = generate.get(file.stem)
                above = generate.get(pathlib.PurePosixPath(target).stem)
                if below is not None and (above is None or above > below):
                    found.append(f"{where}, a layer of src/generate above its own")
            elif own.startswith("ui/app/") and target.startswith("ui/pages/"):
                found.append(f"{where}: the shell includes no page")
            elif own.count("/") > 2 and own.startswith("ui/pages/") and target.startswith("ui/pages/") \
                    and not target.startswith("/".join(own.split("/")[:3]) + "/"):
                found.append(f"{where}: a page includes no other page's files")
    if not folders or not generate:
        found.append("CONTRIBUTING.md's layer tables were not found")
    print("\n".join(found) if found else f"no include runs back up ({len(folders)} folders, "
          f"{len(generate)} units of src/generate)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
