#!/usr/bin/env python3
"""Holds docs/ARCHITECTURE.md's library table against the build and the code.

    architecture_map_test.py SOURCE_DIR WORK_DIR GENERATOR

Configures a scratch build of the project with --graphviz and checks:
  1. every library the table names links exactly the libraries its row
     lists (the project's own ones; outside libraries are not compared),
     and every library of the build stands in the table;
  2. every src/ library links directly each src/ library whose headers
     its sources include;
  3. no logic library (a src/ folder outside ui/) links Qt, and no
     library links a window library of another folder from a logic one.
"""
import os
import re
import subprocess
import sys

SOURCE, WORK, GENERATOR = sys.argv[1:4]
PREFIX = "quorvane_"
IGNORED = {"quorvane_options"}  # the switches every target carries

failures = []


def full_name(short):
    short = short.strip().strip("`")
    return short if short.startswith("quorvane") else PREFIX + short


def documented():
    """{library: (folder, {links})} from the table of ARCHITECTURE.md."""
    table = {}
    with open(os.path.join(SOURCE, "docs", "ARCHITECTURE.md"), encoding="utf-8") as doc:
        for line in doc:
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if len(cells) < 4 or not cells[0].startswith("`quorvane"):
                continue
            links = set() if cells[2] in ("—", "-", "") else {full_name(c) for c in cells[2].split(",")}
            table[cells[0].strip("`")] = (cells[1].strip("`"), links)
    return table


def built():
    """{target: {project targets it links directly}} from cmake --graphviz."""
    build = os.path.join(WORK, "build")
    dot = os.path.join(WORK, "deps.dot")
    subprocess.run(
        ["cmake", "-S", SOURCE, "-B", build, "-G", GENERATOR, "-DQUORVANE_BUILD_BENCHMARKS=OFF",
         "--graphviz=" + dot],
        check=True, stdout=subprocess.DEVNULL, timeout=240)
    text = open(dot, encoding="utf-8").read()
    labels = dict(re.findall(r'"(node\d+)" \[ label = "([^"]+)"', text))
    edges = {}
    for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text):
        edges.setdefault(labels[a], set()).add(labels[b])
    ours = {name for name in labels.values() if name.startswith("quorvane")}
    return {t: {d for d in edges.get(t, set()) if d in ours and d not in IGNORED}
            for t in ours if t not in IGNORED}, edges


def libraries_of_src():
    """{library: folder below src} for src/<folder>[/ui]."""
    found = {}
    src = os.path.join(SOURCE, "src")
    for folder in sorted(os.listdir(src)):
        if not os.path.isdir(os.path.join(src, folder)):
            continue
        found[PREFIX + folder] = folder
        if os.path.isdir(os.path.join(src, folder, "ui")):
            found[PREFIX + folder + "_ui"] = folder + "/ui"
    return found


INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/(ui/)?[^"]*"', re.M)


def included_libraries(folder):
    names = set()
    path = os.path.join(SOURCE, "src", folder)
    for entry in os.listdir(path):
        if not entry.endswith((".h", ".cpp")):
            continue
        text = open(os.path.join(path, entry), encoding="utf-8", errors="replace").read()
        for top, ui in INCLUDE.findall(text):
            if os.path.isdir(os.path.join(SOURCE, "src", top)):
                names.add(PREFIX + top + ("_ui" if ui else ""))
    return names


table = documented()
graph, all_edges = built()

for library in sorted(set(graph) - set(table)):
    failures.append(f"{library} is built but missing from the table")
for library, (folder, links) in sorted(table.items()):
    if library not in graph:
        failures.append(f"{library} stands in the table but is not built")
        continue
    if graph[library] != links:
        extra = sorted(graph[library] - links)
        missing = sorted(links - graph[library])
        failures.append(f"{library}: the build links {extra} beyond the table, "
                        f"and not {missing} that the table lists")

for library, folder in libraries_of_src().items():
    if library not in graph:
        continue
    needed = included_libraries(folder) - {library}
    for lib in sorted(needed - graph[library]):
        failures.append(f"{library} includes headers of {lib} without linking it directly")
    if not folder.endswith("ui"):
        qt = sorted(d for d in all_edges.get(library, ()) if d.startswith("Qt6::"))
        if qt:
            failures.append(f"{library} is a logic library but links {qt}")
        ui = sorted(d for d in graph[library] if d.endswith("_ui"))
        if ui:
            failures.append(f"{library} is a logic library but links the window libraries {ui}")

if failures:
    print("docs/ARCHITECTURE.md and the build disagree:")
    for failure in failures:
        print("  " + failure)
    sys.exit(1)
print(f"the map holds: {len(table)} libraries")
