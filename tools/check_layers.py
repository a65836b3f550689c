#!/usr/bin/env python3
"""Checks that the source folders include each other without a cycle.

Each folder is one node (a backend under platform/ is a node of its own), and
an #include "..." of a header in another folder is an edge. Includes are named
from the root ("engine/windows_dx.h") or relatively ("../file/file.h", as the
installed headers name each other). A cycle is printed with one include line
for each of its edges, and the run exits with status 1.

Usage: check_layers.py [ROOT] [--graph]
  ROOT     the tree to check (default: the one this script sits in)
  --graph  also print which folder includes which
"""

import os
import re
import sys

FOLDERS = ("base", "file", "image", "draw", "engine", "platform", "game", "tools")
BACKENDS_UNDER = "platform"
SOURCE_SUFFIXES = (".h", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def node_of(relative_path):
    """The folder node of a path relative to the root, or None outside FOLDERS."""
    parts = relative_path.split("/")
    if parts[0] not in FOLDERS:
        return None
    if parts[0] == BACKENDS_UNDER and len(parts) > 2:
        return parts[0] + "/" + parts[1]
    return parts[0]


def resolve(root, including, name):
    """The root-relative path an include names, or None when it is not in the tree."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    for candidate in (beside, os.path.normpath(name)):
        if not candidate.startswith("..") and os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, "/")
    return None


def edges_of(root):
    """{(from, to): "file:line: #include ..."} for every include across folders."""
    edges = {}
    for folder in FOLDERS:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for file_name in sorted(files):
                if not file_name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.relpath(os.path.join(directory, file_name), root).replace(os.sep, "/")
                source = node_of(path)
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target_path = resolve(root, path, match.group(1))
                        target = node_of(target_path) if target_path else None
                        if target and target != source:
                            edges.setdefault((source, target), f"{path}:{number}: {line.strip()}")
    return edges


def find_cycle(nodes, edges):
    """One cycle as a list of nodes (first == last), or None."""
    after = {node: sorted(t for (s, t) in edges if s == node) for node in nodes}
    state = {}
    trail = []

    def visit(node):
        state[node] = "open"
        trail.append(node)
        for following in after[node]:
            if state.get(following) == "open":
                return trail[trail.index(following):] + [following]
            if following not in state:
                found = visit(following)
                if found:
                    return found
        trail.pop()
        state[node] = "done"
        return None

    for node in sorted(nodes):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def main(arguments):
    show_graph = "--graph" in arguments
    roots = [a for a in arguments if a != "--graph"]
    root = roots[0] if roots else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    edges = edges_of(root)
    nodes = {n for edge in edges for n in edge}
    if show_graph:
        for node in sorted(nodes):
            below = sorted(t for (s, t) in edges if s == node)
            print(f"{node} -> {', '.join(below) if below else '(nothing)'}")
    cycle = find_cycle(nodes, edges)
    if cycle:
        print("Folders include each other in a circle: " + " -> ".join(cycle))
        for source, target in zip(cycle, cycle[1:]):
            print("  " + edges[(source, target)])
        return 1
    print(f"No cycle among {len(nodes)} folders ({len(edges)} include edges).")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
