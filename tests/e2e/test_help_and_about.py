#!/usr/bin/env python3
"""The real vikora program's help window and about box on an X screen: opened
from the tray menu, the contents scrolling the page, the two links handed to
the desktop's opener, two help windows at once, the modal about box closed
with Enter.

usage: test_help_and_about.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import sys
from pathlib import Path
from urllib.parse import unquote

# The source tree stays clean: no __pycache__ beside the harness.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import SCREEN_HEIGHT, SCREEN_WIDTH, Failure, Window, XSession, run_scenarios, wait_until  # noqa: E402
from test_running_program import (SETTINGS, START_TIMEOUT, STEP_TIMEOUT,  # noqa: E402
                                   choose_from_menu, dialogs, dismiss, single_tray_icon)

HELP_WIDTH = 622
HELP_HEIGHT = 880
ABOUT_SIZE = (592, 308)
# Menu keys from a fresh menu: "Súgó" is the third entry, "Névjegy" the one
# above the last.
SUGO = ("Down", "Down", "Down")
NEVJEGY = ("Up", "Up")

# Places on the help page (label tops and the contents scroll position).
USAGE_ENTRY_TOP = 144
USAGE_POSITION = 816
MAIL_LINK_TOP = 1562
WEB_LINK_TOP = 1582
# The page ends with the contact block's box.
PAGE_HEIGHT = 1634


def new_window(x: XSession, known: set[int], title: str) -> Window:
    shown = wait_until(lambda: dialogs(x, known), STEP_TIMEOUT, f"a window {title!r} is shown")
    if len(shown) != 1:
        raise Failure(f"expected one new window, found {[str(w) for w in shown]}")
    if x.title(shown[0].id) != title:
        raise Failure(f"the new window {shown[0]} is titled {x.title(shown[0].id)!r}")
    return shown[0]


def click(x: XSession, left: int, top: int) -> None:
    x.run_tool("xdotool", "mousemove", "--sync", str(left), str(top), "click", "1")
    # Moved away so that no hover state is in the next picture.
    x.run_tool("xdotool", "mousemove", "--sync", "0", str(SCREEN_HEIGHT - 1))


def help_and_about(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("help-and-about", binary, ini=SETTINGS)
    program = x.start_program(folder, "help-and-about")
    wait_until(lambda: single_tray_icon(x), START_TIMEOUT, "the tray icon shows")
    known = {w.id for w in x.shown_top_levels()}

    with x.step("'Súgó' opens the help window, centred, and never above the screen"):
        choose_from_menu(x, *SUGO)
        help_window = new_window(x, known, "Súgó")
        height = min(HELP_HEIGHT, SCREEN_HEIGHT)
        if (help_window.width, help_window.height) != (HELP_WIDTH, height):
            raise Failure(f"the help window is {help_window}; expected {HELP_WIDTH}x{height}")
        if help_window.y < 0 or abs(help_window.x - (SCREEN_WIDTH - HELP_WIDTH) // 2) > 1:
            raise Failure(f"the help window is not centred on the screen: {help_window}")
        x.screenshot("help-window")
        top_of_page = x.grab_rgb(help_window)

    with x.step("the contents entry 'A program használata' scrolls the page"):
        click(x, help_window.x + 20, help_window.y + USAGE_ENTRY_TOP + 6)
        wait_until(lambda: x.grab_rgb(help_window) != top_of_page, STEP_TIMEOUT,
                   "the page shows another part")
        x.screenshot("help-window-usage")

    # The page stops at its end, below 816 on a low screen.
    position = min(USAGE_POSITION, PAGE_HEIGHT - help_window.height)

    with x.step("the e-mail link asks for a mail with the subject 'vikora megrendeles'"):
        click(x, help_window.x + 20, help_window.y + MAIL_LINK_TOP - position + 7)
        opened = wait_until(x.opened_addresses, STEP_TIMEOUT, "the opener is asked for an address")
        if len(opened) != 1 or not opened[0].startswith("mailto:") or \
                not unquote(opened[0]).endswith("?subject=vikora megrendeles"):
            raise Failure(f"the e-mail link asked the opener for {opened}")

    with x.step("the web link opens the second web site, not the address it shows"):
        click(x, help_window.x + 20, help_window.y + WEB_LINK_TOP - position + 7)
        opened = wait_until(lambda: x.opened_addresses()[1:], STEP_TIMEOUT,
                            "the opener is asked a second time")
        if len(opened) != 1 or not opened[0].startswith("https://") or \
                opened[0].startswith("https://www."):
            raise Failure(f"the web link asked the opener for {opened}")

    with x.step("'Súgó' again opens a second help window beside the first"):
        known.add(help_window.id)
        choose_from_menu(x, *SUGO)
        second = new_window(x, known, "Súgó")
        known.add(second.id)
        if not x.is_viewable(help_window.id):
            raise Failure("the first help window closed")

    with x.step("'Névjegy' opens the about box, centred"):
        choose_from_menu(x, *NEVJEGY)
        box = new_window(x, known, "Névjegy")
        if (box.width, box.height) != ABOUT_SIZE:
            raise Failure(f"the about box is {box}; expected {ABOUT_SIZE}")
        x.screenshot("about-box")

    with x.step("Enter presses 'OK' and closes the about box"):
        dismiss(x, box)

    with x.step("'Bezár' ends the program with exit code 0, help windows open"):
        choose_from_menu(x, "Up")
        code = program.wait_exit(STEP_TIMEOUT, "'Bezár'")
        if code != 0:
            raise Failure(f"exit code {code}")


SCENARIOS = (help_and_about,)


if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("help-*.png", "about-*.png", "help_and_about-*.png"),
                           __doc__))
