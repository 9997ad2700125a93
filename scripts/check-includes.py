#!/usr/bin/env python3
"""Fails when the player's folders, or the window module's files, include
each other in a loop; prints the player's folder-to-folder include graph.

A unit is a header with its source (app/paths.h and app/paths.cpp). No unit
may reach itself through the #include "..." lines. Between folders, app/ is
two nodes: the window, commands and start-up on top, and below everything the
app units that other folders include (the shared records, paths, ids), which
must include nothing above them."""
import os
import re
import sys

PLAYER = ["app", "settings", "playlist", "playback", "tray", "tags", "control"]
MODULE = ["extension"]
SHARED = "app (shared)"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def units(folders):
    """Maps each unit to the units it includes, within the folders given."""
    graph = {}
    for folder in folders:
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp")):
                continue
            unit = os.path.splitext(os.path.join(folder, name))[0]
            with open(os.path.join(folder, name), encoding="utf-8") as source:
                targets = INCLUDE.findall(source.read())
            edges = graph.setdefault(unit, set())
            for target in targets:
                if target.split("/")[0] in folders and os.path.exists(target):
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
    """The units' edges between folders, with app's shared units apart."""
    def folder(unit):
        return unit.split("/")[0]

    shared = {target for unit, targets in graph.items() for target in targets
              if folder(target) == "app" and folder(unit) != "app"}

    def node(unit):
        return SHARED if unit in shared else folder(unit)

    folders = {}
    for unit, targets in graph.items():
        edges = folders.setdefault(node(unit), set())
        edges.update(node(target) for target in targets)
        edges.discard(node(unit))
    return folders


def main():
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    failed = False
    for group in (PLAYER, MODULE):
        cycle = find_cycle(units(group))
        if cycle:
            print("include loop: " + " -> ".join(cycle))
            failed = True
    folders = folder_graph(units(PLAYER))
    for name in sorted(folders):
        print(f"{name}: {', '.join(sorted(folders[name])) or '(nothing)'}")
    cycle = find_cycle(folders)
    if cycle:
        print("folder loop: " + " -> ".join(cycle))
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
