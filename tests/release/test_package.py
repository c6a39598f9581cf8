"""Checks the release package that scripts/package.sh wrote into dist/ (run by
.ci/run after packaging): what the zip holds, the hashes, the manifest, the
version resource, that a second clone packs the same bytes (ZRN_SECOND_DIST)
and that the packed program runs under Wine."""

import hashlib
import io
import json
import os
import pathlib
import re
import struct
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402

DIST = pathlib.Path(os.environ.get("ZRN_DIST", harness.REPO / "dist"))
VERSION = harness.project_version()
ZIP_NAME = f"zarnpath-{VERSION}-win64.zip"


def version_resource(exe):
    """The fixed file and product versions and the string values of the
    executable's version resource (found by its signature and its keys)."""
    fixed = exe.index(struct.pack("<I", 0xFEEF04BD))
    numbers = struct.unpack_from("<IIII", exe, fixed + 8)
    strings = {}
    for key in ("FileVersion", "ProductVersion"):
        start = exe.index((key + "\0").encode("utf-16-le")) + 2 * len(key) + 2
        start += (-start) % 4  # values start on a 32-bit boundary
        end = start
        while exe[end:end + 2] != b"\0\0":
            end += 2
        strings[key] = exe[start:end].decode("utf-16-le")
    return numbers, strings


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.zip_bytes = (DIST / ZIP_NAME).read_bytes()
        cls.archive = zipfile.ZipFile(io.BytesIO(cls.zip_bytes))
        cls.digest = hashlib.sha256(cls.zip_bytes).hexdigest()

    def test_zip_holds_exactly_the_four_files(self):
        self.assertEqual(self.archive.namelist(), ["ZARNPATH.EXE", "ZRN.BAT", "README.txt", "LICENSE.txt"])

    def test_text_files_end_lines_with_cr_lf(self):
        for name in ("README.txt", "LICENSE.txt", "ZRN.BAT"):
            data = self.archive.read(name)
            self.assertGreater(data.count(b"\r\n"), 5, name)
            self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), name)
            self.assertEqual(data.count(b"\r"), data.count(b"\r\n"), name)

    def test_version_resource_carries_the_version_and_the_commit(self):
        numbers, strings = version_resource(self.archive.read("ZARNPATH.EXE"))
        parts = [int(p) for p in VERSION.split(".")] + [0, 0, 0]
        packed = ((parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3])
        self.assertEqual(numbers, packed * 2)  # file version, then product version
        self.assertEqual(strings["FileVersion"], VERSION)
        self.assertEqual(strings["ProductVersion"], f"{VERSION} (commit {harness.source_commit()[:7]})")

    def test_checksums_and_manifest_name_the_zip_and_its_hash(self):
        self.assertEqual((DIST / "SHA256SUMS").read_text(), f"{self.digest}  {ZIP_NAME}\n")
        manifest = json.loads((DIST / "zarnpath.json").read_text())
        self.assertEqual(manifest["hash"], self.digest)
        self.assertEqual(manifest["version"], VERSION)
        self.assertEqual(manifest["license"], "MIT")
        self.assertEqual(manifest["env_add_path"], ".")
        self.assertNotIn("bin", manifest)  # a shim would read the typed words twice
        self.assertRegex(manifest["url"], rf"^https?://\S+/{re.escape(ZIP_NAME)}$")
        for field in ("description", "homepage"):
            self.assertTrue(manifest[field], field)

    @unittest.skipUnless(os.environ.get("ZRN_SECOND_DIST"), "no second package to compare")
    def test_a_second_clone_packs_the_same_bytes(self):
        second = pathlib.Path(os.environ["ZRN_SECOND_DIST"])
        for name in (ZIP_NAME, "SHA256SUMS", "zarnpath.json"):
            self.assertEqual((second / name).read_bytes(), (DIST / name).read_bytes(), name)

    def test_packed_program_prints_its_help_under_wine(self):
        with tempfile.TemporaryDirectory() as unpacked:
            self.archive.extractall(unpacked)
            harness.EXE = pathlib.Path(unpacked) / "ZARNPATH.EXE"
            with harness.Sandbox() as box:
                result = box.run("/?")
        self.assertEqual(result.returncode, 0)
        self.assertIn("ZRN [drive:] directory [switches]\r\n", result.text)


if __name__ == "__main__":
    unittest.main()
