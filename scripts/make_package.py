"""Writes the release package from a build folder: the zip a Windows user
downloads, its SHA-256 and the scoop manifest. The same build and the same
SOURCE_DATE_EPOCH give the same bytes.

    python3 scripts/make_package.py BUILD_DIR DIST_DIR
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


def manifest(version, zip_name, digest):
    base = os.environ.get("ZRN_RELEASE_BASE_URL", f"{HOMEPAGE}/releases/{version}").rstrip("/")
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
        "notes": "Open a new prompt and type ZRN /? to start.",
    }


def main(build_dir, dist_dir):
    version, commit = build_identity(build_dir)
    readme = (REPO / "resources" / "README.txt").read_text().replace("@VERSION@", version).replace("@COMMIT@", commit)
    entries = [
        ("ZARNPATH.EXE", (build_dir / "ZARNPATH.EXE").read_bytes()),
        ("ZRN.BAT", (REPO / "resources" / "ZRN.BAT").read_bytes()),
        ("README.txt", crlf(readme.encode("utf-8"))),
        ("LICENSE.txt", crlf((REPO / "LICENSE").read_bytes())),
    ]
    shutil.rmtree(dist_dir, ignore_errors=True)
    dist_dir.mkdir(parents=True)
    zip_name = f"zarnpath-{version}-win64.zip"
    write_zip(dist_dir / zip_name, entries)
    digest = hashlib.sha256((dist_dir / zip_name).read_bytes()).hexdigest()
    (dist_dir / "SHA256SUMS").write_text(f"{digest}  {zip_name}\n")
    (dist_dir / "zarnpath.json").write_text(json.dumps(manifest(version, zip_name, digest), indent=4) + "\n")


if __name__ == "__main__":
    main(pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]))
