"""Runs the real ZARNPATH.EXE under Wine for the end-to-end tests.

One private Wine prefix per build directory, kept warm by a persistent
wineserver. Each test gets a Sandbox: a program folder holding the executable,
the wrapper and an optional ZRN.INI, and drive letters mapped to temporary
folders. Screens are driven in detached tmux panes of a given size.
"""

import atexit
import os
import pathlib
import shutil
import subprocess
import tempfile
import time
import uuid

REPO = pathlib.Path(__file__).resolve().parents[2]
BUILD_DIR = pathlib.Path(os.environ.get("ZRN_BUILD_DIR", REPO / "build"))
EXE = pathlib.Path(os.environ.get("ZRN_EXE", BUILD_DIR / "ZARNPATH.EXE"))
WRAPPER = pathlib.Path(os.environ.get("ZRN_WRAPPER", REPO / "resources" / "ZRN.BAT"))
PREFIX = BUILD_DIR / "e2e-wineprefix"
DOSDEVICES = PREFIX / "dosdevices"
TMUX_SOCKET = f"zrn-e2e-{os.getpid()}"


def wine_env(extra=None):
    """The environment for a Wine process: private prefix, quiet, no display,
    so that a message box returns at once instead of waiting for a click."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(
        WINEPREFIX=str(PREFIX),
        WINEDEBUG="-all",
        WINEDLLOVERRIDES="mscoree,mshtml=",
    )
    if extra:
        env.update(extra)
    return env


_wine_ready = False


def ensure_wine():
    """Creates the prefix on first use and keeps one wineserver running, so
    that each program start costs about 0.1 s instead of 3 s."""
    global _wine_ready
    if _wine_ready:
        return
    PREFIX.mkdir(parents=True, exist_ok=True)
    subprocess.run(["wine", "cmd", "/c", "exit"], env=wine_env(), stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300, check=False)
    subprocess.run(["wineserver", "-p"], env=wine_env(), check=False)
    atexit.register(_stop_wine)
    _wine_ready = True


def _stop_wine():
    subprocess.run(["tmux", "-L", TMUX_SOCKET, "kill-server"], stderr=subprocess.DEVNULL, check=False)
    subprocess.run(["wineserver", "-k"], env=wine_env(), stderr=subprocess.DEVNULL, check=False)


def windows_path(path):
    """The Wine path of a Unix path: a mapped drive when one holds it, else Z:."""
    path = pathlib.Path(path).resolve()
    best = None
    if DOSDEVICES.is_dir():
        for link in DOSDEVICES.iterdir():
            name = link.name.lower()
            if len(name) != 2 or not name.endswith(":") or name == "z:":
                continue
            try:
                target = link.resolve()
                rel = path.relative_to(target)
            except (OSError, ValueError):
                continue
            if best is None or len(str(target)) > len(str(best[1])):
                best = (name[0].upper(), target, rel)
    if best:
        letter, _, rel = best
        parts = [p for p in rel.parts]
        return f"{letter}:\\" + "\\".join(parts)
    return "Z:" + str(path).replace("/", "\\")


class Result:
    def __init__(self, completed):
        self.returncode = completed.returncode
        self.stdout = completed.stdout
        self.stderr = completed.stderr

    @property
    def text(self):
        return self.stdout.decode("utf-8", errors="replace")


class Sandbox:
    """A program folder and mapped drives that vanish after the test."""

    def __init__(self, ini=None):
        ensure_wine()
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="zrn-e2e-"))
        self.program_dir = self.root / "program"
        self.program_dir.mkdir()
        shutil.copy2(EXE, self.program_dir / "ZARNPATH.EXE")
        shutil.copy2(WRAPPER, self.program_dir / "ZRN.BAT")
        if ini is not None:
            self.write_ini(ini)
        self._drives = []
        self._panes = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for pane in self._panes:
            pane.close()
        for link in self._drives:
            if link.is_symlink():
                link.unlink()
        shutil.rmtree(self.root, ignore_errors=True)

    # Files -------------------------------------------------------------
    def write_ini(self, content):
        data = content.encode("utf-8") if isinstance(content, str) else content
        (self.program_dir / "ZRN.INI").write_bytes(data)

    @property
    def exe(self):
        return self.program_dir / "ZARNPATH.EXE"

    @property
    def exe_windows(self):
        return windows_path(self.exe)

    @property
    def wrapper_windows(self):
        return windows_path(self.program_dir / "ZRN.BAT")

    def change_script(self):
        return (self.program_dir / "ZRN2.BAT").read_bytes()

    def map_drive(self, letter, target=None):
        """Maps drive `letter` to a new empty folder (or to `target`) and
        returns the folder."""
        folder = pathlib.Path(target) if target else self.root / f"drive-{letter.lower()}"
        folder.mkdir(parents=True, exist_ok=True)
        link = DOSDEVICES / f"{letter.lower()}:"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(folder)
        self._drives.append(link)
        return folder

    @staticmethod
    def make_dirs(base, *relative):
        for rel in relative:
            (pathlib.Path(base) / rel).mkdir(parents=True, exist_ok=True)

    # Runs --------------------------------------------------------------
    def run(self, *args, cwd=None, env=None, timeout=120, stdin=None):
        """Runs the program with Wine building its command line from `args`."""
        return self._wine([str(self.exe), *args], cwd, env, timeout, stdin)

    def run_cmd(self, command, cwd=None, env=None, timeout=120):
        """Runs `command` in Wine's cmd, e.g. the wrapper followed by cd, or the
        program with a raw command line. The command goes through a batch file:
        Wine would re-quote it if it were passed as an argument."""
        script = self.root / f"run-{uuid.uuid4().hex[:8]}.bat"
        script.write_bytes(("@echo off\r\n" + command + "\r\n").encode("cp1252", errors="replace"))
        return self._wine(["cmd", "/c", windows_path(script)], cwd, env, timeout, None)

    def _wine(self, argv, cwd, env, timeout, stdin):
        completed = subprocess.run(
            ["wine", *argv], cwd=str(cwd or self.root), env=wine_env(env),
            stdin=stdin if stdin is not None else subprocess.DEVNULL,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout, check=False)
        return Result(completed)

    def pane(self, *args, width=100, height=40, cwd=None, env=None, command=None):
        """Starts the program (or a Wine `command` list) in a detached tmux pane
        of width x height."""
        argv = command if command is not None else [str(self.exe), *args]
        pane = Pane(argv, width, height, cwd or self.root, env)
        self._panes.append(pane)
        return pane


def _quote(text):
    return "'" + str(text).replace("'", "'\\''") + "'"


class Pane:
    """The program in a tmux pane: send keys, read the screen with colours."""

    def __init__(self, argv, width, height, cwd, env):
        self.name = "zrn" + uuid.uuid4().hex[:8]
        self.rc_file = pathlib.Path(tempfile.mkstemp(prefix="zrn-rc-")[1])
        self.rc_file.unlink()
        exports = " ".join(f"{k}={_quote(v)}" for k, v in wine_env(env).items()
                           if k.startswith("WINE") or (env and k in env))
        script = (f"cd {_quote(cwd)} && env -u DISPLAY {exports} wine "
                  + " ".join(_quote(a) for a in argv)
                  + f"; echo $? > {_quote(self.rc_file)}; exec sleep 100000")
        subprocess.run(["tmux", "-L", TMUX_SOCKET, "new-session", "-d", "-s", self.name,
                        "-x", str(width), "-y", str(height), "sh", "-c", script], check=True)

    def send(self, *keys):
        subprocess.run(["tmux", "-L", TMUX_SOCKET, "send-keys", "-t", self.name, *keys], check=True)

    def screen(self, colours=False):
        cmd = ["tmux", "-L", TMUX_SOCKET, "capture-pane", "-p", "-t", self.name]
        if colours:
            cmd.insert(4, "-e")
        return subprocess.run(cmd, stdout=subprocess.PIPE, check=True).stdout.decode("utf-8", "replace")

    def lines(self, colours=False):
        return self.screen(colours).split("\n")

    def wait_for(self, text, timeout=30):
        """Waits until `text` is on the screen; returns the screen."""
        deadline = time.monotonic() + timeout
        while True:
            screen = self.screen()
            if text in screen:
                return screen
            if time.monotonic() > deadline:
                raise AssertionError(f"{text!r} not on screen after {timeout}s:\n{screen}")
            time.sleep(0.1)

    def wait_exit(self, timeout=30):
        """Waits for the program to end; returns its exit code."""
        deadline = time.monotonic() + timeout
        while not self.rc_file.exists() or not self.rc_file.read_text().strip():
            if time.monotonic() > deadline:
                raise AssertionError(f"program still running after {timeout}s:\n{self.screen()}")
            time.sleep(0.1)
        return int(self.rc_file.read_text().strip())

    @property
    def exited(self):
        return self.rc_file.exists() and bool(self.rc_file.read_text().strip())

    def close(self):
        subprocess.run(["tmux", "-L", TMUX_SOCKET, "kill-session", "-t", self.name],
                       stderr=subprocess.DEVNULL, check=False)
        if self.rc_file.exists():
            self.rc_file.unlink()
