#!/usr/bin/env python3
"""The real vikora program's settings dialog: an applied opacity reaches the
open notes while the dialog stays open, and the autostart box writes and
removes the desktop's autostart entry.

usage: test_settings_dialog.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import os
import re
import shlex
import sys
import time
from pathlib import Path

# The source tree stays clean: no __pycache__ beside the harness.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import Failure, Window, XSession, holds_for, run_scenarios, wait_until  # noqa: E402
from test_note_windows import close_program, note, wait_for_notes  # noqa: E402
from test_running_program import (START_TIMEOUT, STEP_TIMEOUT, choose_from_menu,  # noqa: E402
                                  notes_file, read_defaults, single_tray_icon)

TITLE = "Beállítások"
# Open notes follow the settings on a shared beat of 2.5 s; the harness's
# own polling may see a change a little late.
BEAT_SECONDS = 2.5
POLL_SLACK = 0.35

SETTINGS = ("[Defaults]\r\nColor=65535\r\nFont.Name=DejaVu Sans\r\nFont.Size=12\r\nFont.Color=0\r\n"
            "Font.IsUnderline=0\r\nFont.IsBold=0\r\nFont.IsItalic=0\r\nAlignment=2\r\n"
            "FontTransparent=0\r\nWindowTransparent=0\r\nAlphaBlend=1\r\n"
            "AlphaBlendValue=255\r\n").encode("cp1250")

# Places inside the dialog's client area (left, top of the control's middle).
TRACK_BAR = (280 + 12 + 100, 12 + 100 + 8)
AUTOSTART_BOX = (12 + 16 + 7, 116 + 20 + 8)
APPLY = (20 + 37, 180 + 12)
OK = (336 + 37, 180 + 12)
CANCEL = (420 + 37, 180 + 12)


def opacity(x: XSession, window: Window) -> int | None:
    """_NET_WM_WINDOW_OPACITY of the window (0 to 0xFFFFFFFF), None when unset."""
    out = x.run_tool("xprop", "-id", hex(window.id), "_NET_WM_WINDOW_OPACITY", check=False)
    m = re.search(r"=\s*(\d+)", out)
    return int(m.group(1)) if m else None


def opacity_of_level(level: int) -> int:
    return round(level / 255 * 0xFFFFFFFF)


def shows_level(x: XSession, window: Window, level: int) -> bool:
    value = opacity(x, window)
    if value is None:
        return level == 255  # no property: opaque
    return abs(value - opacity_of_level(level)) <= 1


def open_dialog(x: XSession) -> Window:
    choose_from_menu(x, "Down", "Down")
    return wait_until(lambda: next((w for w in x.shown_top_levels()
                                    if x.title(w.id) == TITLE), None),
                      STEP_TIMEOUT, f"the dialog '{TITLE}' is shown")


def click(x: XSession, dialog: Window, place: tuple[int, int]) -> None:
    x.run_tool("xdotool", "mousemove", "--sync", str(dialog.x + place[0]),
               str(dialog.y + place[1]), "click", "1")


def set_track_bar(x: XSession, dialog: Window, *keys: str) -> None:
    """Gives the track bar the focus with a click, then moves it with keys."""
    x.focus(dialog)  # no window manager hands the keyboard over
    click(x, dialog, TRACK_BAR)
    x.keys(*keys)


def dialog_closes(x: XSession, dialog: Window) -> None:
    wait_until(lambda: not x.is_viewable(dialog.id), STEP_TIMEOUT, "the dialog closes")


# --- scenarios -----------------------------------------------------------------

def applied_opacity_reaches_open_notes(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("opacity", binary, ini=SETTINGS,
                               csv=notes_file([note(3, 150, 200, 260, 110, "Átlátszóság próba")]))
    program = x.start_program(folder, "opacity")
    shown = wait_for_notes(x, 1)[0]

    with x.step("the note starts opaque"):
        wait_until(lambda: shows_level(x, shown, 255), STEP_TIMEOUT,
                   "the note's _NET_WM_WINDOW_OPACITY is full or unset")

    with x.step("'Beállítások' opens the dialog; moving the track bar alone changes nothing"):
        dialog = open_dialog(x)
        x.screenshot("settings-dialog")
        set_track_bar(x, dialog, "Home", *["Prior"] * 12)  # 120
        holds_for(lambda: shows_level(x, shown, 255), BEAT_SECONDS + 0.7,
                  "the note's opacity without 'Alkalmaz'")

    with x.step("'Alkalmaz' changes the note's opacity while the dialog stays open"):
        click(x, dialog, APPLY)
        wait_until(lambda: shows_level(x, shown, 120), STEP_TIMEOUT,
                   "the note's opacity is 120 of 255")
        first_seen = time.monotonic()
        if not x.is_viewable(dialog.id):
            raise Failure("the dialog closed on 'Alkalmaz'")

    with x.step(f"a second change reaches the note within {BEAT_SECONDS:g} s"):
        # Applied right after a beat: it waits for the next one, the longest
        # any change waits.
        set_track_bar(x, dialog, "End", *["Next"] * 5)  # 205
        click(x, dialog, APPLY)
        wait_until(lambda: shows_level(x, shown, 205), STEP_TIMEOUT,
                   "the note's opacity is 205 of 255")
        waited = time.monotonic() - first_seen
        if waited > BEAT_SECONDS + POLL_SLACK:
            raise Failure(f"the change took {waited:.2f} s from the previous beat")
        x.screenshot("settings-dialog-applied")

    with x.step("'OK' closes the dialog and writes the new opacity to Vikora.ini"):
        click(x, dialog, OK)
        dialog_closes(x, dialog)
        wait_until(lambda: read_defaults(folder / "Vikora.ini")["AlphaBlendValue"] == "205",
                   STEP_TIMEOUT, "Vikora.ini holds AlphaBlendValue=205")

    with x.step("'Bezár' ends the program"):
        close_program(x, program)


def autostart_box_writes_and_removes_the_entry(x: XSession, binary: Path) -> None:
    # An opacity beyond the track bar's range: the dialog shows 255 and
    # "OK" stores that.
    folder = x.portable_folder("autostart", binary,
                               ini=SETTINGS.replace(b"AlphaBlendValue=255", b"AlphaBlendValue=300"))
    ini = folder / "Vikora.ini"
    program_file = os.path.realpath(folder / binary.name)
    entry = Path(x.program_env()["XDG_CONFIG_HOME"]) / "autostart" / "Vikora.desktop"
    program = x.start_program(folder, "autostart")
    wait_until(lambda: single_tray_icon(x), START_TIMEOUT, "the tray icon shows")

    with x.step("a ticked box and 'OK' write an entry that starts this program"):
        dialog = open_dialog(x)
        click(x, dialog, AUTOSTART_BOX)
        click(x, dialog, OK)
        dialog_closes(x, dialog)
        wait_until(lambda: read_defaults(ini)["AlphaBlendValue"] == "255", STEP_TIMEOUT,
                   "'OK' wrote Vikora.ini with AlphaBlendValue=255")
        wait_until(entry.exists, STEP_TIMEOUT, f"{entry} exists")
        lines = entry.read_text(encoding="utf-8").splitlines()
        if not lines or lines[0] != "[Desktop Entry]" or "Type=Application" not in lines:
            raise Failure(f"{entry.name} is no application entry: {lines}")
        # The entry's own group; the launcher's desktop actions keep their commands.
        group = lines[:next((i for i, line in enumerate(lines) if i and line.startswith("[")),
                            len(lines))]
        execs = [line[len("Exec="):] for line in group if line.startswith("Exec=")]
        if len(execs) != 1 or shlex.split(execs[0]) != [program_file]:
            raise Failure(f"Exec of {entry.name} is {execs}; expected the program {program_file}")

    with x.step("the dialog opens with the box ticked; unticked and applied, the entry goes"):
        dialog = open_dialog(x)
        x.screenshot("settings-dialog-autostart")
        settings_before = ini.read_bytes()
        click(x, dialog, AUTOSTART_BOX)
        click(x, dialog, APPLY)
        wait_until(lambda: not entry.exists(), STEP_TIMEOUT, f"{entry.name} is removed")
        click(x, dialog, CANCEL)
        dialog_closes(x, dialog)
        if entry.exists():
            raise Failure(f"{entry.name} came back after 'Mégsem'")
        if ini.read_bytes() != settings_before:
            raise Failure("'Alkalmaz' or 'Mégsem' wrote Vikora.ini")

    with x.step("'Bezár' ends the program"):
        close_program(x, program)


SCENARIOS = (applied_opacity_reaches_open_notes, autostart_box_writes_and_removes_the_entry)


if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("settings-*.png",), __doc__))
