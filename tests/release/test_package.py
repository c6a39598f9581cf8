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
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402

DIST = pathlib.Path(os.environ.get("ZRN_DIST", harness.REPO / "dist"))
VERSION = harness.project_version()
ZIP_NAME = f"zarnpath-{VERSION}-win64.zip"
PLACEHOLDER = "https://zarnpath.example/"
# Set by whoever packaged with --placeholder-url: a package only to be checked.
PLACEHOLDER_ALLOWED = os.environ.get("ZRN_PACKAGE_PLACEHOLDER") == "allowed"
WINGET_REQUIRED = {
    "Zarnpath.Zarnpath.yaml": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType",
                               "ManifestVersion"],
    "Zarnpath.Zarnpath.installer.yaml": ["PackageIdentifier", "PackageVersion", "InstallerType",
                                         "NestedInstallerType", "NestedInstallerFiles", "RelativeFilePath",
                                         "Installers", "Architecture", "InstallerUrl", "InstallerSha256",
                                         "ManifestType", "ManifestVersion"],
    "Zarnpath.Zarnpath.locale.en-US.yaml": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher",
                                            "PackageName", "License", "ShortDescription", "ManifestType",
                                            "ManifestVersion"],
}


def yaml_fields(text):
    """The keys and values of a manifest's lines (`Key: value` or `- Key: value`)."""
    return dict(re.findall(r"^[- ]*(\w+):[ ]?(.*)$", text, re.M))


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
        self.assertIn("ZRN.INI", manifest["persist"])  # quick directories outlive an update
        self.assertRegex(manifest["url"], rf"^https?://\S+/{re.escape(ZIP_NAME)}$")
        for field in ("description", "homepage"):
            self.assertTrue(manifest[field], field)

    def test_download_address_is_real_unless_the_placeholder_was_asked_for(self):
        urls = [json.loads((DIST / "zarnpath.json").read_text())["url"],
                yaml_fields((DIST / "winget" / "Zarnpath.Zarnpath.installer.yaml").read_text())["InstallerUrl"]]
        for url in urls:
            self.assertTrue(PLACEHOLDER_ALLOWED or not url.startswith(PLACEHOLDER),
                            f"{url} is the placeholder, and --placeholder-url was not given")

    def test_packaging_refuses_the_placeholder_without_the_flag(self):
        with tempfile.TemporaryDirectory() as scratch:
            env = {k: v for k, v in os.environ.items() if k != "ZRN_RELEASE_BASE_URL"}
            refused = subprocess.run([sys.executable, str(harness.REPO / "scripts" / "make_package.py"),
                                      str(harness.BUILD_DIR), f"{scratch}/dist"], env=env, stdin=subprocess.DEVNULL,
                                     capture_output=True, timeout=120, check=False)
            self.assertNotEqual(refused.returncode, 0)
            self.assertIn("--placeholder-url", refused.stderr.decode())
            self.assertFalse(pathlib.Path(scratch, "dist").exists())

    def test_winget_manifests_hold_the_schemas_required_fields(self):
        for name, required in WINGET_REQUIRED.items():
            fields = yaml_fields((DIST / "winget" / name).read_text())
            self.assertEqual([key for key in required if key not in fields], [], name)
            self.assertEqual(fields["PackageVersion"], f'"{VERSION}"', name)  # a string, not the number
        installer = yaml_fields((DIST / "winget" / "Zarnpath.Zarnpath.installer.yaml").read_text())
        self.assertEqual(installer["InstallerSha256"].strip('"'), self.digest.upper())
        self.assertEqual((installer["NestedInstallerType"], installer["RelativeFilePath"]),
                         ("portable", "ZARNPATH.EXE"))
        self.assertTrue(installer["InstallerUrl"].endswith("/" + ZIP_NAME))

    def test_readme_tells_the_hash_check_before_unzipping_and_every_uninstall_step(self):
        text = self.archive.read("README.txt").decode("utf-8")
        self.assertLess(text.index("Get-FileHash"), text.index("Unzip"))
        uninstall = re.search(r"\r\nUninstall\r\n-+\r\n(.*?)\r\n\S[^\r]*\r\n-+\r\n", text, re.S).group(1)
        for step in ("uninstall zarnpath", "X:\\Zarnpath", "%LOCALAPPDATA%\\Zarnpath", "%TMP%\\ZRN-*"):
            self.assertIn(step, uninstall)

    @unittest.skipUnless(os.environ.get("ZRN_SECOND_DIST"), "no second package to compare")
    def test_a_second_clone_packs_the_same_bytes(self):
        second = pathlib.Path(os.environ["ZRN_SECOND_DIST"])
        for name in (ZIP_NAME, "SHA256SUMS", "zarnpath.json", "winget/Zarnpath.Zarnpath.installer.yaml"):
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
