"""What a folder, a drive or an environment shaped by someone else can make a
search do: no planted program runs, the user's settings do not change the
listings, nothing is written or deleted through a link, and a planted index
leads nowhere off its drive."""

import os
import shutil
import time
import unittest

from change_scripts import script_for
from harness import PLANTED_PROGRAM, Sandbox, host_facts


class TrustBox(unittest.TestCase):
    """Drive D: with a small tree, the temporary folder T:\\tmp."""

    def setUp(self):
        self.box = Sandbox()
        self.addCleanup(self.box.close)
        self.d = self.box.map_drive("D")
        self.box.make_dirs(self.d, "Work/Alpha_Dir", "Work/Beta", "Single/Unique Place")
        self.t = self.box.map_drive("T")
        (self.t / "tmp").mkdir()

    def search(self, args, before="", temp="T:\\tmp", cwd=None):
        lines = [f'set "TEMP={temp}"', f'set "TMP={temp}"', *([before] if before else []),
                 f'"{self.box.exe_windows}" {args}']
        result = self.box.run_cmd("\r\n".join(lines), cwd=cwd or self.d / "Work", timeout=180)
        self.assertEqual(result.returncode, 0, (result.stdout[-500:], result.stderr[-500:]))
        return result

    def user_file(self, name, content=b"the user's own words\r\n"):
        folder = self.d / "User Folder"
        folder.mkdir(exist_ok=True)
        (folder / name).write_bytes(content)
        return folder / name


class SystemCommandInterpreter(TrustBox):
    def test_a_planted_cmd_never_runs(self):
        for folder in (self.d / "Work", self.box.program_dir):
            shutil.copy2(PLANTED_PROGRAM, folder / "CMD.EXE")
        for args, target in (("alp", "D:\\Work\\Alpha_Dir"), ("unique", "D:\\Single\\Unique Place")):
            with self.subTest(args=args):
                # Straight from Wine: a batch file would need a cmd, and the
                # planted one would be found first.
                result = self.box.run(args, cwd=self.d / "Work")
                self.assertEqual(result.returncode, 0)
                self.assertEqual(self.box.change_script(), script_for(target))
        for folder in (self.d / "Work", self.box.program_dir):
            self.assertFalse((folder / "PLANTED.TXT").exists(), folder)

    def test_the_users_dircmd_changes_no_listing(self):
        for dircmd in ("/s", "/l"):
            shutil.rmtree(self.d / "Zarnpath", ignore_errors=True)
            for args, target in (("alp", "D:\\Work\\Alpha_Dir"), ("unique", "D:\\Single\\Unique Place")):
                with self.subTest(dircmd=dircmd, args=args):
                    self.search(args, before=f"set DIRCMD={dircmd}")
                    self.assertEqual(self.box.change_script(), script_for(target))

    def test_a_percent_in_the_temporary_folder_is_no_syntax(self):
        # The folder's name holds %ZZV%, and ZZV is set: cmd must not read it.
        self.search("alp", before="set ZZV=elsewhere", temp="T:\\tmp_%%ZZV%%_x")
        self.assertEqual(self.box.change_script(), script_for("D:\\Work\\Alpha_Dir"))
        self.assertEqual(sorted(p.name for p in self.t.iterdir()), ["tmp", "tmp_%ZZV%_x"])
        self.assertEqual(list((self.t / "tmp_%ZZV%_x").iterdir()), [])

    def test_an_unexpanded_temporary_folder_is_not_made_in_the_current_directory(self):
        self.search("alp", temp="%%USERPROFILE%%\\Local Temp")
        self.assertEqual(self.box.change_script(), script_for("D:\\Work\\Alpha_Dir"))
        self.assertEqual(sorted(p.name for p in (self.d / "Work").iterdir()), ["Alpha_Dir", "Beta"])


class Links(TrustBox):
    def test_a_linked_data_directory_or_readme_writes_nothing_through_the_link(self):
        readme = self.user_file("README.txt")
        os.symlink(readme.parent, self.d / "Zarnpath")
        self.search("unique")
        self.assertEqual(sorted(p.name for p in readme.parent.iterdir()), ["README.txt"])
        self.assertEqual(readme.read_bytes(), b"the user's own words\r\n")

        (self.d / "Zarnpath").unlink()
        (self.d / "Zarnpath").mkdir()
        os.symlink(readme, self.d / "Zarnpath" / "Readme.TXT")
        self.search("unique")
        self.assertEqual(self.box.change_script(), script_for("D:\\Single\\Unique Place"))
        self.assertEqual(readme.read_bytes(), b"the user's own words\r\n")

    def test_a_link_named_like_a_leftover_keeps_its_target(self):
        computer = host_facts()["computer"]
        old = time.time() - 7 * 86400
        targets = []
        for folder, base in ((self.t / "tmp", "ZRNDIRAD"), (self.d / "Zarnpath", "Indexfile.ZRN~")):
            folder.mkdir(exist_ok=True)
            target = self.user_file(f"kept {base}")
            os.utime(target, (old, old))
            os.symlink(target, folder / f"{base}.{computer}.99999-01DD000000000000-1")
            targets.append(target)
        self.search("unique")
        self.assertEqual(self.box.change_script(), script_for("D:\\Single\\Unique Place"))
        for target in targets:
            self.assertEqual(target.read_bytes(), b"the user's own words\r\n")


class PlantedIndexes(TrustBox):
    def test_lines_off_the_drive_are_never_handed_over(self):
        e = self.box.map_drive("E")
        (e / "Zarnpath").mkdir()
        lines = ["C:\\windows\\zq1", "C:zq2", "\\\\.\\C:\\windows\\zq3", "\\\\server\\share\\zq4", "..\\..\\zq5",
                 "\\windows\\zq6", "E:\\a\\..\\..\\zq7", "\\\\server\\share\\z?8\\zq8", "E:\\real\\zq9"]
        (e / "Zarnpath" / "Indexfile.ZRN").write_bytes("\r\n".join(lines).encode("ascii") + b"\r\n")
        self.search("e:zq")
        self.assertEqual(self.box.change_script(), script_for("E:\\real\\zq9"))

    def test_many_default_character_lines_are_resolved_once(self):
        n = self.box.map_drive("N")
        # Each line stands for two folders: the cap counts what they resolve to.
        self.box.make_dirs(n, "x\u0416/pq", "x\u0414/pq")
        (n / "Zarnpath").mkdir()
        (n / "Zarnpath" / "Indexfile.ZRN").write_bytes(b"N:\\x?\\pq\r\n" * 200_000)
        result = self.search("n:pq")
        lines = result.text.splitlines()
        self.assertEqual(len(lines), 100_001)
        self.assertIn(lines[0], ("N:\\x\u0416\\pq", "N:\\x\u0414\\pq"))
        self.assertEqual(lines[-1], "(+200,000 more)")

    def test_f2_shows_its_own_list_over_a_future_dated_one(self):
        # The data directory is a link: the drive's index cannot be written.
        r = self.box.map_drive("R")
        self.box.make_dirs(r, "elsewhere", "real/found-qxa", "real/found-qxb")
        index = r / "elsewhere" / "Indexfile.ZRN"
        index.write_bytes(b"R:\\planted-qxa\r\nR:\\planted-qxb\r\n")
        future = time.time() + 3000 * 86400
        os.utime(index, (future, future))
        os.symlink(r / "elsewhere", r / "Zarnpath")
        pane = self.box.pane("r:qx", cwd=self.d / "Work")
        pane.wait_for("R:\\planted-qxa")
        pane.send("F2")
        # The counter is drawn after the last row: a capture that shows it
        # with the new rows is not one taken mid-redraw.
        lines = pane.wait_until(lambda lines: "R:\\real\\found-qxb" in "".join(lines)
                                and "Row 1 to 2 / 2" in lines[4])
        self.assertNotIn("planted", "".join(lines))
        pane.send("Escape")
        self.assertEqual(pane.wait_exit(), 0)

    def test_a_listing_beyond_any_real_drive_keeps_the_old_index(self):
        # A folder link loop (Wine's cmd dies of it), and more paths too long
        # to offer than the listing's bounds allow.
        deep = "/".join(["d" * 230] * 9)
        drives = {"L": self.box.map_drive("L"), "M": self.box.map_drive("M")}
        (drives["L"] / "a").mkdir()
        for name in ("s1", "s2"):
            os.symlink("..", drives["L"] / "a" / name)
        self.box.make_dirs(drives["M"], *(f"{deep}/{i}" for i in range(1001)))
        self.box.write_ini("[Default]\r\nIndextime = 1\r\n")
        for letter, drive in drives.items():
            with self.subTest(letter):
                (drive / "Zarnpath").mkdir()
                index = drive / "Zarnpath" / "Indexfile.ZRN"
                old = f"{letter}:\\old\\target\r\n".encode()
                index.write_bytes(old)
                stamp = time.time() - 400 * 86400
                os.utime(index, (stamp, stamp))
                result = self.search(f"{letter.lower()}:target")
                self.assertEqual(index.read_bytes(), old)
                self.assertIn(f"The listing of {letter}:\\ was stopped", result.text)
                # The line says what gave the listing away.
                self.assertRegex(result.text, r"was stopped: (more than 1000 of its paths|it grew past|cmd ended by a crash)")
                self.assertEqual(self.box.change_script(), script_for(f"{letter}:\\old\\target"))


if __name__ == "__main__":
    unittest.main()
