"""Shared parts of the fault tests: one note in a portable copy of the real
program, a text save driven through the keyboard, strace attached to the
running program, and the notes file judged by the program's own reader
(notes_dump).

The command line of every test: TEST PROGRAM NOTES_DUMP ARTIFACTS_FOLDER;
VIKORA_ONLY=name,name runs only the named scenarios.
"""

from __future__ import annotations

import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))

from harness import (SKIPPED, Child, Failure, Window, XSession, in_ci,  # noqa: E402
                     run_scenarios, wait_until)
from test_running_program import (NOTE, SETTINGS, START_TIMEOUT, STEP_TIMEOUT,  # noqa: E402
                                  choose_from_menu, dialogs, dismiss, notes_file,
                                  single_tray_icon)

__all__ = ["Failure", "XSession", "Child", "Window", "wait_until", "in_ci", "SKIPPED",
           "START_TIMEOUT", "STEP_TIMEOUT", "SETTINGS", "NOTE", "notes_file",
           "choose_from_menu", "dialogs", "dismiss", "single_tray_icon"]

NOTE_AZ = 7
NOTE_LEFT, NOTE_TOP = 200, 220
FIRST_TEXT = "Elso szoveg"
TEMP_NAME = re.compile(r"^Vikora\.csv\.[A-Za-z0-9]{6}\.tmp$")

_dump_binary: Path | None = None


def _windows_retried(original):
    # xwininfo -tree fails when a window goes away while it walks the tree;
    # the fault tests start and end many windows, so they ask again.
    def windows(self: XSession) -> list[Window]:
        for attempt in range(5):
            try:
                return original(self)
            except Failure as e:
                if "Can't query window tree" not in str(e) or attempt == 4:
                    raise
                time.sleep(0.05)
        raise AssertionError("unreachable")

    return windows


XSession.windows = _windows_retried(XSession.windows)  # type: ignore[method-assign]


def one_note(text: str = FIRST_TEXT) -> bytes:
    return notes_file([dict(NOTE, az=str(NOTE_AZ), left=str(NOTE_LEFT), top=str(NOTE_TOP),
                            szoveg=text, fontname="DejaVu Sans")])


def read_notes(path: Path) -> dict[int | None, str]:
    """The notes' texts by identifier (None: empty), as the program's reader
    reads them; Failure when the file does not read cleanly."""
    assert _dump_binary is not None
    result = subprocess.run([str(_dump_binary), str(path)], capture_output=True, timeout=60)
    if result.returncode != 0:
        raise Failure(f"{path.name} does not read cleanly: "
                      f"{result.stderr.decode(errors='replace').strip()}")
    notes = {}
    for line in result.stdout.decode().splitlines():
        az, _, text = line.partition("\t")
        notes[int(az) if az else None] = bytes.fromhex(text).decode("utf-8")
    return notes


def note_text(path: Path) -> str:
    notes = read_notes(path)
    if list(notes) != [NOTE_AZ]:
        raise Failure(f"{path.name} holds the notes {sorted(notes)}; expected only {NOTE_AZ}")
    return notes[NOTE_AZ]


def temp_files(folder: Path) -> list[str]:
    return sorted(p.name for p in folder.iterdir() if TEMP_NAME.match(p.name))


# --- the program -------------------------------------------------------------

def note_window(x: XSession) -> Window | None:
    return next((w for w in x.shown_top_levels()
                 if (w.x, w.y) == (NOTE_LEFT, NOTE_TOP) and not x.is_override_redirect(w.id)),
                None)


def start_with_note(x: XSession, folder: Path, name: str) -> tuple[Child, Window]:
    program = x.start_program(folder, name)

    def shown() -> Window | None:
        if not program.running():
            raise Failure(f"the program ended at start ({program.proc.returncode}):\n"
                          + program.log_tail())
        return note_window(x) if single_tray_icon(x) else None

    return program, wait_until(shown, START_TIMEOUT, "the note window shows", interval=0.05)


def begin_edit(x: XSession, window: Window, addition: str) -> None:
    """F2 and the added text at the end; the save is the caller's Ctrl+Enter."""
    x.focus(window)
    x.keys("F2")
    wait_until(lambda: (lambda w: w is not None and w.height == window.height + 5)(
        note_window(x)), STEP_TIMEOUT, "the note grows by 5 pixels in edit mode")
    x.run_tool("xdotool", "key", "ctrl+End")
    x.run_tool("xdotool", "type", "--delay", "10", addition)


def press_save(x: XSession, window: Window | None = None) -> None:
    """Ctrl+Enter; to the given window first, when a box took the focus."""
    if window is not None:
        x.focus(window)
    x.run_tool("xdotool", "key", "ctrl+Return")


def in_edit_mode(x: XSession, window: Window) -> bool:
    shown = note_window(x)
    return shown is not None and shown.height == window.height + 5


def error_box(x: XSession, known: set[int], title: str = "Vikora") -> Window:
    box = wait_until(lambda: dialogs(x, known), STEP_TIMEOUT, f"a message box titled {title!r}")[0]
    if x.title(box.id) != title:
        raise Failure(f"the box is titled {x.title(box.id)!r}; expected {title!r}")
    return box


def save_and_wait(x: XSession, window: Window, addition: str, notes: Path, want: str) -> None:
    begin_edit(x, window, addition)
    press_save(x)
    wait_until(lambda: notes.exists() and note_text(notes) == want, STEP_TIMEOUT,
               f"{notes.name} holds {want!r}")


def close_program(x: XSession, program: Child) -> None:
    choose_from_menu(x, "Up")
    code = program.wait_exit(STEP_TIMEOUT, "'Bezár'")
    if code != 0:
        raise Failure(f"exit code {code}")


# --- strace attached to the running program ------------------------------------

class Strace:
    """strace attached to a running program, to every thread or only to the
    main one (which saves the files); ends (and so detaches) when the context
    is left. strace counts `when=` for each thread on its own."""

    def __init__(self, pid: int, log: Path, *options: str, main_thread_only: bool = False):
        self.log = log
        threads = [] if main_thread_only else ["-f"]
        self.proc = subprocess.Popen(
            ["strace", *threads, "-y", "-o", str(log), *options, "-p", str(pid)],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self._tracer(pid) == self.proc.pid or self._ended(), STEP_TIMEOUT,
                   "strace has attached")

    def _ended(self) -> bool:
        if self.proc.poll() is not None:
            raise Failure(f"strace ended at once ({self.proc.returncode})")
        return False

    @staticmethod
    def _tracer(pid: int) -> int:
        try:
            status = Path(f"/proc/{pid}/status").read_text()
        except OSError:
            return 0
        m = re.search(r"^TracerPid:\s*(\d+)", status, re.M)
        return int(m.group(1)) if m else 0

    def lines(self) -> list[str]:
        try:
            return self.log.read_text(errors="replace").splitlines()
        except FileNotFoundError:
            return []

    def close(self) -> None:
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def __enter__(self) -> "Strace":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()


def missing(*tools: str) -> list[str]:
    return [tool for tool in tools if shutil.which(tool) is None]


def cannot_run(tools: tuple[str, ...], root: bool) -> str | None:
    """Why the test cannot run here, or None."""
    if root and os.geteuid() != 0:
        return "needs root (mounts, strace on a running program)"
    lacking = missing(*tools)
    return f"{', '.join(lacking)} not installed" if lacking else None


def private_mounts() -> None:
    """Runs the rest of this process in a private mount namespace, so that
    every mount it makes goes away with it."""
    if os.environ.get("VIKORA_FAULTS_PRIVATE_MOUNTS") == "1":
        return
    os.environ["VIKORA_FAULTS_PRIVATE_MOUNTS"] = "1"
    os.execvp("unshare", ["unshare", "-m", "--propagation", "private", sys.executable,
                          *sys.argv])


def main(argv: list[str], scenarios, stale: tuple[str, ...], doc: str | None,
         tools: tuple[str, ...] = (), root: bool = False, mounts: bool = False) -> int:
    global _dump_binary
    if len(argv) != 4:
        print(doc or "usage: TEST PROGRAM NOTES_DUMP ARTIFACTS_FOLDER", file=sys.stderr)
        return 2
    why = cannot_run(tools, root or mounts)
    if why:
        if in_ci():
            print(f"FAIL: CI {why}")
            return 1
        print(f"SKIP: {why}")
        return SKIPPED
    if mounts:
        private_mounts()
    _dump_binary = Path(argv[2]).resolve()
    only = os.environ.get("VIKORA_ONLY")
    if only:
        scenarios = [s for s in scenarios if s.__name__ in only.split(",")]
    return run_scenarios([argv[0], argv[1], argv[3]], scenarios, stale, doc)


def count(name: str, default: int) -> int:
    try:
        return int(os.environ.get(name, default))
    except ValueError:
        return default


def log(text: str) -> None:
    print(f"    {text}", flush=True)


def elapsed(since: float) -> str:
    return f"{time.monotonic() - since:.0f} s"
