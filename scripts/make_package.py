"""Writes the release package from a build folder: the zip a Windows user
downloads, its SHA-256, the scoop manifest and the winget manifests. The same
build and the same SOURCE_DATE_EPOCH give the same bytes.

    python3 scripts/make_package.py BUILD_DIR DIST_DIR [--placeholder-url]

The manifests download the zip from ZRN_RELEASE_BASE_URL. Without it the
address would be a placeholder that downloads nothing: that is refused unless
--placeholder-url says it is meant (a package made to be checked, not
published), and then a warning says so.
"""

import datetime
import hashlib
import json
import os
import pathlib
import re
import shutil
import sys
import zipfile

REPO = pathlib.Path(__file__).resolve().parents[1]
HOMEPAGE = "https://zarnpath.example"
DESCRIPTION = "Changes the directory of the cmd.exe prompt to one named by a fragment of its name"
FILE_ATTRIBUTE_ARCHIVE = 0x20
PLACEHOLDER_FLAG = "--placeholder-url"
WINGET_ID = "Zarnpath.Zarnpath"
WINGET_SCHEMA = "1.6.0"
README_BEGIN = "<!-- README.txt: begin -->"
README_END = "<!-- README.txt: end -->"


def build_identity(build_dir):
    """The version and commit the executable was built with."""
    header = (build_dir / "generated" / "build_identity.h").read_text()
    return tuple(re.search(rf'#define {name} "([^"]*)"', header).group(1)
                 for name in ("ZRN_VERSION_TEXT", "ZRN_COMMIT"))


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def zip_time():
    """The commit's time as the zip's local time of every entry (a zip holds
    no zone); the format starts in 1980."""
    seconds = max(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")), 315532800)
    return datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc).timetuple()[:6]


def write_zip(path, entries):
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, zip_time())
            info.create_system = 0  # MS-DOS attributes, as Windows' own zips have
            info.external_attr = FILE_ATTRIBUTE_ARCHIVE
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)


def plain_text(markdown):
    """README.md's Markdown as the plain text a user reads in Notepad."""
    lines = []
    for line in markdown.splitlines():
        heading = re.match(r"^#+ (.*)$", line)
        if heading:
            lines += [heading.group(1), "-" * len(heading.group(1))]
            continue
        if re.match(r"^\|[-| ]+\|$", line):
            continue  # a table's rule under its head
        if line.startswith("|"):
            line = "   ".join(cell.strip() for cell in line.strip("|").split("|"))
        line = re.sub(r"\[([^]]+)\]\(([^)]+)\)", r"\1 (\2)", line)
        lines.append(line.replace("**", "").replace("`", ""))
    return "\n".join(lines)


def readme(version, commit):
    """README.txt: the marked user sections of README.md, so that the zip
    says what the README says."""
    text = (REPO / "README.md").read_text(encoding="utf-8")
    parts = re.findall(re.escape(README_BEGIN) + r"\n(.*?)" + re.escape(README_END), text, re.S)
    if not parts:
        raise SystemExit(f"README.md marks no section for README.txt ({README_BEGIN})")
    head = f"Zarnpath {version}\n(built from commit {commit})\n\n"
    return head + "\n".join(plain_text(part.strip("\n")) + "\n" for part in parts)


def release_base(version, placeholder_allowed):
    """Where the manifests download the zip from; None when only the
    placeholder is known and it was not asked for."""
    base = os.environ.get("ZRN_RELEASE_BASE_URL", "").rstrip("/")
    if base:
        return base
    if not placeholder_allowed:
        return None
    return f"{HOMEPAGE}/releases/{version}"


def manifest(version, base, zip_name, digest):
    return {
        "version": version,
        "description": DESCRIPTION,
        "homepage": HOMEPAGE,
        "license": "MIT",
        "url": f"{base}/{zip_name}",
        "hash": digest,
        # ZRN.BAT must run from its own folder on PATH: a shim would read the
        # typed words a second time.
        "env_add_path": ".",
        # The user's quick directories outlive a new version.
        "persist": "ZRN.INI",
        "notes": "Open a new prompt and type ZRN /? to start.",
    }


def winget_manifests(version, base, zip_name, digest):
    """The three files of a winget multi-file manifest: version, installer
    (the zip holds a portable program whose folder goes on PATH, as the
    wrapper must run from there) and the default locale. Plain YAML."""
    common = [("PackageIdentifier", WINGET_ID), ("PackageVersion", version)]
    end = [("ManifestVersion", WINGET_SCHEMA)]
    files = [
        (f"{WINGET_ID}.yaml", "version",
         common + [("DefaultLocale", "en-US"), ("ManifestType", "version")] + end),
        (f"{WINGET_ID}.installer.yaml", "installer", common + [
            ("InstallerType", "zip"),
            ("NestedInstallerType", "portable"),
            ("NestedInstallerFiles", [[("RelativeFilePath", "ZARNPATH.EXE")]]),
            ("ArchiveBinariesDependOnPath", True),
            ("Commands", ["ZRN"]),
            ("Installers", [[("Architecture", "x64"), ("InstallerUrl", f"{base}/{zip_name}"),
                             ("InstallerSha256", digest.upper())]]),
            ("ManifestType", "installer")] + end),
        (f"{WINGET_ID}.locale.en-US.yaml", "defaultLocale", common + [
            ("PackageLocale", "en-US"), ("Publisher", "Zarnpath"), ("PackageName", "Zarnpath"),
            ("PackageUrl", HOMEPAGE), ("License", "MIT"), ("ShortDescription", DESCRIPTION),
            ("ManifestType", "defaultLocale")] + end),
    ]
    return {name: f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{WINGET_SCHEMA}.schema.json\n"
            + yaml(fields) for name, kind, fields in files}


def yaml(fields, indent=""):
    """The few YAML shapes the manifests use: scalars, lists of scalars and
    lists of mappings."""
    out = []
    for key, value in fields:
        if isinstance(value, list):
            out.append(f"{indent}{key}:")
            for item in value:
                if isinstance(item, list):
                    first, *rest = yaml(item, indent + "  ").splitlines()
                    out += [f"{indent}- {first.lstrip()}"] + rest
                else:
                    out.append(f"{indent}- {scalar(item)}")
        else:
            out.append(f"{indent}{key}: {scalar(value)}")
    return "\n".join(out) + "\n"


def scalar(value):
    """A YAML scalar: true or false, else a string, quoted when YAML would
    read it as something else (a version 1.00 as the number 1)."""
    if isinstance(value, bool):
        return "true" if value else "false"
    plain = re.fullmatch(r"[A-Za-z][\w.:/-]*( [\w.:/,()-]+)*", value) and ": " not in value
    return value if plain and value.lower() not in ("true", "false", "yes", "no", "null") else json.dumps(value)


def main(build_dir, dist_dir, placeholder_allowed):
    version, commit = build_identity(build_dir)
    base = release_base(version, placeholder_allowed)
    if base is None:
        sys.exit("ZRN_RELEASE_BASE_URL is not set: the manifests would download from the placeholder "
                 f"{HOMEPAGE}. Set it to where the release's zip will be, or pass {PLACEHOLDER_FLAG} "
                 "for a package that is only checked, not published.")
    entries = [
        ("ZARNPATH.EXE", (build_dir / "ZARNPATH.EXE").read_bytes()),
        ("ZRN.BAT", (REPO / "resources" / "ZRN.BAT").read_bytes()),
        ("README.txt", crlf(readme(version, commit).encode("utf-8"))),
        ("LICENSE.txt", crlf((REPO / "LICENSE").read_bytes())),
    ]
    shutil.rmtree(dist_dir, ignore_errors=True)
    dist_dir.mkdir(parents=True)
    zip_name = f"zarnpath-{version}-win64.zip"
    write_zip(dist_dir / zip_name, entries)
    digest = hashlib.sha256((dist_dir / zip_name).read_bytes()).hexdigest()
    (dist_dir / "SHA256SUMS").write_text(f"{digest}  {zip_name}\n")
    (dist_dir / "zarnpath.json").write_text(json.dumps(manifest(version, base, zip_name, digest), indent=4) + "\n")
    (dist_dir / "winget").mkdir()
    for name, text in winget_manifests(version, base, zip_name, digest).items():
        (dist_dir / "winget" / name).write_text(text)
    if not os.environ.get("ZRN_RELEASE_BASE_URL"):
        print(f"WARNING: the manifests download from the placeholder {base}: this package is not for "
              "publishing (set ZRN_RELEASE_BASE_URL for a release).", file=sys.stderr)


if __name__ == "__main__":
    arguments = sys.argv[1:]
    allowed = PLACEHOLDER_FLAG in arguments
    folders = [a for a in arguments if a != PLACEHOLDER_FLAG]
    if len(folders) != 2:
        sys.exit(__doc__)
    main(pathlib.Path(folders[0]), pathlib.Path(folders[1]), allowed)
