#!/usr/bin/env python3
"""Fails when the tree's folders break the README's map; prints each layered
binary's folder-to-folder include graph.

- The player's and the engine's folders stand in LAYERS, lowest first, and a
  folder includes only those below it.
- A binary's code includes no other binary's folder: only its own, shared/
  and sdk/. shared/ includes none of them.
- Within each binary's code and within shared/, no unit reaches itself
  through its #include "..." lines. A unit is a header with its source
  (player/core/paths.h and player/core/paths.cpp).

An include names a file from the top of the tree, or from shared/ or sdk/
(the include roots the build gives those libraries)."""
import os
import re
import sys

LAYERS = {
    "player": ["core", "res", "settings", "playlist", "tray", "playback", "control", "app"],
    "engine": ["", "output", "decoding", "tags", "records", "plugins", "streams", "playing",
               "api"],
}
BINARIES = ["player", "engine", "decoders", "extension"]
GROUPS = BINARIES + ["shared"]
ROOTS = ["", "shared", "sdk", "sdk/id3"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layered(group):
    return [os.path.join(group, layer).rstrip("/") for layer in LAYERS[group]]


def sources(group):
    for folder, _, names in sorted(os.walk(group)):
        for name in sorted(names):
            if name.endswith((".h", ".cpp")):
                yield os.path.join(folder, name)


def resolve(target):
    """The tree's file an include names, or None for a system header."""
    for root in ROOTS:
        path = os.path.normpath(os.path.join(root, target))
        if os.path.exists(path):
            return path
    return None


def group_of(path):
    return path.split(os.sep, 1)[0] if os.sep in path else ""


def includes(group):
    """Maps each file of the group to the tree's files it includes."""
    found = {}
    for path in sources(group):
        with open(path, encoding="utf-8") as source:
            targets = [resolve(target) for target in INCLUDE.findall(source.read())]
        found[path] = [target for target in targets if target]
    return found


def units(found, group):
    """The unit graph of the group's files, within the group."""
    graph = {}
    for path, targets in found.items():
        unit = os.path.splitext(path)[0]
        edges = graph.setdefault(unit, set())
        edges.update(os.path.splitext(t)[0] for t in targets if group_of(t) == group)
        edges.discard(unit)
    return graph


def find_cycle(graph):
    """One loop of the graph as a list of nodes, or None."""
    state = {}

    def visit(node, path):
        state[node] = "open"
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt, path + [nxt])
                if found:
                    return found
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


def folder_graph(found, group):
    """The includes between the group's layers."""
    folders = {folder: set() for folder in layered(group)}
    for path, targets in found.items():
        edges = folders.setdefault(os.path.dirname(path), set())
        edges.update(os.path.dirname(t) for t in targets if group_of(t) == group)
        edges.discard(os.path.dirname(path))
    return folders


def check_layers(found, group):
    """Prints the group's layer graph; gives the number of faults."""
    order = layered(group)
    folders = folder_graph(found, group)
    faults = 0
    for name in reversed(order):
        below = sorted(folders[name], key=lambda f: order.index(f) if f in order else -1)
        print(f"{name}: {', '.join(below) or '(nothing)'}")
    for name in sorted(folders):
        if name not in order:
            print(f"{name} stands in no layer of {group}/")
            faults += 1
            continue
        for target in sorted(folders[name]):
            if target not in order or order.index(target) > order.index(name):
                print(f"{name} includes {target}, which stands above it")
                faults += 1
    return faults


def check_group(group):
    found = includes(group)
    faults = 0
    for path, targets in found.items():
        for target in targets:
            other = group_of(target)
            if other in BINARIES and other != group:
                print(f"{path} includes {target}, of another binary")
                faults += 1
    cycle = find_cycle(units(found, group))
    if cycle:
        print("include loop: " + " -> ".join(cycle))
        faults += 1
    if group in LAYERS:
        faults += check_layers(found, group)
    return faults


def main(root=None):
    """Checks the tree at root, the repository's own when none is given."""
    os.chdir(root or os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    faults = sum(check_group(group) for group in GROUPS)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else None))
