"""Runs the real ZARNPATH.EXE under Wine for the end-to-end tests.

Each test group (one test_*.py file) has a Wine prefix of its own, copied from
a template prefix, and a tmux server of its own, so that groups can run side by
side. The group's Wine is made ready before its first test: a persistent
wineserver, and a keeper program that holds the desktop open, both started
with their standard handles on the null device. Wine's background processes
(services, explorer.exe /desktop) are then started once, on purpose, and never
later by a test's run, which would hand them that run's output.

Each test gets a Sandbox: a program folder holding the executable, the wrapper
and an optional ZRN.INI, and drive letters mapped to temporary folders. Every
Wine process writes its output to files and is waited for with a timeout; one
that runs over is ended together with everything it started, and the test
fails with what it printed. Screens are driven in detached tmux panes.

What is Wine's lives behind one seam, HOST: how a Windows program starts, how
a drive letter maps to a folder, the console driver, and the facts where Wine
differs from Windows that tests lean on. On Windows itself (NativeWindowsHost)
programs start directly, drives are mapped with subst, and the tests that need
a console driver are skipped.

Run as a script with --make-template, it makes the template prefix.
"""

import atexit
import os
import pathlib
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import uuid

try:
    import fcntl  # only for the Wine template's lock
except ImportError:
    fcntl = None

REPO = pathlib.Path(__file__).resolve().parents[2]
BUILD_DIR = pathlib.Path(os.environ.get("ZRN_BUILD_DIR", REPO / "build"))
EXE = pathlib.Path(os.environ.get("ZRN_EXE", BUILD_DIR / "ZARNPATH.EXE"))
WRAPPER = pathlib.Path(os.environ.get("ZRN_WRAPPER", REPO / "resources" / "ZRN.BAT"))
HOST_FACTS = pathlib.Path(os.environ.get("ZRN_HOST_FACTS", BUILD_DIR / "tests" / "host_facts.exe"))
PLANTED_PROGRAM = HOST_FACTS.with_name("planted_program.exe")
FILE_HOLDER = pathlib.Path(os.environ.get("ZRN_FILE_HOLDER", BUILD_DIR / "tests" / "file_holder.exe"))
DESKTOP_KEEPER = pathlib.Path(os.environ.get("ZRN_DESKTOP_KEEPER", BUILD_DIR / "tests" / "desktop_keeper.exe"))
TEMPLATE = pathlib.Path(os.environ.get("ZRN_WINE_TEMPLATE", BUILD_DIR / "e2e-prefix-template"))


def _group_from_command_line():
    """The group that `python3 -m unittest test_xxx` runs: xxx."""
    for arg in sys.argv[1:]:
        name = pathlib.Path(arg.split(".")[0]).name
        if name.startswith("test_"):
            return name[len("test_"):]
    return "manual"


GROUP = os.environ.get("ZRN_E2E_GROUP") or _group_from_command_line()
PREFIX = pathlib.Path(os.environ.get("ZRN_WINEPREFIX", BUILD_DIR / f"e2e-prefix-{GROUP}"))
DOSDEVICES = PREFIX / "dosdevices"
TMUX_SOCKET = f"zrn-e2e-{GROUP}-{os.getpid()}"

# The variable that marks every process a run starts: Wine hands a program's
# environment on to the processes it creates, also to those in a new session.
RUN_TAG = "ZRN_E2E_RUN"
# Seconds the wineserver stays after its last process: a group that was killed
# leaves nothing running for long (the keeper ends when the harness goes).
SERVER_LINGER = 20
# File names that the template's copies share as hard links: Wine's programs,
# libraries and tables, which nothing writes once the prefix exists.
SHARED_SUFFIXES = {".dll", ".exe", ".drv", ".sys", ".nls", ".ocx", ".acm", ".cpl", ".tlb", ".ax", ".ds",
                   ".com", ".msstyles", ".icm"}
TEMPLATE_MARK = "zrn-template"
# Wine maps a page of its own at a fixed address in every new process. With
# the host's address-space randomisation, now and then something else lands
# there first and the process never starts ("failed to map the shared user
# data"): cmd says it cannot recognise the program, or wine ends with exit
# code 1 and nothing printed. Every Windows program of the tests starts with
# randomisation off, and the processes it starts inherit that.
WINE = (["setarch", "-R"] if shutil.which("setarch") else []) + ["wine"]


def wine_env(extra=None, prefix=None):
    """The environment for a Wine process: private prefix, quiet, no display,
    so that a message box returns at once instead of waiting for a click."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(
        WINEPREFIX=str(prefix or PREFIX),
        WINEDEBUG="-all",
        WINEDLLOVERRIDES="mscoree,mshtml=",
    )
    if extra:
        env.update(extra)
    return env


# The seam: what is Wine's ----------------------------------------------------
class WineHost:
    """Windows programs run under Wine, in the group's own prefix; drive
    letters are links in its dosdevices folder; screens are tmux panes. The
    facts below were checked under Wine 8 (where it differs from Windows)."""

    name = "wine"
    # Screens can be read and typed into: the program's console is a tmux pane.
    console_driver = True
    # cmd takes , ; = and tabs between a batch file's words (Windows keeps
    # them inside the word), and %~1 drops every quote of a word, not only
    # the outer pair; the wrapper then takes the words one by one.
    splits_words_at_separators = True
    tilde_drops_every_quote = True
    # The ANSI code page (what a batch file is read in) and a console's.
    ansi_code_page = 1252
    console_code_page = 437
    # The drive letters are those that existed when the server started.
    drives_need_restart = True

    def launch(self, argv):
        return [*WINE, *(str(a) for a in argv)]

    def environment(self, extra=None):
        return wine_env(extra)

    def start(self):
        _fresh_prefix()
        _start_wine()

    def stop(self):
        _stop_processes()
        server_folder = PREFIX / "wineserver"
        if server_folder.is_file() and server_folder.read_text().startswith("wine-"):
            shutil.rmtree(pathlib.Path(tempfile.gettempdir()) / server_folder.read_text().strip(),
                          ignore_errors=True)
        shutil.rmtree(PREFIX, ignore_errors=True)

    def map_drive(self, letter, folder):
        link = DOSDEVICES / f"{letter.lower()}:"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(folder)

    def unmap_drive(self, letter):
        link = DOSDEVICES / f"{letter.lower()}:"
        if link.is_symlink():
            link.unlink()

    def mapped_drives(self):
        """{letter: folder} of the drives other than Z:, Wine's view of /."""
        found = {}
        if DOSDEVICES.is_dir():
            for link in DOSDEVICES.iterdir():
                name = link.name.lower()
                if len(name) == 2 and name.endswith(":") and name != "z:":
                    try:
                        found[name[0].upper()] = link.resolve()
                    except OSError:
                        continue
        return found

    def unmapped_path(self, path):
        return "Z:" + str(path).replace("/", "\\")

    def working_directory(self, folder):
        # Wine names a Unix folder inside a mapped drive by the drive's letter.
        return str(folder)

    def host_path(self, path):
        return DOSDEVICES / f"{path[0].lower()}:" / pathlib.PureWindowsPath(path[3:]).as_posix()

    def system_drive(self):
        """The folder the program sees as C:\\."""
        return PREFIX / "drive_c"

    def end_process(self, popen, tag):
        try:
            os.killpg(popen.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        _end_tagged(tag)


class NativeWindowsHost:
    """Windows itself: programs start directly, drive letters are mapped with
    subst (the letters the tests use must be free), and there is no console
    driver, so the screens' tests are skipped."""

    name = "windows"
    console_driver = False
    splits_words_at_separators = False
    tilde_drops_every_quote = False
    drives_need_restart = False

    def __init__(self):
        import ctypes  # noqa: PLC0415 (Windows only)
        self.ansi_code_page = ctypes.windll.kernel32.GetACP()
        self.console_code_page = ctypes.windll.kernel32.GetOEMCP()
        self._drives = {}

    def launch(self, argv):
        return [str(a) for a in argv]

    def environment(self, extra=None):
        return {**os.environ, **(extra or {})}

    def start(self):
        pass

    def stop(self):
        for letter in list(self._drives):
            self.unmap_drive(letter)

    def map_drive(self, letter, folder):
        self.unmap_drive(letter)
        if os.path.exists(f"{letter}:\\"):
            raise RuntimeError(f"drive {letter}: exists on this machine; the tests need it free")
        if _quiet(["subst", f"{letter}:", str(folder)], None, timeout=60) != 0:
            raise RuntimeError(f"subst could not map {letter}: to {folder}")
        self._drives[letter.upper()] = pathlib.Path(folder).resolve()

    def unmap_drive(self, letter):
        if self._drives.pop(letter.upper(), None) is not None:
            _quiet(["subst", f"{letter}:", "/D"], None, timeout=60)

    def mapped_drives(self):
        return dict(self._drives)

    def unmapped_path(self, path):
        return str(path)

    def working_directory(self, folder):
        # A folder inside a mapped drive is entered by the drive's letter, so
        # that the program sees it as Wine would show it.
        return windows_path(folder)

    def host_path(self, path):
        folder = self._drives.get(path[0].upper())
        return folder / path[3:] if folder else pathlib.Path(path)

    def system_drive(self):
        return pathlib.Path(os.environ.get("SystemDrive", "C:") + "\\")

    def end_process(self, popen, tag):
        _quiet(["taskkill", "/F", "/T", "/PID", str(popen.pid)], None, timeout=60)


# A run in a session of its own is ended with all it started (POSIX only).
_SESSIONS = os.name != "nt"
HOST = NativeWindowsHost() if os.name == "nt" else WineHost()


def _quiet(argv, env, timeout):
    """Runs a short command with every standard handle on the null device, so
    that nothing it leaves running can hold a pipe of ours."""
    return subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, start_new_session=_SESSIONS, timeout=timeout,
                          check=False).returncode


def _wine_version():
    return subprocess.run(["wine", "--version"], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, timeout=60, check=False).stdout.decode().strip()


def _stop_wineserver(prefix):
    """Ends the wineserver of `prefix` and every process in it."""
    if prefix.is_dir():
        env = wine_env(prefix=prefix)
        _quiet(["wineserver", "-k"], env, timeout=60)
        _quiet(["wineserver", "-w"], env, timeout=60)


class _Lock:
    """An exclusive lock on a file beside the template, for groups that make
    or copy it at the same time."""

    def __init__(self, path):
        self.path = path

    def __enter__(self):
        self.path.parent.mkdir(parents=True, exist_ok=True)
        self.file = open(self.path, "w")
        fcntl.flock(self.file, fcntl.LOCK_EX)

    def __exit__(self, *exc):
        self.file.close()


def _template_lock():
    return _Lock(TEMPLATE.with_name(TEMPLATE.name + ".lock"))


def _template_is_current():
    mark = TEMPLATE / TEMPLATE_MARK
    return mark.is_file() and mark.read_text() == _wine_version()


def _make_template_locked():
    if _template_is_current():
        return
    _stop_wineserver(TEMPLATE)
    shutil.rmtree(TEMPLATE, ignore_errors=True)
    work = TEMPLATE.with_name(f"{TEMPLATE.name}.new-{os.getpid()}")
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    env = wine_env(prefix=work)
    if _quiet(["wineboot", "--init"], env, timeout=300) != 0:
        raise RuntimeError(f"wineboot --init failed in {work}")
    # The registry reaches its files when the wineserver ends.
    _quiet(["wineserver", "-k"], env, timeout=60)
    _quiet(["wineserver", "-w"], env, timeout=60)
    # Never rewrite the shared files in a copy: no prefix update on a new Wine.
    (work / ".update-timestamp").write_text("disable\n")
    (work / TEMPLATE_MARK).write_text(_wine_version())
    work.rename(TEMPLATE)


def make_template():
    """Makes the template prefix unless one made by this Wine exists."""
    with _template_lock():
        _make_template_locked()


def copy_template(target):
    """A Wine prefix of its own at `target`, copied from the template, for a
    script that starts Wine itself."""
    with _template_lock():
        _make_template_locked()
        _copy_prefix(TEMPLATE, pathlib.Path(target))


def _copy_prefix(source, target):
    """A copy of the template: Wine's binaries as hard links, the rest (the
    registry, the users' folders, win.ini) as files of its own."""
    for folder, dirs, files in os.walk(source):
        relative = pathlib.Path(folder).relative_to(source)
        (target / relative).mkdir(exist_ok=True)
        for name in dirs + files:
            origin = pathlib.Path(folder) / name
            copy = target / relative / name
            if origin.is_symlink():
                copy.symlink_to(os.readlink(origin))
                if name in dirs:
                    dirs.remove(name)
            elif name in files:
                if origin.suffix.lower() in SHARED_SUFFIXES:
                    os.link(origin, copy)
                else:
                    shutil.copy2(origin, copy)
    # Debian's Wine names the prefix's server folder under /tmp in this file:
    # without it the copy gets a folder of its own.
    for own in (TEMPLATE_MARK, "wineserver"):
        (target / own).unlink(missing_ok=True)


def _fresh_prefix():
    # A group's prefix left by an earlier run of the same group goes, with a
    # wineserver that run may have left when it was killed.
    _stop_wineserver(PREFIX)
    shutil.rmtree(PREFIX, ignore_errors=True)
    with _template_lock():
        _make_template_locked()
        _copy_prefix(TEMPLATE, PREFIX)


# The group's Wine ---------------------------------------------------------
_scratch = None
_keeper = None
_ready = False
_failure = None


def ensure_wine():
    """Makes the group's prefix and starts its Wine once; the later program
    starts then cost about 0.1 s instead of 3 s."""
    global _ready, _scratch, _failure
    if _ready:
        return
    if _failure:
        raise RuntimeError(f"the group's Wine could not start: {_failure}")
    atexit.register(_stop_wine)
    _scratch = pathlib.Path(tempfile.mkdtemp(prefix=f"zrn-e2e-{GROUP}-"))
    try:
        HOST.start()
    except Exception as failure:
        _failure = failure
        raise
    _ready = True


def _start_wine():
    global _keeper
    env = wine_env()
    _quiet(["wineserver", f"-p{SERVER_LINGER}"], env, timeout=60)
    ready = _scratch / f"desktop-{uuid.uuid4().hex[:8]}"
    # The keeper's input is a pipe only the harness writes to: it ends when
    # the harness ends, however that happens.
    _keeper = subprocess.Popen(HOST.launch([DESKTOP_KEEPER, windows_path(ready)]), env=env, cwd=str(_scratch),
                               stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    deadline = time.monotonic() + 300
    while not ready.exists():
        if _keeper.poll() is not None or time.monotonic() > deadline:
            code = _keeper.returncode
            _stop_processes()
            raise RuntimeError(f"Wine's desktop did not start in {PREFIX} (keeper exit code {code})")
        time.sleep(0.05)


def _stop_processes():
    global _keeper
    if _keeper is not None:
        _keeper.stdin.close()
        try:
            _keeper.wait(timeout=30)
        except subprocess.TimeoutExpired:
            _keeper.kill()
            _keeper.wait()
        _keeper = None
    _stop_wineserver(PREFIX)


def restart_wine():
    """Restarts the group's Wine in the same prefix. Wine lists the drives that
    its mount manager found when it started: drives mapped since then appear
    only after a restart."""
    ensure_wine()
    if HOST.drives_need_restart:
        _stop_processes()
        _start_wine()


def _stop_wine():
    if HOST.console_driver:
        _tmux("kill-server")
        # tmux leaves its socket behind.
        socket = pathlib.Path(os.environ.get("TMUX_TMPDIR", "/tmp")) / f"tmux-{os.getuid()}" / TMUX_SOCKET
        socket.unlink(missing_ok=True)
    HOST.stop()
    if _scratch is not None:
        shutil.rmtree(_scratch, ignore_errors=True)


def wine_processes():
    """The processes running in the group's prefix: (pid, command line)."""
    found = []
    for pid in _pids_whose_environment_holds(f"WINEPREFIX={PREFIX}"):
        try:
            command = pathlib.Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ")
        except OSError:
            continue
        found.append((pid, command.decode(errors="replace").strip()))
    return found


def _pids_whose_environment_holds(*entries):
    wanted = {entry.encode() for entry in entries}
    for name in os.listdir("/proc") if os.path.isdir("/proc") else []:
        if not name.isdigit() or int(name) == os.getpid():
            continue
        try:
            environment = pathlib.Path(f"/proc/{name}/environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if wanted.intersection(environment):
            yield int(name)


def _end_tagged(*tags):
    """Ends every process that carries one of the runs' tags."""
    for pid in _pids_whose_environment_holds(*(f"{RUN_TAG}={tag}" for tag in tags)):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def windows_path(path):
    """The Windows path of a test's path: on a mapped drive when one holds it,
    else as the host names it (Z: under Wine)."""
    path = pathlib.Path(path).resolve()
    best = None
    for letter, target in HOST.mapped_drives().items():
        try:
            rel = path.relative_to(target)
        except ValueError:
            continue
        if best is None or len(str(target)) > len(str(best[1])):
            best = (letter, target, rel)
    if best:
        letter, _, rel = best
        return f"{letter}:\\" + "\\".join(rel.parts)
    return HOST.unmapped_path(path)


def unix_path(path):
    """The test's own path of a Windows path on a drive the program sees."""
    return HOST.host_path(path)


# The build's identity ------------------------------------------------------
def project_version():
    """The version that CMakeLists.txt sets, as the program shows it."""
    text = (REPO / "CMakeLists.txt").read_text()
    return re.search(r"^project\(\w+ VERSION ([0-9.]+)", text, re.M).group(1)


def source_commit():
    """The full hash of the commit the sources were checked out at, or None."""
    found = subprocess.run(["git", "-C", str(REPO), "rev-parse", "HEAD"], stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60, check=False)
    return found.stdout.decode().strip() if found.returncode == 0 else None


# Runs ---------------------------------------------------------------------
class RunTimeout(AssertionError):
    """A run that did not end in time; the message holds what it printed."""


class Result:
    def __init__(self, returncode, stdout, stderr):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr

    @property
    def text(self):
        return self.stdout.decode("utf-8", errors="replace")


def wait_until(condition, timeout, what):
    """Waits until `condition()` gives something true; returns it."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"{what} not seen within {timeout} s")


def _tail(path, size=3000):
    try:
        data = path.read_bytes()
    except OSError:
        return "(no output file)"
    cut = data[-size:].decode("utf-8", errors="replace")
    return ("..." if len(data) > size else "") + cut


class Process:
    """A process of a test (a Wine program, or a shell that starts one) in a
    session of its own, its output going to files. `stdin` is None for the
    null device, bytes to read, subprocess.PIPE, or a file or descriptor."""

    def __init__(self, argv, cwd, env, stdin, directory):
        self.argv = [str(a) for a in argv]
        self.tag = uuid.uuid4().hex[:12]
        self.stdout_path = directory / f"stdout-{self.tag}"
        self.stderr_path = directory / f"stderr-{self.tag}"
        opened = None
        if isinstance(stdin, bytes):
            stdin_path = directory / f"stdin-{self.tag}"
            stdin_path.write_bytes(stdin)
            stdin = opened = open(stdin_path, "rb")
        elif stdin is None:
            stdin = subprocess.DEVNULL
        try:
            with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
                self.popen = subprocess.Popen(self.argv, cwd=HOST.working_directory(cwd),
                                              env=HOST.environment({**(env or {}), RUN_TAG: self.tag}),
                                              stdin=stdin, stdout=out, stderr=err, start_new_session=_SESSIONS)
        finally:
            if opened:
                opened.close()

    @property
    def stdin(self):
        return self.popen.stdin

    def run(self, timeout):
        """Waits for the end, with an empty input as subprocess.run gives for
        subprocess.PIPE; returns the Result."""
        if self.popen.stdin:
            self.popen.stdin.close()
        self.wait(timeout)
        return self.result()

    def wait(self, timeout):
        """The exit code; a run still going after `timeout` seconds is ended
        and the test fails with what it printed."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise RunTimeout(self.describe(f"still running after {timeout} s, ended")) from None

    def wait_output(self, text, timeout=60):
        """Waits until the process has printed `text` (bytes)."""
        deadline = time.monotonic() + timeout
        while text not in self.stdout_path.read_bytes():
            if self.popen.poll() is not None:
                raise AssertionError(self.describe(f"ended with exit code {self.popen.returncode} "
                                                   f"without printing {text!r}"))
            if time.monotonic() > deadline:
                self.kill()
                raise RunTimeout(self.describe(f"did not print {text!r} in {timeout} s, ended"))
            time.sleep(0.05)

    def finish(self, timeout=60):
        """Closes the process's input and waits for its end."""
        if self.popen.stdin:
            self.popen.stdin.close()
        return self.wait(timeout)

    def kill(self):
        """Ends the process, its session and every process it started."""
        HOST.end_process(self.popen, self.tag)
        self.popen.wait()
        if self.popen.stdin:
            self.popen.stdin.close()

    def result(self):
        return Result(self.popen.returncode, self.stdout_path.read_bytes(), self.stderr_path.read_bytes())

    def describe(self, what):
        return (f"{shlex.join(self.argv)}\n{what}\n"
                f"--- its output ---\n{_tail(self.stdout_path)}\n--- its errors ---\n{_tail(self.stderr_path)}")


def run_wine(argv, cwd=None, env=None, timeout=120, stdin=None):
    """Runs a Windows program (`argv` without "wine") outside any sandbox."""
    ensure_wine()
    return Process(HOST.launch(argv), cwd or _scratch, env, stdin, _scratch).run(timeout)


_host_facts = None


def host_facts():
    """What Windows tells a program about this machine, asked by a program of
    its own (tests/tools/host_facts.cpp): a dict of its "name=value" lines."""
    global _host_facts
    if _host_facts is None:
        ensure_wine()
        output = _scratch / "host-facts.txt"
        result = run_wine([str(HOST_FACTS), windows_path(output)])
        if result.returncode != 0 or not output.exists():
            raise AssertionError(f"host_facts.exe failed with exit code {result.returncode}")
        lines = output.read_text(encoding="utf-8").splitlines()
        _host_facts = dict(line.split("=", 1) for line in lines)
    return _host_facts


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
        self._processes = []
        # The runs' output files, apart from the folders the tests look into.
        self.runs_dir = pathlib.Path(tempfile.mkdtemp(prefix="zrn-e2e-runs-"))

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for pane in self._panes:
            pane.close()
        for process in self._processes:
            if process.popen.poll() is None:
                process.kill()
            if process.popen.stdin:
                process.popen.stdin.close()
        # What the runs started and left behind, in one look at the processes.
        _end_tagged(*(process.tag for process in self._processes))
        for letter in self._drives:
            HOST.unmap_drive(letter)
            for index in self.fallback_indexes(letter):
                index.unlink()
        choices = self.choices_file()
        for kept in (choices, choices.with_suffix(".lock")):
            kept.unlink(missing_ok=True)
        shutil.rmtree(self.root, ignore_errors=True)
        shutil.rmtree(self.runs_dir, ignore_errors=True)

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
        HOST.map_drive(letter, folder)
        self._drives.append(letter)
        return folder

    @staticmethod
    def make_dirs(base, *relative):
        for rel in relative:
            (pathlib.Path(base) / rel).mkdir(parents=True, exist_ok=True)

    @staticmethod
    def make_many_dirs(base, count):
        """`count` directories in groups of 150 below `base`, enough to keep
        an index build going for a while; returns their relative names."""
        names = [f"area{i // 150:02d}/shelf{i % 150:03d}" for i in range(count)]
        Sandbox.make_dirs(base, *names)
        return names

    @staticmethod
    def fallback_indexes(letter):
        """The indexes that the program keeps in the user's own folder for
        drive `letter`, whose root it could not write."""
        folder = unix_path(host_facts()["folder_28"]) / "Zarnpath"
        return sorted(folder.glob(f"Indexfile-{letter.upper()}*.ZRN")) if folder.is_dir() else []

    @staticmethod
    def choices_file():
        """Where the learned order keeps the user's choices."""
        return unix_path(host_facts()["folder_28"]) / "Zarnpath" / "Chosen.ZRN"

    # Runs --------------------------------------------------------------
    def run(self, *args, cwd=None, env=None, timeout=120, stdin=None):
        """Runs the program with Wine building its command line from `args`."""
        return self._wine([str(self.exe), *args], cwd, env, timeout, stdin)

    def run_cmd(self, command, cwd=None, env=None, timeout=120, stdin=None):
        """Runs `command` in Wine's cmd, e.g. the wrapper followed by cd, or the
        program with a raw command line. The command goes through a batch file:
        Wine would re-quote it if it were passed as an argument."""
        return self.start_cmd(command, cwd, env, stdin).run(timeout)

    def start_cmd(self, command, cwd=None, env=None, stdin=None):
        """Starts `command` in Wine's cmd as `run_cmd` does, without waiting."""
        script = self.root / f"run-{uuid.uuid4().hex[:8]}.bat"
        script.write_bytes(("@echo off\r\n" + command + "\r\n").encode(f"cp{HOST.ansi_code_page}", errors="replace"))
        return self.start("cmd", "/c", windows_path(script), cwd=cwd, env=env, stdin=stdin)

    def run_shell(self, command, cwd=None, env=None, timeout=120):
        """Runs a Unix shell `command` (which may start Wine, e.g. in a pipe)
        in the group's Wine environment."""
        return self.start_process(["sh", "-c", command], cwd, env, None).run(timeout)

    def start(self, *argv, cwd=None, env=None, stdin=None):
        """Starts a Windows program (`argv` without "wine") that runs beside
        the test, e.g. one that holds a file; it ends at the latest with the
        sandbox."""
        return self.start_process(HOST.launch(argv), cwd, env, stdin)

    def hold(self, path, share_mode):
        """Starts a Windows process that holds `path` open for reading and
        writing with `share_mode` (0: nobody else may open it); returns it
        once the file is held. It lets go at its `finish`."""
        holder = self.start(FILE_HOLDER, windows_path(path), str(share_mode), stdin=subprocess.PIPE)
        holder.wait_output(b"held")
        return holder

    def start_process(self, argv, cwd=None, env=None, stdin=None):
        process = Process(argv, cwd or self.root, env, stdin, self.runs_dir)
        self._processes.append(process)
        return process

    def _wine(self, argv, cwd, env, timeout, stdin):
        return self.start(*argv, cwd=cwd, env=env, stdin=stdin).run(timeout)

    def pane(self, *args, width=100, height=40, cwd=None, env=None, command=None):
        """Starts the program (or a Wine `command` list) in a detached tmux pane
        of width x height; skipped where the host has no console driver."""
        if not HOST.console_driver:
            raise unittest.SkipTest(f"no console driver on {HOST.name}")
        argv = command if command is not None else [str(self.exe), *args]
        pane = Pane(HOST.launch(argv), width, height, cwd or self.root, env)
        self._panes.append(pane)
        return pane


def _tmux(*args, capture=False):
    """A tmux command on the group's server; its output when `capture`."""
    completed = subprocess.run(["tmux", "-L", TMUX_SOCKET, *args], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE if capture else subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=60, check=False)
    return completed


def _quote(text):
    return "'" + str(text).replace("'", "'\\''") + "'"


class Pane:
    """A program (`argv` as started, e.g. by HOST.launch) in a tmux pane: send
    keys, read the screen with colours."""

    def __init__(self, argv, width, height, cwd, env):
        self.name = "zrn" + uuid.uuid4().hex[:8]
        self.tag = uuid.uuid4().hex[:12]
        self.argv = [str(a) for a in argv]
        self.rc_file = pathlib.Path(tempfile.mkstemp(prefix="zrn-rc-")[1])
        self.rc_file.unlink()
        variables = wine_env({**(env or {}), RUN_TAG: self.tag})
        exports = " ".join(f"{k}={_quote(v)}" for k, v in variables.items()
                           if k.startswith("WINE") or k == RUN_TAG or (env and k in env))
        script = (f"cd {_quote(cwd)} && env -u DISPLAY {exports} "
                  + " ".join(_quote(a) for a in self.argv)
                  + f"; echo $? > {_quote(self.rc_file)}; exec sleep 100000")
        started = _tmux("new-session", "-d", "-s", self.name, "-x", str(width), "-y", str(height),
                        "sh", "-c", script)
        if started.returncode != 0:
            raise RuntimeError(f"tmux could not open a pane for {self.argv}")

    def send(self, *keys):
        if _tmux("send-keys", "-t", self.name, *keys).returncode != 0:
            raise AssertionError(self._describe(f"keys {keys} not delivered"))

    def screen(self, colours=False):
        options = ["-e"] if colours else []
        completed = _tmux("capture-pane", "-p", *options, "-t", self.name, capture=True)
        if completed.returncode != 0:
            raise AssertionError(f"pane of {self.argv} is gone")
        return completed.stdout.decode("utf-8", "replace")

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
                raise AssertionError(self._describe(f"{text!r} not on screen after {timeout} s", screen))
            time.sleep(0.1)

    def wait_until(self, check, timeout=30):
        """Waits until `check` holds for the screen's lines; returns them."""
        deadline = time.monotonic() + timeout
        while True:
            lines = self.lines()
            if check(lines):
                return lines
            if time.monotonic() > deadline:
                raise AssertionError(self._describe(f"screen not as expected after {timeout} s", "\n".join(lines)))
            time.sleep(0.1)

    def wait_exit(self, timeout=30):
        """Waits for the program to end; returns its exit code."""
        deadline = time.monotonic() + timeout
        while not self.exited:
            if time.monotonic() > deadline:
                raise AssertionError(self._describe(f"program still running after {timeout} s"))
            time.sleep(0.1)
        return int(self.rc_file.read_text().strip())

    @property
    def exited(self):
        return self.rc_file.exists() and bool(self.rc_file.read_text().strip())

    def history(self):
        """Every line the pane has shown, the screen and what scrolled off."""
        return _tmux("capture-pane", "-p", "-S", "-", "-t", self.name, capture=True).stdout.decode("utf-8", "replace")

    def _describe(self, what, screen=None):
        if screen is None:
            try:
                screen = self.screen()
            except AssertionError as gone:
                screen = str(gone)
        state = (f"ended with exit code {self.rc_file.read_text().strip()}" if self.exited
                 else "still running")
        described = f"{shlex.join(self.argv)} ({state}): {what}; the screen:\n{screen}"
        # What scrolled off, or what a program printed before it cleared the
        # screen on leaving.
        history = _tmux("capture-pane", "-p", "-S", "-", "-E", "-1", "-t", self.name, capture=True)
        lines = history.stdout.decode("utf-8", "replace").rstrip("\n") if history.returncode == 0 else ""
        if lines.strip():
            described += "\n--- above the screen ---\n" + lines
        return described

    def close(self):
        _tmux("kill-session", "-t", self.name)
        _end_tagged(self.tag)
        if self.rc_file.exists():
            self.rc_file.unlink()


PROMPT = re.compile(r"^[A-Z]:\\[^>]*>")


class Shell:
    """Wine's cmd in a tmux pane, typed into like a user would."""

    def __init__(self, box, cwd, width=100, height=40):
        self.box = box
        self.pane = box.pane(command=["cmd"], cwd=cwd, width=width, height=height)
        self.wait_for_prompts(1)

    def prompts(self):
        return sum(1 for line in self.pane.lines() if PROMPT.match(line))

    def wait_for_prompts(self, count, timeout=60):
        deadline = time.monotonic() + timeout
        while self.prompts() < count:
            if time.monotonic() > deadline:
                raise AssertionError(f"no prompt after {timeout}s:\n{self.pane.screen()}")
            time.sleep(0.1)

    def type(self, line):
        self.pane.send(line, "Enter")

    def run(self, line, timeout=60):
        """Types a command line and waits for the next prompt."""
        before = self.prompts()
        self.type(line)
        self.wait_for_prompts(before + 1, timeout)
        return self.pane.lines()

    def zrn(self, arguments):
        return f'"{self.box.wrapper_windows}" {arguments}'

    def title(self):
        return subprocess.run(["tmux", "-L", TMUX_SOCKET, "display", "-p", "-t", self.pane.name,
                               "#{pane_title}"], stdout=subprocess.PIPE, check=True).stdout.decode().strip()

    def assert_lines_end_normally(self, test):
        lines = self.run("echo a & echo b")
        at = max(i for i, line in enumerate(lines) if line.endswith("echo a & echo b"))
        test.assertEqual(lines[at + 1:at + 3], ["a", "b"], "\n".join(lines))

    def directory(self):
        """The directory that the last prompt on the screen shows."""
        prompts = [line for line in self.pane.lines() if PROMPT.match(line)]
        return prompts[-1].split(">", 1)[0] if prompts else None

    def code_page(self):
        """The console's code page, as the system's chcp reports it."""
        lines = self.run("%SystemRoot%\\system32\\chcp.com")
        return [line for line in lines if "code page" in line][-1].rsplit(" ", 1)[-1]


if __name__ == "__main__":
    if sys.argv[1:] != ["--make-template"]:
        sys.exit("usage: harness.py --make-template")
    if HOST.name == "wine":
        make_template()
