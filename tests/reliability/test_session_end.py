#!/usr/bin/env python3
"""The end of the session from every state the real program can be in: a
signal (SIGTERM, SIGINT, SIGHUP) cancels the open windows as their close box
would, the exit runs and the process ends within a few seconds, with the
notes file whole. When the notes cannot be written where they belong (a
read-only folder, a full disk) the changes go to a rescue copy and the next
start says where; a notes file the program cannot read is reported, never
written over and does not stop the exit.

usage: test_session_end.py PROGRAM NOTES_DUMP ARTIFACTS_FOLDER

Runs in a private mount namespace (needs root); skips (77) without root,
except under CI. Prints the time from the signal to the end for each state.
"""

from __future__ import annotations

import os
import signal
import socket
import sys
import threading
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from faults import (FIRST_TEXT, SETTINGS, STEP_TIMEOUT, Child, Failure, Window,  # noqa: E402
                    XSession, begin_edit, choose_from_menu, dialogs, dismiss, error_box, log,
                    main, note_text, one_note, press_save, read_notes,
                    start_with_note, wait_until)
from test_running_program import NOTE, START_TIMEOUT, find_splash, notes_file  # noqa: E402
from test_save_faults import DiskFull, ReadOnlyFolder  # noqa: E402

# "A few seconds": the program waits up to 1.5 s for the windows' own event
# loops to return before it writes anyway.
END_LIMIT_SECONDS = 5.0
RESCUE_PREFIX = "Vikora.csv.unsaved-"


class SilentServer:
    """Takes connections and never answers: a download stays in progress."""

    def __init__(self) -> None:
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(8)
        self.held: list[socket.socket] = []
        self.url = f"http://127.0.0.1:{self.sock.getsockname()[1]}/prgcsv.php"
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self) -> None:
        while True:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            self.held.append(conn)

    def close(self) -> None:
        self.sock.close()
        for conn in self.held:
            conn.close()


def startup_box(x: XSession) -> Window:
    """The report shown over the splash at start (both are titled 'Vikora')."""
    splash = wait_until(lambda: find_splash(x), START_TIMEOUT, "the splash shows")
    box = wait_until(lambda: next(iter(dialogs(x, {splash.id})), None), START_TIMEOUT,
                     "a message box over the splash")
    if x.title(box.id) != "Vikora":
        raise Failure(f"the box is titled {x.title(box.id)!r}")
    return box


def new_window(x: XSession, known: set[int], what: str) -> Window:
    return wait_until(lambda: next(iter(dialogs(x, known)), None), STEP_TIMEOUT, what)


def note_keys(*keys: str):
    def reach(x: XSession, window: Window) -> None:
        x.focus(window)
        x.keys(*keys)
    return reach


def tray(*keys: str):
    def reach(x: XSession, window: Window) -> None:
        choose_from_menu(x, *keys)
    return reach


TYPED_IN_PLACE = " nem mentett"


def edit_mode(x: XSession, window: Window) -> None:
    begin_edit(x, window, TYPED_IN_PLACE)


# state, how to reach it from a shown note, whether a new window shows, signal;
# the exit keeps the text typed in place, and cancels every dialog
STATES = [
    ("note edit mode", edit_mode, False, signal.SIGTERM),
    ("resize mode", note_keys("F6"), False, signal.SIGINT),
    ("properties dialog", note_keys("alt+Return"), True, signal.SIGTERM),
    ("settings dialog", tray("Down", "Down"), True, signal.SIGHUP),
    ("date dialog", note_keys("ctrl+d"), True, signal.SIGTERM),
    ("font dialog", note_keys("F4"), True, signal.SIGTERM),
    ("colour dialog", note_keys("F5"), True, signal.SIGINT),
    ("delete question", note_keys("ctrl+Delete"), True, signal.SIGTERM),
    ("catalogue, download in progress", tray(*["Down"] * 6), True, signal.SIGTERM),
    ("help window", tray(*["Down"] * 3), True, signal.SIGHUP),
    ("about box", tray(*["Down"] * 7), True, signal.SIGTERM),
]


def ended_in_time(program: Child, sig: int, state: str) -> float:
    sent = time.monotonic()
    program.send(sig)
    code = program.wait_exit(STEP_TIMEOUT, f"{signal.Signals(sig).name} in the state {state!r}")
    took = time.monotonic() - sent
    if code != 0:
        raise Failure(f"{state}: exit code {code}\n{program.log_tail()}")
    if took > END_LIMIT_SECONDS:
        raise Failure(f"{state}: the program took {took:.1f} s to end")
    return took


def exit_from_every_state(x: XSession, binary: Path) -> None:
    times: list[tuple[str, str, float]] = []
    server = SilentServer()
    program_env = x.program_env
    x.program_env = lambda: {**program_env(), "VIKORA_CATALOGUE_URL": server.url}
    try:
        with x.step("splash: the signal during the first two seconds ends the program"):
            folder = x.portable_folder("end-splash", binary, ini=SETTINGS, csv=one_note())
            before = (folder / "Vikora.csv").read_bytes()
            program = x.start_program(folder, "end-splash")
            wait_until(lambda: find_splash(x), START_TIMEOUT, "the splash shows")
            times.append(("splash", "SIGTERM", ended_in_time(program, signal.SIGTERM, "splash")))
            if (folder / "Vikora.csv").read_bytes() != before:
                raise Failure("the notes file changed although the notes were never read")
            x.stop_programs()

        with x.step("start-up message about a damaged notes file"):
            # A definitions section naming a field type the table refuses.
            damaged = notes_file([NOTE], types={"kep": "Variant"})
            folder = x.portable_folder("end-damaged", binary, ini=SETTINGS, csv=damaged)
            program = x.start_program(folder, "end-damaged")
            startup_box(x)
            times.append(("start-up message box", "SIGTERM",
                          ended_in_time(program, signal.SIGTERM, "start-up message box")))
            kept = sorted(folder.glob("Vikora.csv.damaged-*"))
            if len(kept) != 1:
                raise Failure(f"the damaged file was not kept aside: {kept}")
            if kept[0].read_bytes() != damaged:
                raise Failure(f"{kept[0].name} does not hold the original bytes")
            read_notes(folder / "Vikora.csv")
            x.stop_programs()

        for state, reach, shows_window, sig in STATES:
            with x.step(f"{state}: {signal.Signals(sig).name} ends the program"):
                folder = x.portable_folder(f"end-{state.split()[0]}-{len(times)}", binary,
                                           ini=SETTINGS, csv=one_note())
                program, window = start_with_note(x, folder, f"end-{len(times)}")
                known = {w.id for w in x.shown_top_levels()}
                reach(x, window)
                if shows_window:
                    new_window(x, known, f"the {state} shows")
                x.screenshot(f"end-{len(times)}")
                times.append((state, signal.Signals(sig).name, ended_in_time(program, sig, state)))
                wanted = FIRST_TEXT + (TYPED_IN_PLACE if reach is edit_mode else "")
                if note_text(folder / "Vikora.csv") != wanted:
                    raise Failure(f"{state}: the notes file holds "
                                  f"{note_text(folder / 'Vikora.csv')!r}")
                if not (folder / "Vikora.ini").read_bytes():
                    raise Failure(f"{state}: the settings were not written")
                x.stop_programs()
    finally:
        x.program_env = program_env
        server.close()
    for state, sig, took in times:
        log(f"{state:34} {sig:8} ended after {took * 1000:5.0f} ms")
    log(f"{len(times)} states, slowest {max(t for _, _, t in times) * 1000:.0f} ms")


def rescue_copy(x: XSession, binary: Path, fault_class) -> None:
    fault = fault_class(x, binary)
    folder = fault.folder
    before = (folder / "Vikora.csv").read_bytes()
    program, window = start_with_note(x, folder, f"rescue-{folder.name}")
    fault.on(program.pid)
    wanted = FIRST_TEXT + " mentetlen"
    with x.step(f"{fault.name}: a failed text save, then SIGTERM: the changes go to a rescue copy"):
        begin_edit(x, window, " mentetlen")
        press_save(x)
        error_box(x, {window.id})
        took = ended_in_time(program, signal.SIGTERM, f"{fault.name}, error box open")
        if (folder / "Vikora.csv").read_bytes() != before:
            raise Failure("the notes file changed")
        cache = x.root / "home" / ".cache" / "Vikora"
        copies = sorted(folder.glob(RESCUE_PREFIX + "*")) + sorted(cache.glob(RESCUE_PREFIX + "*"))
        if len(copies) != 1:
            raise Failure(f"expected one rescue copy, found {copies}")
        if note_text(copies[0]) != wanted:
            raise Failure(f"the rescue copy holds {note_text(copies[0])!r}")
        mode = copies[0].stat().st_mode & 0o777
        if mode != 0o600:
            raise Failure(f"the rescue copy has mode {mode:o}")
        log(f"{fault.name}: ended after {took * 1000:.0f} ms, rescue copy {copies[0]}")
        x.stop_programs()
    fault.off()
    with x.step(f"{fault.name}: the next start says where the changes are"):
        program = x.start_program(folder, f"rescue-next-{folder.name}")
        box = wait_until(lambda: next((w for w in dialogs(x, set())
                                       if x.title(w.id) == "Üzenet"), None),
                         START_TIMEOUT, "a box titled 'Üzenet'")
        dismiss(x, box)
        x.stop_programs()
        for copy in copies:
            copy.unlink()


def rescue_when_folder_is_read_only(x: XSession, binary: Path) -> None:
    rescue_copy(x, binary, ReadOnlyFolder)


def rescue_when_disk_is_full(x: XSession, binary: Path) -> None:
    rescue_copy(x, binary, DiskFull)


NOBODY = 65534


def unreadable_notes_file(x: XSession, binary: Path) -> None:
    """The program runs as nobody; Vikora.csv belongs to root, mode 0600."""
    os.chmod(x.root, 0o711)
    folder = x.portable_folder("unreadable", binary, ini=SETTINGS, csv=one_note())
    home = x.root / "nobody-home"
    runtime = x.root / "nobody-runtime"
    for path in (home, runtime):
        path.mkdir(mode=0o700)
        os.chown(path, NOBODY, NOBODY)
    os.chown(folder, NOBODY, NOBODY)
    os.chown(folder / "Vikora.ini", NOBODY, NOBODY)
    notes = folder / "Vikora.csv"
    notes.chmod(0o600)
    before = notes.read_bytes()
    env = {**x.program_env(), "HOME": str(home), "XDG_CONFIG_HOME": str(home / ".config"),
           "XDG_DATA_HOME": str(home / ".local/share"), "XDG_CACHE_HOME": str(home / ".cache"),
           "XDG_STATE_HOME": str(home / ".local/state"), "XDG_RUNTIME_DIR": str(runtime),
           "VIKORA_INSTANCE_KEY": f"{x.instance_key}-unreadable"}

    def start(name: str) -> Child:
        child = Child(name, ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}",
                             "--clear-groups", str(folder / binary.name)],
                      env, x.artifacts / f"{name}.log")
        x._programs.append(child)
        return child

    for how in ("SIGTERM", "Bezár", "Bezár after a new note"):
        with x.step(f"unreadable notes file: reported with its path, {how} ends the program"):
            program = start(f"unreadable-{how.split()[0]}")
            box = startup_box(x)
            x.screenshot(f"unreadable-{how.split()[0]}-report")
            dismiss(x, box)
            if how == "SIGTERM":
                took = ended_in_time(program, signal.SIGTERM, "unreadable notes file")
                log(f"unreadable notes file: SIGTERM ended it after {took * 1000:.0f} ms")
            else:
                if how.endswith("new note"):
                    known = {w.id for w in x.shown_top_levels()}
                    choose_from_menu(x, "Down")
                    new_window(x, known, "the new note shows")
                choose_from_menu(x, "Up")
                if program.wait_exit(STEP_TIMEOUT, "'Bezár'") != 0:
                    raise Failure("'Bezár' ended with an error")
            if notes.read_bytes() != before or notes.stat().st_uid != 0:
                raise Failure("the unreadable notes file was written over")
            copies = sorted(folder.glob(RESCUE_PREFIX + "*"))
            if how.endswith("new note"):
                if len(copies) != 1 or len(read_notes(copies[0])) != 1:
                    raise Failure(f"the new note did not reach a rescue copy: {copies}")
            elif copies:
                raise Failure(f"a rescue copy without changes: {copies}")
            x.stop_programs()


SCENARIOS = (exit_from_every_state, rescue_when_folder_is_read_only, rescue_when_disk_is_full,
             unreadable_notes_file)

if __name__ == "__main__":
    sys.exit(main(sys.argv, SCENARIOS, ("*.png", "end-*.log", "rescue-*.log", "unreadable-*.log"),
                  __doc__, tools=("setpriv",), mounts=True))
