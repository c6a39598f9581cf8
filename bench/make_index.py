"""Writes a realistic directory listing of 1,000,000 Windows paths in two forms:
the index as the program keeps it (ANSI code page 1252, CR LF) and the raw
listing as `cmd /U` writes it (UTF-16LE without byte-order mark, CR LF).

Deep project trees, names with blanks and accented letters, node_modules and
.git folders. One folder in the middle is named after a rare fragment (`Zqrvex`): the
search finds it once, and the paths below it hold the fragment too, so the
first-occurrence rule gets exercised.
"""

import random
import sys

WORDS = ["Projects", "Documents", "Music", "Pictures", "Archive", "Backup", "Clients", "Reports",
         "Invoices", "Old Stuff", "New Folder", "Work", "Private", "Scans", "Photos 2019", "Photos 2020",
         "Café Noir", "Zürich Office", "Résumés", "Ñandú", "Übersicht", "Straße", "Ångström", "Déjà vu",
         "src", "lib", "include", "tests", "build", "dist", "assets", "images", "css", "js", "docs",
         "Release", "Debug", "x64", "bin", "obj", "packages", "tools", "vendor", "third_party", "data",
         "Program Files", "Common Files", "Microsoft", "Windows Kits", "AppData", "Local", "Roaming",
         "Users", "Public", "Desktop", "Downloads", "Videos", "Templates", "Favorites", "Links"]
PACKAGES = ["react", "lodash", "webpack", "babel-core", "@types", "node", "express", "chalk", "debug",
            "ms", "semver", "glob", "minimatch", "rimraf", "mkdirp", "yargs", "commander", "eslint",
            "typescript", "jest-cli", "core-js", "regenerator-runtime", "acorn", "esbuild", "postcss"]
INSIDE_PACKAGE = ["lib", "dist", "src", "cjs", "esm", "types", "test", "docs", "bin", "node_modules"]


def paths(count, rare_every):
    rng = random.Random(2024)
    stack = []
    produced = 0
    while produced < count:
        depth = len(stack)
        roll = rng.random()
        if depth > 2 and roll < 0.36 or depth > 8:
            stack.pop()
            continue
        if depth and stack[-1] == "node_modules":
            name = rng.choice(PACKAGES)
        elif depth and stack[-1] == ".git":
            name = rng.choice(["objects", "refs", "hooks", "info", "logs"])
        elif depth and stack[-1] == "objects":
            name = f"{rng.randrange(256):02x}"
        elif depth and stack[-2:-1] == ["node_modules"]:
            name = rng.choice(INSIDE_PACKAGE)
        else:
            r = rng.random()
            if r < 0.05:
                name = "node_modules"
            elif r < 0.08:
                name = ".git"
            elif r < 0.30:
                name = f"{rng.choice(WORDS)} {rng.randrange(1000)}"
            else:
                name = rng.choice(WORDS)
        if produced % rare_every == rare_every // 2:
            name = "Zqrvex " + name
        stack.append(name)
        produced += 1
        yield "C:\\" + "\\".join(stack)
        if rng.random() < 0.45:
            stack.pop()


def main():
    index_path, listing_path, words_path = sys.argv[1:4]
    count = int(sys.argv[4]) if len(sys.argv) > 4 else 1_000_000
    lines = list(paths(count, rare_every=count))
    text = "\r\n".join(lines) + "\r\n"
    with open(index_path, "wb") as f:
        f.write(text.encode("cp1252"))
    with open(listing_path, "wb") as f:
        f.write(text.encode("utf-16-le"))
    words = ["$Recycle.Bin", "$SysReset", "System Volume Information", "Zarnpath", "$WINDOWS.~BT",
             "$Windows.~WS", "OneDriveTemp", "Recovery", "Boot", "node_modules", ".git"]
    with open(words_path, "wb") as f:
        f.write("\n".join(words).encode("ascii") + b"\n")


if __name__ == "__main__":
    main()
