#!/usr/bin/env python3
"""Fails when a folder of the player includes a folder above it, or when the
units of the player or of the window module include each other in a loop;
prints the player's folder-to-folder include graph.

The player's folders stand in LAYERS, lowest first, and a folder includes
only those below it. A unit is a header with its source (player/core/paths.h
and player/core/paths.cpp); no unit may reach itself through its #include
"..." lines."""
import os
import re
import sys

LAYERS = ["core", "res", "settings", "playlist", "tray", "playback", "control", "app"]
PLAYER = ["player/" + layer for layer in LAYERS]
MODULE = ["extension"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    return os.path.dirname(path)


def units(folders):
    """Maps each unit to the units it includes, within the folders given."""
    graph = {}
    for folder in folders:
        for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else ():
            if not name.endswith((".h", ".cpp")):
                continue
            unit = os.path.splitext(os.path.join(folder, name))[0]
            with open(os.path.join(folder, name), encoding="utf-8") as source:
                targets = INCLUDE.findall(source.read())
            edges = graph.setdefault(unit, set())
            for target in targets:
                if folder_of(target) in folders and os.path.exists(target):
                    edges.add(os.path.splitext(target)[0])
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


def folder_graph(graph):
    """The units' edges between folders."""
    folders = {folder: set() for folder in PLAYER}
    for unit, targets in graph.items():
        edges = folders[folder_of(unit)]
        edges.update(folder_of(target) for target in targets)
        edges.discard(folder_of(unit))
    return folders


def upward_includes(folders):
    """Each include of a folder that stands higher than the includer."""
    return [(name, target) for name in PLAYER for target in sorted(folders[name])
            if PLAYER.index(target) > PLAYER.index(name)]


def main(root=None):
    """Checks the tree at root, the repository's own when none is given."""
    os.chdir(root or os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    failed = False
    for group in (PLAYER, MODULE):
        cycle = find_cycle(units(group))
        if cycle:
            print("include loop: " + " -> ".join(cycle))
            failed = True
    folders = folder_graph(units(PLAYER))
    for name in reversed(PLAYER):
        print(f"{name}: {', '.join(sorted(folders[name], key=PLAYER.index)) or '(nothing)'}")
    for name, target in upward_includes(folders):
        print(f"{name} includes {target}, which stands above it")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else None))
