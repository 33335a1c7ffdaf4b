#!/usr/bin/env python3
"""How the real vikora program looks on a bare X screen (no window manager, no
compositor): the splash in its own shape, the font dialog on notes whose
family is not installed, a narrow note's edit bar, and the date dialog's
calendar opened from the keyboard. Keeps a screenshot of each.

usage: test_looks.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import Failure, Window, XSession, run_scenarios, wait_until  # noqa: E402
from test_note_windows import note, note_windows, settings, wait_for_notes  # noqa: E402
from test_running_program import (SCREEN_HEIGHT, SCREEN_WIDTH, START_TIMEOUT,  # noqa: E402
                                   STEP_TIMEOUT, find_splash, notes_file)

SPLASH = (500, 375)


def area(left: int, top: int, width: int, height: int) -> Window:
    return Window(0, "", "", "", left, top, width, height, 1, ())


def titled(x: XSession, title: str) -> Window | None:
    return next((w for w in x.shown_top_levels() if x.title(w.id) == title), None)


def popups(x: XSession) -> list[Window]:
    return [w for w in x.shown_top_levels() if x.is_override_redirect(w.id)]


def splash_in_its_own_shape(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("looks-splash", binary, ini=settings(False),
                               csv=notes_file([]))
    place = area((SCREEN_WIDTH - SPLASH[0]) // 2, (SCREEN_HEIGHT - SPLASH[1]) // 2, *SPLASH)
    _, _, before = x.grab_rgb(place)
    x.start_program(folder, "looks-splash")

    with x.step("the splash's corners and the strip beside the picture show the desktop"):
        splash = wait_until(lambda: find_splash(x), START_TIMEOUT, "the splash is shown")
        if (splash.x, splash.y, splash.width, splash.height) != (place.x, place.y, *SPLASH):
            raise Failure(f"the splash is at {splash}")
        x.screenshot("looks-splash")
        width, _, during = x.grab_rgb(place)

        def pixel(data: bytes, px: int, py: int) -> bytes:
            at = 3 * (py * width + px)
            return data[at:at + 3]

        outside = [(0, 0), (1, 1), (498, 0), (0, 372), (498, 372), (499, 10), (499, 187),
                   (499, 370), (250, 373), (250, 374)]
        changed = [p for p in outside if pixel(during, *p) != pixel(before, *p)]
        if changed:
            raise Failure(f"the splash covers {changed} outside its picture")
        if pixel(during, 250, 187) == pixel(before, 250, 187) == pixel(during, 251, 187):
            raise Failure("the splash's picture is not drawn")


def font_dialog_and_edit_bar(x: XSession, binary: Path) -> None:
    tahoma = dict(note(3, 40, 60, 260, 110, "Tahoma, félkövér"), fontname="Tahoma",
                  isbold="True")
    times = dict(note(4, 40, 300, 260, 110, "Times New Roman"), fontname="Times New Roman")
    narrow = note(5, 700, 60, 200, 120, "Keskeny cetli")
    dated = note(6, 700, 400, 260, 110, "Dátum")
    folder = x.portable_folder("looks-notes", binary, ini=settings(False),
                               csv=notes_file([tahoma, times, narrow, dated]))
    x.start_program(folder, "looks-notes")
    wait_for_notes(x, 4)

    def at(left: int, top: int) -> Window:
        return wait_until(lambda: next((w for w in note_windows(x) if (w.x, w.y) == (left, top)),
                                       None), STEP_TIMEOUT, f"the note at ({left}, {top})")

    for shown_note, name in ((at(40, 60), "tahoma-bold"), (at(40, 300), "times-new-roman")):
        with x.step(f"F4 opens the font dialog on the {name} note"):
            x.focus(shown_note)
            x.keys("F4")
            dialog = wait_until(lambda: titled(x, "Betűtípus"), STEP_TIMEOUT,
                                "the font dialog is shown")
            x.screenshot(f"looks-font-dialog-{name}")
            x.focus(dialog)
            x.keys("Escape")
            wait_until(lambda: not x.is_viewable(dialog.id), STEP_TIMEOUT, "the dialog closes")

    with x.step("a 200 px note in edit mode"):
        shown_note = at(700, 60)
        x.focus(shown_note)
        x.keys("F2")
        wait_until(lambda: any(w.height == 125 and w.width == 200 for w in note_windows(x)),
                   STEP_TIMEOUT, "the note grows into edit mode")
        x.screenshot("looks-note-200px-edit")
        x.keys("Escape")

    with x.step("Ctrl+D, then Alt+Down opens the date dialog's calendar"):
        shown_note = at(700, 400)
        x.focus(shown_note)
        x.keys("ctrl+d")
        dialog = wait_until(lambda: titled(x, "Dátum megadása"), STEP_TIMEOUT,
                            "the date dialog is shown")
        x.focus(dialog)
        x.keys("alt+Down")
        calendar = wait_until(lambda: next((w for w in popups(x) if w.height > 100), None),
                              STEP_TIMEOUT, "the calendar is shown")
        x.screenshot("looks-date-calendar")
        x.keys("Escape")
        wait_until(lambda: not x.is_viewable(calendar.id), STEP_TIMEOUT, "the calendar closes")
        x.focus(dialog)
        x.keys("F4")
        wait_until(lambda: next((w for w in popups(x) if w.height > 100), None),
                   STEP_TIMEOUT, "F4 shows the calendar too")
        x.keys("Escape")


SCENARIOS = (splash_in_its_own_shape, font_dialog_and_edit_bar)

if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("looks-*.png",), __doc__))
