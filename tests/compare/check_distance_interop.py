#!/usr/bin/python3
"""Interoperation of the distance files with other programs (Debian packages).

1. PHYLIP's gendist computes Reynolds' distance from the same frequencies: its matrix equals
   the one we write.
2. PHYLIP's neighbor reads our PHYLIP matrix (Cyrillic names cut to ten bytes) and builds the
   same neighbor-joining tree (the same splits) as ours.
3. Biopython reads our NEXUS file: the taxa through its TRANSLATE table, the two trees, the
   neighbor-joining one with the same splits, and the support labels as confidences.

Usage: check_distance_interop.py HELPER
"""
import io
import os
import shutil
import subprocess
import sys
import tempfile

from Bio import Phylo

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, finish  # noqa: E402

HELPER = sys.argv[1]
PHYLIP = "/usr/lib/phylip/bin"


def read_square(path):
    """Names (trimmed) and rows of a PHYLIP square matrix, rows possibly wrapped."""
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    count = int(lines[0])
    names, rows = [], []
    for line in lines[1:]:
        if not line.strip():
            continue
        if line[:1] != b" ":
            names.append(line[:10].decode("utf-8").strip())
            rows.append([])
            line = line[10:]
        rows[-1].extend(float(x) for x in line.split())
    check(len(names) == count and all(len(r) == count for r in rows), "square matrix of %s" % path)
    return names, rows


def run_phylip(program, folder, infile, answers):
    """Runs a PHYLIP program on infile in folder through its menu; returns the folder."""
    shutil.copy(infile, os.path.join(folder, "infile"))
    for name in ("outfile", "outtree"):
        if os.path.exists(os.path.join(folder, name)):
            os.remove(os.path.join(folder, name))
    result = subprocess.run([os.path.join(PHYLIP, program)], cwd=folder, input=answers,
                            capture_output=True, text=True, timeout=60)
    if result.returncode != 0 or not os.path.exists(os.path.join(folder, "outfile")):
        sys.exit("%s failed: %s" % (program, result.stdout[-2000:]))


def splits(tree, translate=lambda name: name):
    """The nontrivial splits of a tree, each as the side without the first name in order."""
    leaves = frozenset(translate(t.name) for t in tree.get_terminals())
    first = min(leaves)
    result = set()
    for clade in tree.get_nonterminals():
        side = frozenset(translate(t.name) for t in clade.get_terminals())
        if first in side:
            side = leaves - side
        if 1 < len(side) < len(leaves) - 1:
            result.add(side)
    return result


def phylip_name(name):
    return name.replace("_", " ").strip()


def nexus_name(name):
    """Biopython keeps a quoted NEXUS word's quotes in the name."""
    return name[1:-1].replace("''", "'") if name.startswith("'") else name


with tempfile.TemporaryDirectory() as work:
    out = os.path.join(work, "ours")
    os.mkdir(out)
    subprocess.run([HELPER, out], check=True)
    with open(os.path.join(out, "names"), encoding="utf-8") as f:
        short = dict(line.rstrip("\n").split("\t") for line in f)

    run_phylip("gendist", work, os.path.join(out, "frequencies"), "A\nR\nY\n")
    their_names, theirs = read_square(os.path.join(work, "outfile"))
    our_names, ours = read_square(os.path.join(out, "reynolds.phy"))
    check(their_names == our_names, "gendist names %s" % their_names)
    worst = max(abs(a - b) for r, s in zip(theirs, ours) for a, b in zip(r, s))
    check(worst < 2e-6, "gendist's Reynolds distance differs by %g" % worst)

    run_phylip("neighbor", work, os.path.join(out, "reynolds.phy"), "Y\n")
    with open(os.path.join(work, "outtree"), encoding="utf-8") as f:
        neighbor_tree = Phylo.read(io.StringIO(f.read()), "newick")
    with open(os.path.join(out, "nj.tree"), encoding="utf-8") as f:
        our_tree = Phylo.read(io.StringIO(f.read()), "newick")
    ours_split = splits(our_tree, phylip_name)
    check(len(ours_split) == 4, "our tree has %d splits" % len(ours_split))
    check(splits(neighbor_tree, phylip_name) == ours_split,
          "neighbor's splits %s, ours %s" % (splits(neighbor_tree, phylip_name), ours_split))
    check({phylip_name(t.name) for t in neighbor_tree.get_terminals()}
          == {phylip_name(name) for name in short.values()}, "neighbor's names")

    with open(os.path.join(out, "trees.nex"), encoding="utf-8") as f:
        trees = list(Phylo.parse(f, "nexus"))
    check([nexus_name(t.name) for t in trees] == ["UPGMA", "Neighbor-joining"],
          "NEXUS trees %s" % [t.name for t in trees])
    if len(trees) == 2:
        check({nexus_name(t.name) for t in trees[1].get_terminals()} == set(short),
              "NEXUS taxa %s" % [t.name for t in trees[1].get_terminals()])
        check(splits(trees[1], lambda name: phylip_name(short[nexus_name(name)])) == ours_split,
              "NEXUS splits")
        inner = [c for c in trees[0].get_nonterminals() if c != trees[0].root]
        check(inner and all(c.confidence == 100 for c in inner), "NEXUS support labels")

finish("distance file")
print("distance files: gendist, neighbor and Biopython agree")
