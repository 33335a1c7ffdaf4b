#!/usr/bin/env python3
"""The real vikora program's note properties dialog on an X screen: Alt+Enter
opens it on the note, Esc leaves the note as it was, Ctrl+Enter stores the
typed text without writing the file, and the end of the session (SIGTERM)
while the dialog is open keeps every stored change.

usage: test_note_properties.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import signal
import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import Failure, Window, XSession, run_scenarios, wait_until  # noqa: E402
from test_note_windows import note, record, settings, wait_for_notes  # noqa: E402
from test_running_program import STEP_TIMEOUT, notes_file  # noqa: E402

CAPTION = "Címke tulajdonságai"


def properties_dialog(x: XSession) -> Window | None:
    return next((w for w in x.shown_top_levels() if x.title(w.id) == CAPTION), None)


def open_dialog(x: XSession, shown_note: Window) -> Window:
    x.focus(shown_note)
    x.keys("alt+Return")
    dialog = wait_until(lambda: properties_dialog(x), STEP_TIMEOUT,
                        f"the dialog {CAPTION!r} is shown")
    x.focus(dialog)
    return dialog


def cancel_confirm_and_exit(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("properties", binary, ini=settings(False),
                               csv=notes_file([note(3, 150, 200, 260, 110, "Tej")]))
    notes = folder / "Vikora.csv"
    program = x.start_program(folder, "properties")
    shown = wait_for_notes(x, 1)[0]
    original = notes.read_bytes()

    with x.step("Alt+Enter opens the dialog; text typed and left with Esc is dropped"):
        dialog = open_dialog(x, shown)
        x.screenshot("properties-open")
        x.run_tool("xdotool", "type", "--delay", "20", "eldobva ")
        x.keys("Escape")
        wait_until(lambda: not x.is_viewable(dialog.id), STEP_TIMEOUT, "the dialog closes")

    with x.step("Ctrl+Enter stores the typed text; the file waits for the exit"):
        open_dialog(x, shown)
        x.run_tool("xdotool", "key", "ctrl+End")
        x.run_tool("xdotool", "type", "--delay", "20", " es kenyer")
        x.keys("ctrl+Return")
        wait_until(lambda: properties_dialog(x) is None, STEP_TIMEOUT, "the dialog closes")
        if notes.read_bytes() != original:
            raise Failure("the dialog wrote Vikora.csv")

    with x.step("SIGTERM with the dialog open: the program ends, the stored text is kept"):
        # The modal dialog keeps the tray menu shut; the session can still end.
        open_dialog(x, shown)
        x.run_tool("xdotool", "type", "--delay", "20", "nem kell ")
        program.send(signal.SIGTERM)
        code = program.wait_exit(STEP_TIMEOUT, "SIGTERM")
        if code != 0:
            raise Failure(f"exit code {code}")
        text = record(notes, 3)["szoveg"]
        if text != "Tej es kenyer":
            raise Failure(f"the note's text in Vikora.csv is {text!r}")


SCENARIOS = (cancel_confirm_and_exit,)


if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("properties-*.png",), __doc__))
