#!/usr/bin/env python3
"""Saves of the real program that fail: a full disk (a 64 KiB tmpfs), an I/O
error on fsync or rename (strace), a read-only data folder (a read-only bind
mount). The save reports the error, the old file stays whole, the note keeps
its new text (in edit mode and in the table), and the save after the fault is
cleared writes it; the same at exit. Also the order of a save's calls:
the file synced before the rename, the folder synced after it.

usage: test_save_faults.py PROGRAM NOTES_DUMP ARTIFACTS_FOLDER

Runs in a private mount namespace (needs root); skips (77) without root or
strace, except under CI.
"""

from __future__ import annotations

import errno
import re
import subprocess
import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from faults import (FIRST_TEXT, SETTINGS, STEP_TIMEOUT, Failure, Strace,  # noqa: E402
                    XSession, begin_edit, choose_from_menu, dismiss, error_box, in_edit_mode,
                    log, main, note_text, one_note, press_save, save_and_wait, start_with_note,
                    temp_files, wait_until)


def run(*argv: str) -> None:
    result = subprocess.run(argv, capture_output=True, timeout=30)
    if result.returncode != 0:
        raise Failure(f"{' '.join(argv)}: {result.stderr.decode(errors='replace').strip()}")


# --- faults: each made and cleared while the program runs ----------------------

class DiskFull:
    """The data folder is a 64 KiB tmpfs; a filler file takes the free space."""
    name = "disk full"

    def __init__(self, x: XSession, binary: Path):
        self.folder = x.root / "disk-full"
        self.folder.mkdir()
        run("mount", "-t", "tmpfs", "-o", "size=64k,mode=0700", "tmpfs", str(self.folder))
        (self.folder / "Vikora.ini").write_bytes(SETTINGS)
        (self.folder / "Vikora.csv").write_bytes(one_note())
        # The program file does not fit: it is bound in from outside, and
        # still counts as living in this folder (portable mode).
        program = self.folder / binary.name
        program.touch()
        run("mount", "--bind", str(binary), str(program))
        self.filler = self.folder / "filler"

    def on(self, pid: int) -> None:
        # Unbuffered, so that nothing is left to flush into a full disk; the
        # byte-sized writes take the last part of a page.
        with open(self.filler, "wb", buffering=0) as out:
            for size in (4096, 1):
                try:
                    while True:
                        out.write(b"\0" * size)
                except OSError as e:
                    if e.errno != errno.ENOSPC:
                        raise

    def off(self) -> None:
        self.filler.unlink()


class ReadOnlyFolder:
    name = "read-only folder"

    def __init__(self, x: XSession, binary: Path):
        self.folder = x.portable_folder("read-only", binary, ini=SETTINGS, csv=one_note())
        run("mount", "--bind", str(self.folder), str(self.folder))

    def on(self, pid: int) -> None:
        run("mount", "-o", "remount,bind,ro", str(self.folder))

    def off(self) -> None:
        run("mount", "-o", "remount,bind,rw", str(self.folder))


class FailingCall:
    """strace attached to the program makes every call of a kind fail."""

    def __init__(self, x: XSession, binary: Path, calls: str, error: str):
        self.name = f"{error} from {calls.split(',')[0]}"
        self.folder = x.portable_folder(f"failing-{calls.split(',')[0]}", binary, ini=SETTINGS,
                                        csv=one_note())
        self.calls, self.error, self.artifacts = calls, error, x.artifacts
        self.trace: Strace | None = None

    def on(self, pid: int) -> None:
        self.trace = Strace(pid, self.artifacts / f"strace-{self.error}.log",
                            "-e", f"trace={self.calls}",
                            "-e", f"inject={self.calls}:error={self.error}")

    def off(self) -> None:
        assert self.trace is not None
        self.trace.close()
        if not any("INJECTED" in line for line in self.trace.lines()):
            raise Failure(f"strace never made {self.calls} fail")


def fault_then_cleared(x: XSession, fault, log_name: str) -> None:
    folder = fault.folder
    notes, backup = folder / "Vikora.csv", folder / "Vikora.csv.bak"
    program, window = start_with_note(x, folder, log_name)
    t1 = FIRST_TEXT + " a"
    save_and_wait(x, window, " a", notes, t1)
    kept_backup = backup.read_bytes()

    with x.step(f"{fault.name}: the save reports an error and the old file stays whole"):
        shown = {w.id for w in x.shown_top_levels()}
        begin_edit(x, window, " b")
        fault.on(program.pid)
        press_save(x)
        box = error_box(x, shown)
        x.screenshot(f"fault-{fault.name.replace(' ', '-')}")
        if note_text(notes) != t1 or backup.read_bytes() != kept_backup:
            raise Failure("the notes file or its backup changed")
        dismiss(x, box)
        if not in_edit_mode(x, window):
            raise Failure("the note left edit mode: its new text is no longer on the screen")
        if not program.running():
            raise Failure("the program ended")

    with x.step(f"{fault.name} cleared: the same Ctrl+Enter writes the new text"):
        fault.off()
        press_save(x, window)
        wait_until(lambda: note_text(notes) == t1 + " b", STEP_TIMEOUT,
                   "the file holds the text saved after the fault")
        if note_text(backup) != t1:
            raise Failure(f"the backup holds {note_text(backup)!r}; expected {t1!r}")
        if temp_files(folder):
            raise Failure(f"temporary files left: {temp_files(folder)}")

    with x.step(f"{fault.name} at exit: 'Bezár' reports it, the program runs on; "
                "cleared, 'Bezár' writes the text that only the table held"):
        t2 = t1 + " b"
        begin_edit(x, window, " c")
        fault.on(program.pid)
        shown = {w.id for w in x.shown_top_levels()}
        press_save(x)
        dismiss(x, error_box(x, shown))
        x.focus(window)
        x.keys("Escape")  # out of edit mode: the text is now only in the table
        shown = {w.id for w in x.shown_top_levels()}
        choose_from_menu(x, "Up")
        dismiss(x, error_box(x, shown))
        if not program.running():
            raise Failure("the program ended after the failed exit")
        if note_text(notes) != t2:
            raise Failure(f"the notes file holds {note_text(notes)!r}; expected {t2!r}")
        fault.off()
        choose_from_menu(x, "Up")
        code = program.wait_exit(STEP_TIMEOUT, "'Bezár' after the fault was cleared")
        if code != 0:
            raise Failure(f"exit code {code}")
        if note_text(notes) != t2 + " c":
            raise Failure(f"after the exit the file holds {note_text(notes)!r}")
        if temp_files(folder):
            raise Failure(f"temporary files left: {temp_files(folder)}")


def disk_full(x: XSession, binary: Path) -> None:
    fault_then_cleared(x, DiskFull(x, binary), "disk-full")


def read_only_folder(x: XSession, binary: Path) -> None:
    fault_then_cleared(x, ReadOnlyFolder(x, binary), "read-only")


def eio_from_fsync(x: XSession, binary: Path) -> None:
    fault_then_cleared(x, FailingCall(x, binary, "fsync,fdatasync", "EIO"), "eio-fsync")


def eio_from_rename(x: XSession, binary: Path) -> None:
    fault_then_cleared(x, FailingCall(x, binary, "rename,renameat,renameat2", "EIO"),
                       "eio-rename")


# --- the order of a save's calls -------------------------------------------------

ORDER_CALLS = "openat,write,fsync,fdatasync,close,link,linkat,rename,renameat,renameat2"
_RENAME = re.compile(r'rename(?:at2?)?\((?:\S+, )?"(?P<source>[^"]+)", (?:\S+, )?"(?P<target>[^"]+)"'
                     r'(?:, \S+)?\) = 0')
_FD_CALL = re.compile(r'(?P<call>\w+)\((?P<fd>\d+)<(?P<path>[^>]*)>')


def check_order(lines: list[str], target: Path) -> str:
    """The replacement of `target`: its temporary file written and synced
    before the rename over it, the folder synced after. Returns a summary."""
    renames = [(i, m) for i, line in enumerate(lines) if (m := _RENAME.search(line))
               and m.group("target") == str(target)]
    if len(renames) != 1:
        raise Failure(f"expected one rename onto {target.name}, found {len(renames)}")
    at, rename = renames[0]
    temp = rename.group("source")
    calls = [(i, m.group("call"), m.group("path")) for i, line in enumerate(lines)
             if (m := _FD_CALL.search(line))]
    writes = [i for i, call, path in calls if call == "write" and path == temp]
    syncs = [i for i, call, path in calls if call in ("fsync", "fdatasync") and path == temp]
    folder_syncs = [i for i, call, path in calls if call in ("fsync", "fdatasync")
                    and path == str(target.parent)]
    if not writes or not syncs or max(writes) > min(syncs) or max(syncs) > at:
        raise Failure(f"{target.name}: writes at {writes}, syncs of the temporary file at "
                      f"{syncs}, rename at {at}: the file is not synced before the rename")
    if not any(i > at for i in folder_syncs):
        raise Failure(f"{target.name}: the folder is not synced after the rename "
                      f"(folder syncs at {folder_syncs}, rename at {at})")
    return (f"{target.name}: write {writes} < fsync(temp) {syncs} < rename {at} "
            f"< fsync(folder) {[i for i in folder_syncs if i > at]}")


def call_order(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("call-order", binary, ini=SETTINGS, csv=one_note())
    program, window = start_with_note(x, folder, "call-order")
    with x.step("a text save: temporary file written, synced, renamed, folder synced"):
        begin_edit(x, window, " rend")
        with Strace(program.pid, x.artifacts / "strace-order-save.log",
                    "-e", f"trace={ORDER_CALLS}") as trace:
            press_save(x)
            wait_until(lambda: note_text(folder / "Vikora.csv") == FIRST_TEXT + " rend",
                       STEP_TIMEOUT, "the save is done")
            wait_until(lambda: any(str(folder) + ">" in line and "fsync" in line
                                   for line in trace.lines()), STEP_TIMEOUT,
                       "the folder is synced")
        log(check_order(trace.lines(), folder / "Vikora.csv"))
    with x.step("the exit: the settings file and the notes file the same way"):
        with Strace(program.pid, x.artifacts / "strace-order-exit.log",
                    "-e", f"trace={ORDER_CALLS}") as trace:
            choose_from_menu(x, "Up")
            program.wait_exit(STEP_TIMEOUT, "'Bezár'")
            trace.proc.wait(timeout=STEP_TIMEOUT)
        for name in ("Vikora.ini", "Vikora.csv"):
            log(check_order(trace.lines(), folder / name))


SCENARIOS = (call_order, disk_full, read_only_folder, eio_from_fsync, eio_from_rename)

if __name__ == "__main__":
    sys.exit(main(sys.argv, SCENARIOS, ("fault-*.png", "disk-full*.log", "read-only*.log",
                                        "eio-*.log", "call-order*.log", "strace-*.log"),
                  __doc__, tools=("strace",), mounts=True))
