#!/usr/bin/env python3
"""The real vikora program's note windows on an X screen: due notes shown at
their stored places, future ones not; dragging a note; editing its text;
transparent windows letting clicks through.

usage: test_note_windows.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import sys
import time
from pathlib import Path

# The source tree stays clean: no __pycache__ beside the harness.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import Child, Failure, Window, XSession, run_scenarios, wait_until  # noqa: E402
from test_running_program import (NOTE, START_TIMEOUT, STEP_TIMEOUT,  # noqa: E402
                                   choose_from_menu, notes_file, read_notes_file,
                                   single_tray_icon)

SETTINGS = ("[Defaults]\r\nColor=65535\r\nFont.Name=DejaVu Sans\r\nFont.Size=12\r\nFont.Color=0\r\n"
            "Font.IsUnderline=0\r\nFont.IsBold=0\r\nFont.IsItalic=0\r\nAlignment=0\r\n"
            "FontTransparent=0\r\nWindowTransparent={transparent}\r\nAlphaBlend=0\r\n"
            "AlphaBlendValue=255\r\n")


def note(az: int, left: int, top: int, width: int, height: int, text: str, *,
         tol: str = "01/01/2020", important: bool = False, color: int = 8454143) -> dict[str, str]:
    return dict(NOTE, az=str(az), left=str(left), top=str(top), width=str(width),
                height=str(height), szoveg=text, tol=tol, latszik=str(important),
                szin=str(color), fontname="DejaVu Sans", fontcolor="0", isbold="False")


def settings(transparent: bool) -> bytes:
    return SETTINGS.format(transparent=int(transparent)).encode("cp1250")


def note_windows(x: XSession) -> list[Window]:
    """The program's shown top-level windows that are neither popups nor the
    splash (gone before the notes show)."""
    return [w for w in x.shown_top_levels()
            if not x.is_override_redirect(w.id) and (w.width, w.height) != (500, 375)]


def window_at(x: XSession, left: int, top: int) -> Window | None:
    return next((w for w in note_windows(x) if (w.x, w.y) == (left, top)), None)


def wait_for_notes(x: XSession, count: int) -> list[Window]:
    wait_until(lambda: single_tray_icon(x), START_TIMEOUT, "the tray icon shows")
    return wait_until(lambda: (lambda shown: shown if len(shown) >= count else None)(note_windows(x)),
                      START_TIMEOUT, f"{count} note windows are shown")


def record(path: Path, az: int) -> dict[str, str]:
    found = [r for r in read_notes_file(path) if r["az"] == str(az)]
    if len(found) != 1:
        raise Failure(f"{path.name} holds {len(found)} records with az {az}")
    return found[0]


def close_program(x: XSession, program: Child) -> None:
    choose_from_menu(x, "Up")
    code = program.wait_exit(STEP_TIMEOUT, "'Bezár'")
    if code != 0:
        raise Failure(f"exit code {code}")


# --- scenarios -----------------------------------------------------------------

PLAIN = note(3, 150, 200, 260, 110, "Sima jegyzet: tej, kenyér")
IMPORTANT = note(5, 600, 250, 300, 140, "Fontos: fogorvos 10-kor", important=True, color=8421631)
FUTURE = note(9, 200, 500, 240, 100, "Majd jövőre", tol="01/01/2099")


def shown_moved_and_edited(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("notes", binary, ini=settings(False),
                               csv=notes_file([PLAIN, IMPORTANT, FUTURE]))
    notes = folder / "Vikora.csv"
    program = x.start_program(folder, "notes")

    with x.step("the two due notes show at their stored places and sizes, the future one not"):
        wait_for_notes(x, 2)
        time.sleep(0.3)  # a third window would have come with the others
        shown = sorted((w.x, w.y, w.width, w.height) for w in note_windows(x))
        want = sorted((int(n["left"]), int(n["top"]), int(n["width"]), int(n["height"]))
                      for n in (PLAIN, IMPORTANT))
        if shown != want:
            raise Failure(f"shown note windows {shown}; expected {want}")
        x.screenshot("note-plain-and-important")

    plain = window_at(x, 150, 200)
    important = window_at(x, 600, 250)
    assert plain and important

    with x.step("the important note carries its marker at its top right corner"):
        width, _, pixels = x.grab_rgb(important)
        background = pixels[(5 * width + 5) * 3:(5 * width + 5) * 3 + 3]
        marker = {pixels[(py * width + px) * 3:(py * width + px) * 3 + 3]
                  for py in range(1, 17) for px in range(width - 17, width - 1)}
        if marker == {background}:
            raise Failure("nothing is drawn where the marker belongs")
        width, _, pixels = x.grab_rgb(plain)
        corner = {pixels[(py * width + px) * 3:(py * width + px) * 3 + 3]
                  for py in range(1, 17) for px in range(width - 17, width - 1)}
        if len(corner) != 1:
            raise Failure("the plain note shows something in the marker's corner")

    with x.step("a drag with the left button moves the plain note"):
        sx, sy = plain.x + 20, plain.y + plain.height - 10
        x.run_tool("xdotool", "mousemove", "--sync", str(sx), str(sy), "mousedown", "1")
        for step in range(1, 11):
            x.run_tool("xdotool", "mousemove", "--sync", str(sx + 15 * step), str(sy + 12 * step))
        x.run_tool("xdotool", "mouseup", "1")
        moved = wait_until(lambda: window_at(x, 300, 320), STEP_TIMEOUT,
                           "the plain note is at (300, 320)")
        if (moved.width, moved.height) != (260, 110):
            raise Failure(f"the drag changed the size: {moved}")

    with x.step("F2, typed text and Ctrl+Enter write the text to Vikora.csv at once"):
        x.focus(moved)
        x.keys("F2")
        editing = wait_until(lambda: (lambda w: w if w and w.height == 115 else None)(
            window_at(x, 300, 320)), STEP_TIMEOUT, "the note grows by 5 pixels in edit mode")
        x.run_tool("xdotool", "key", "ctrl+End")
        x.run_tool("xdotool", "type", "--delay", "20", " es vaj")
        x.screenshot("note-edit-mode")
        x.keys("ctrl+Return")
        wait_until(lambda: record(notes, 3)["szoveg"].endswith(" es vaj"), STEP_TIMEOUT,
                   "Vikora.csv holds the note's new text")
        if not program.running():
            raise Failure("the program ended")
        wait_until(lambda: (lambda w: w and w.height == 110)(window_at(x, 300, 320)),
                   STEP_TIMEOUT, "the note leaves edit mode and its height is back")
        del editing

    with x.step("F6 shows the sizing border (resize mode)"):
        x.focus(important)
        x.keys("F6")
        time.sleep(0.3)  # no event tells that the border is painted
        x.screenshot("note-resize-mode")
        x.keys("F6")

    with x.step("'Bezár' ends the program; the moved note's place is in the file"):
        close_program(x, program)
        moved_record = record(notes, 3)
        got = tuple(moved_record[k] for k in ("left", "top", "width", "height"))
        if got != ("300", "320", "260", "110"):
            raise Failure(f"the moved note is stored at {got}")
        if not moved_record["szoveg"].endswith(" es vaj"):
            raise Failure(f"the edited text was lost: {moved_record['szoveg']!r}")
        stayed = record(notes, 5)
        if (stayed["left"], stayed["top"]) != ("600", "250"):
            raise Failure(f"the important note moved: {stayed}")
        future = record(notes, 9)
        if (future["tol"], future["szoveg"]) != (FUTURE["tol"], FUTURE["szoveg"]):
            raise Failure(f"the future note changed: {future}")


def click_through_transparent(x: XSession, binary: Path) -> None:
    # An X client below the note that reports every button press it gets.
    below = Child("xev", ["xev", "-geometry", "400x300+100+150", "-event", "button"],
                  x.tool_env(), x.artifacts / "xev.log")
    x._children.append(below)
    xev_window = wait_until(
        lambda: next((w for w in x.windows() if w.depth == 1 and w.name == "Event Tester"
                      and x.is_viewable(w.id)), None),
        STEP_TIMEOUT, "xev's window 'Event Tester' is shown")

    see_through = note(4, 200, 250, 240, 120, "Átlátszó")
    folder = x.portable_folder("transparent", binary, ini=settings(True),
                               csv=notes_file([see_through]))
    program = x.start_program(folder, "transparent")

    with x.step("the transparent note shows over the window below"):
        shown = wait_for_notes(x, 1)
        note_window = shown[0]
        if (note_window.x, note_window.y) != (200, 250):
            raise Failure(f"the note is at {note_window}")
        x.screenshot("note-transparent")

    def presses() -> int:
        return below.log.read_text(errors="replace").count("ButtonPress event")

    with x.step("a click on the note's text stays with the note"):
        # A text pixel: dark, with dark pixels right and below it.
        width, height, pixels = x.grab_rgb(note_window)

        def dark(px: int, py: int) -> bool:
            return sum(pixels[(py * width + px) * 3:(py * width + px) * 3 + 3]) < 200

        ink = next(((px, py) for py in range(height - 1) for px in range(width - 1)
                    if dark(px, py) and dark(px + 1, py) and dark(px, py + 1)), None)
        if ink is None:
            raise Failure("no text is drawn on the transparent note")
        x.run_tool("xdotool", "mousemove", "--sync", str(note_window.x + ink[0]),
                   str(note_window.y + ink[1]), "click", "1")
        x.run_tool("xdotool", "mousemove", "--sync", "0", "799")  # a round trip to the server
        time.sleep(0.3)  # a press that went through would be in xev's log by now
        if presses():
            raise Failure(f"the click on the text at {ink} went through to the window below")

    with x.step("a click on the note's background reaches the window below"):
        # The note's bottom left corner: background, far from the text.
        cx, cy = note_window.x + 5, note_window.y + note_window.height - 5
        x.run_tool("xdotool", "mousemove", "--sync", str(cx), str(cy), "click", "1")
        wait_until(presses, STEP_TIMEOUT, "xev reports the button press")
        log = below.log.read_text(errors="replace")
        if f"root:({cx},{cy})" not in log.replace(" ", ""):
            raise Failure(f"xev got a press elsewhere than ({cx}, {cy}):\n{log}")
        x.screenshot("note-transparent-clicked")
        if not program.running():
            raise Failure("the program ended")

    with x.step("'Bezár' ends the program"):
        close_program(x, program)
    below.stop()


SCENARIOS = (shown_moved_and_edited, click_through_transparent)


if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("note-*.png",), __doc__))
