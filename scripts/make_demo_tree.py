#!/usr/bin/env python3
"""Generates a demo directory tree for Zarnpath: a few hundred directories,
many of them named like "project", with small files so that the preview has
something to show.

    python3 scripts/make_demo_tree.py FOLDER [--flavour main|second]
"""

import argparse
import pathlib
import random

AREAS = ["clients", "archive", "work", "teaching", "home", "lab"]
CLIENTS = ["Alder", "Birch", "Cedar", "Douglas", "Elm", "Fir", "Gingko", "Hazel"]
KINDS = ["project", "Project-Notes", "old_project", "projects-2019", "side-project"]
LEAVES = ["docs", "src", "build", "assets", "tests", "drafts", "invoices", "photos"]
FILES = ["README.md", "notes.txt", "plan.xlsx", "budget.csv", "logo.png", "main.c", "Makefile",
         "report.docx", "todo.txt", "data.json"]


def make(base, rng, flavour):
    made = []

    def mkdir(path):
        path.mkdir(parents=True, exist_ok=True)
        made.append(path)
        for name in rng.sample(FILES, rng.randint(0, 4)):
            (path / name).write_text("demo\n")

    areas = AREAS if flavour == "main" else ["backup", "media"]
    for area in areas:
        for client in rng.sample(CLIENTS, 4 if flavour == "main" else 2):
            for kind in rng.sample(KINDS, 3):
                top = base / area / client / f"{kind} {rng.randint(1, 99):02d}"
                mkdir(top)
                for leaf in rng.sample(LEAVES, rng.randint(3, 6)):
                    mkdir(top / leaf)
                    if rng.random() < 0.3:
                        mkdir(top / leaf / "archive")
    # One long path, to show how a path wider than the row is shortened.
    deep = base / "work" / "a very long folder name that keeps going" / "and another level below it"
    mkdir(deep / "the project that has the longest path of them all")
    return made


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", type=pathlib.Path)
    parser.add_argument("--flavour", choices=["main", "second"], default="main")
    parser.add_argument("--seed", type=int, default=5)
    args = parser.parse_args()
    made = make(args.folder, random.Random(args.seed), args.flavour)
    print(f"{len(made)} directories in {args.folder}")


if __name__ == "__main__":
    main()
