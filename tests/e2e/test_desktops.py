#!/usr/bin/env python3
"""The real vikora program on real desktop parts: two monitors, openbox with
its frames and workspaces, xfwm4 with its compositor and xfce4-panel's
StatusNotifier tray. Notes keep their places across restarts and monitor
changes, are on every workspace and out of the taskbar; the windows that
remember their place come back exactly there.

usage: test_desktops.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import sys
from pathlib import Path

# The source tree stays clean: no __pycache__ beside the harness.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (Child, Failure, Window, XSession, on_desktop, run_scenarios,  # noqa: E402
                     wait_until)
from test_catalogue_window import catalogue_download  # noqa: E402
from test_note_windows import note, note_windows, record, settings  # noqa: E402
from test_running_program import (START_TIMEOUT, STEP_TIMEOUT, choose_from_menu,  # noqa: E402
                                  notes_file, single_tray_icon)

ALL_WORKSPACES = 0xFFFFFFFF
DATE_CAPTION = "Dátum megadása"
CATALOGUE_CAPTION = "Programok, letöltések"
OPENINGS = 10


# --- helpers -------------------------------------------------------------------

def tray_ready(x: XSession) -> object:
    return x.sni_items() if x.desktop == "xfce" else single_tray_icon(x)


def tray_command(x: XSession, label: str, keys: tuple[str, ...]) -> None:
    """A tray menu entry: over D-Bus on the StatusNotifier tray, by keys on trayer's."""
    if x.desktop == "xfce":
        x.sni_click_menu_entry(x.sni_items()[0], label)
    else:
        choose_from_menu(x, *keys)


def start(x: XSession, folder: Path, name: str, notes: int) -> tuple[Child, list[Window]]:
    program = x.start_program(folder, name)
    wait_until(lambda: tray_ready(x), START_TIMEOUT, "the tray shows the program")
    shown = wait_until(lambda: (lambda w: w if len(w) >= notes else None)(note_windows(x)),
                       START_TIMEOUT, f"{notes} note windows are shown")
    return program, shown


def close(x: XSession, program: Child) -> None:
    tray_command(x, "Bezár", ("Up",))
    code = program.wait_exit(STEP_TIMEOUT, "'Bezár'")
    if code != 0:
        raise Failure(f"exit code {code}")


def note_at(x: XSession, left: int, top: int) -> Window | None:
    return next((w for w in note_windows(x) if (w.x, w.y) == (left, top)), None)


def stored_place(folder: Path, az: int) -> tuple[int, int]:
    r = record(folder / "Vikora.csv", az)
    return int(r["left"]), int(r["top"])


def click(x: XSession, window: Window) -> None:
    cx, cy = window.centre
    x.run_tool("xdotool", "mousemove", "--sync", str(cx), str(cy), "click", "1")


def drag(x: XSession, window: Window, dx: int, dy: int) -> None:
    sx, sy = window.x + 20, window.y + window.height - 10
    x.run_tool("xdotool", "mousemove", "--sync", str(sx), str(sy), "mousedown", "1")
    for step in range(1, 11):
        x.run_tool("xdotool", "mousemove", "--sync", str(sx + dx * step // 10),
                   str(sy + dy * step // 10))
    x.run_tool("xdotool", "mouseup", "1")


def ini_section(folder: Path, section: str) -> dict[str, str]:
    values: dict[str, str] = {}
    current = ""
    for line in (folder / "Vikora.ini").read_text(encoding="cp1250").splitlines():
        if line.startswith("["):
            current = line.strip("[]")
        elif current == section and "=" in line:
            key, _, value = line.partition("=")
            values[key] = value
    return values


def titled(x: XSession, caption: str) -> Window | None:
    return next((w for w in x.shown_top_levels() if x.title(w.id) == caption), None)


def check_on_every_workspace(x: XSession, notes: list[Window], picture: str) -> None:
    for w in notes:
        desktop, state = x.wm_desktop(w.id), x.wm_state(w.id)
        if desktop != ALL_WORKSPACES and "_NET_WM_STATE_STICKY" not in state:
            raise Failure(f"{w} is on workspace {desktop} only (state {sorted(state)})")
        if "_NET_WM_STATE_SKIP_TASKBAR" not in state:
            raise Failure(f"{w} is in the taskbar (state {sorted(state)})")
    x.switch_workspace(1)
    try:
        wait_until(lambda: all(x.is_viewable(w.id) for w in notes), STEP_TIMEOUT,
                   "every note is shown on the second workspace")
        x.screenshot(picture)
    finally:
        x.switch_workspace(0)


# --- scenarios -----------------------------------------------------------------

@on_desktop("two-monitors")
def notes_on_the_second_monitor(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("monitors", binary, settings(False), notes_file([
        note(3, 1300, 100, 260, 110, "A második monitoron"),
        note(5, 200, 300, 260, 110, "Az elsőn")]))

    with x.step("a note at x=1300 shows on the right monitor"):
        if set(x.monitors()) != {"left", "right"}:
            raise Failure(f"monitors {x.monitors()}")
        program, _ = start(x, folder, "monitors-1", 2)
        wait_until(lambda: note_at(x, 1300, 100) and note_at(x, 200, 300), STEP_TIMEOUT,
                   "the notes are at (1300, 100) and (200, 300)")
        x.screenshot("desktops-two-monitors")
        close(x, program)
        if stored_place(folder, 3) != (1300, 100):
            raise Failure(f"Vikora.csv holds {stored_place(folder, 3)}")

    with x.step("after a restart it is there again"):
        program, _ = start(x, folder, "monitors-2", 2)
        moved = wait_until(lambda: note_at(x, 1300, 100), STEP_TIMEOUT,
                           "the note is at (1300, 100) again")

    with x.step("the right monitor removed: the note comes onto the left one"):
        x.remove_monitor("right")
        shown = wait_until(
            lambda: next((w for w in note_windows(x) if w.id == moved.id
                          and w.x >= 0 and w.x + w.width <= 1024), None),
            STEP_TIMEOUT, "the note is on the left monitor")
        x.screenshot("desktops-monitor-removed")
        # A click is no move: the stored place stays (checked at the exit).
        click(x, shown)
        if not note_at(x, 200, 300):
            raise Failure("the note on the left monitor moved")

    with x.step("the monitor back: the note returns to x=1300"):
        x.add_monitor("right", 1024)
        wait_until(lambda: note_at(x, 1300, 100), STEP_TIMEOUT,
                   "the note is at (1300, 100) again")
        close(x, program)
        if stored_place(folder, 3) != (1300, 100):
            raise Failure(f"Vikora.csv holds {stored_place(folder, 3)}")


def notes_under_a_window_manager(x: XSession, binary: Path) -> None:
    folder = x.portable_folder(f"wm-{x.desktop}", binary, settings(False), notes_file([
        note(3, 0, 0, 260, 110, "A sarokban"),
        note(5, 300, 200, 260, 110, "Középen")]))
    prefix = f"desktops-{x.desktop}"

    with x.step("notes at their places, on every workspace, out of the taskbar"):
        program, _ = start(x, folder, f"{prefix}-1", 2)
        middle = wait_until(lambda: note_at(x, 300, 200), STEP_TIMEOUT,
                            "the note is at (300, 200)")
        # The window manager keeps the corner note below its panel.
        corner = wait_until(lambda: next((w for w in note_windows(x) if w.id != middle.id),
                                         None), STEP_TIMEOUT, "the corner note is shown")
        check_on_every_workspace(x, [middle, corner], f"{prefix}-second-workspace")

    with x.step(f"the corner note shown at {(corner.x, corner.y)} keeps (0, 0) after a click"):
        click(x, corner)
        close(x, program)
        if stored_place(folder, 3) != (0, 0):
            raise Failure(f"Vikora.csv holds {stored_place(folder, 3)}")

    with x.step("a drag moves it from where it is shown"):
        program, _ = start(x, folder, f"{prefix}-2", 2)
        corner = wait_until(lambda: next((w for w in note_windows(x)
                                          if (w.x, w.y) != (300, 200)), None),
                            STEP_TIMEOUT, "the corner note is shown")
        start_x, start_y = corner.x, corner.y
        drag(x, corner, 60, 50)
        moved = wait_until(lambda: note_at(x, start_x + 60, start_y + 50), STEP_TIMEOUT,
                           f"the note is at ({start_x + 60}, {start_y + 50}), "
                           "moved from where it was shown")
        close(x, program)
        if stored_place(folder, 3) != (moved.x, moved.y):
            raise Failure(f"Vikora.csv holds {stored_place(folder, 3)}")

    with x.step("after a restart the notes are where they were"):
        program, _ = start(x, folder, f"{prefix}-3", 2)
        wait_until(lambda: note_at(x, 300, 200) and note_at(x, moved.x, moved.y), STEP_TIMEOUT,
                   f"the notes are at (300, 200) and ({moved.x}, {moved.y})")
        check_on_every_workspace(x, note_windows(x), f"{prefix}-restarted-second-workspace")
        close(x, program)
        if stored_place(folder, 5) != (300, 200):
            raise Failure(f"Vikora.csv holds {stored_place(folder, 5)}")


def remembered_windows(x: XSession, binary: Path) -> None:
    ini = (settings(False) + b"[frm_Datumbe]\r\nLeft=400\r\nTop=300\r\n"
           b"[frm_Programok]\r\nLeft=350\r\nTop=150\r\nWidth=600\r\nHeight=400\r\n")
    folder = x.portable_folder(f"remembered-{x.desktop}", binary, ini,
                               notes_file([note(3, 100, 500, 260, 110, "Dátumos")]))
    # The stored catalogue: no download.
    (folder / "Programok.csv").write_bytes(catalogue_download().decode("utf-8").encode("cp1250"))
    program, (shown,) = start(x, folder, f"remembered-{x.desktop}", 1)

    def open_and_close(what: str, caption: str, opener, closer: tuple[str, ...],
                       section: str, place: tuple[int, int]) -> None:
        for opening in range(1, OPENINGS + 1):
            opener()
            window = wait_until(lambda: titled(x, caption), STEP_TIMEOUT,
                                f"{what} is shown ({opening}. opening)")
            got = wait_until(lambda: (lambda w: w if w and (w.x, w.y) == place else None)(
                titled(x, caption)), STEP_TIMEOUT,
                f"{what} is at {place} ({opening}. opening; shown at "
                f"{(window.x, window.y)}, frame {x.frame_geometry(window)})")
            if opening == 1:
                x.screenshot(f"desktops-{x.desktop}-{section}")
            x.focus(got)
            x.keys(*closer)
            wait_until(lambda: not any(w.id == got.id for w in x.windows()), STEP_TIMEOUT,
                       f"{what} closes")
            stored = ini_section(folder, section)
            if (int(stored.get("Left", "-1")), int(stored.get("Top", "-1"))) != place:
                raise Failure(f"after the {opening}. opening Vikora.ini holds {stored}")

    with x.step(f"the date dialog opens at its stored place {OPENINGS} times"):
        def open_date() -> None:
            x.focus(wait_until(lambda: next(iter(note_windows(x)), None), STEP_TIMEOUT,
                               "the note"))
            x.keys("ctrl+d")
        open_and_close("the date dialog", DATE_CAPTION, open_date, ("Escape",),
                       "frm_Datumbe", (400, 300))

    with x.step("the note did not move"):
        if not note_at(x, shown.x, shown.y):
            raise Failure("the note moved")

    # Closed by the window manager (Alt+F4): xfwm4 keeps Ctrl+F4 for
    # its fourth workspace.
    with x.step(f"the catalogue opens at its stored place {OPENINGS} times"):
        open_and_close("the catalogue", CATALOGUE_CAPTION,
                       lambda: tray_command(x, "További letölthető programok", ("Down",) * 6),
                       ("alt+F4",), "frm_Programok", (350, 150))
        stored = ini_section(folder, "frm_Programok")
        if (stored.get("Width"), stored.get("Height")) != ("600", "400"):
            raise Failure(f"the catalogue's size changed: {stored}")
        close(x, program)


def on(desktop: str, scenario):
    def run(x: XSession, binary: Path) -> None:
        scenario(x, binary)

    run.__name__ = f"{scenario.__name__}_{desktop.replace('-', '_')}"
    return on_desktop(desktop)(run)


SCENARIOS = (
    notes_on_the_second_monitor,
    on("openbox-trayer", notes_under_a_window_manager),
    on("openbox-trayer", remembered_windows),
    on("xfce", notes_under_a_window_manager),
    on("xfce", remembered_windows),
)

if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("desktops-*.png",), __doc__))
