#!/usr/bin/env python3
"""The README's pictures, taken from the real program on a private X screen.

usage: scripts/make_screenshots.py PROGRAM [OUTPUT_FOLDER]   (default docs/screenshots)

Takes notes.png (a few notes on the desktop) and tray-menu.png (the tray
icon's menu). The two dialog pictures are the marked steps at the end:
properties-dialog.png (Alt+Enter on a note) and settings-dialog.png (the tray
menu's "Beállítások"); each is taken when its dialog opens and reported as
missing otherwise. Needs the end-to-end test tools (xvfb, trayer, xdotool,
imagemagick).
"""

from __future__ import annotations

import shutil
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True
ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Failure, XSession, missing_tools, wait_until  # noqa: E402
from test_running_program import (NOTE, SETTINGS, dialogs, find_splash, notes_file,  # noqa: E402
                                  open_tray_menu)

DIALOG_TIMEOUT = 10.0
NOTES = [
    dict(NOTE, az="1", left="60", top="80", width="300", height="110", szin="10092543",
         fontname="Liberation Sans", fontsize="14", fontcolor="0", isbold="True",
         szoveg="Bevásárlás: kenyér, tej, őszibarack"),
    dict(NOTE, az="2", left="420", top="90", width="260", height="90", szin="16764108",
         fontname="Liberation Serif", fontsize="13", fontcolor="8388608", isbold="False",
         isitalic="True", igazit="2", latszik="False", szoveg="Fogorvos csütörtökön 10-kor"),
    dict(NOTE, az="3", left="140", top="260", width="340", height="100", szin="13434828",
         fontname="Liberation Sans", fontsize="12", fontcolor="25600", isbold="False",
         igazit="0", latszik="False", szoveg="Számlák befizetése a hónap végéig: "
         "villany, gáz, internet"),
]


def take(x: XSession, name: str, output: Path) -> None:
    shutil.copy2(x.screenshot(name), output / f"{name}.png")
    print(f"  {output / (name + '.png')}")


def notes_and_menu(x: XSession, binary: Path, output: Path) -> None:
    folder = x.portable_folder("shots", binary, ini=SETTINGS, csv=notes_file(NOTES))
    x.start_program(folder, "shots")
    wait_until(lambda: len(x.shown_top_levels()) >= len(NOTES) and find_splash(x) is None, 30,
               "the notes are shown and the splash is gone")
    time.sleep(0.5)
    take(x, "notes", output)
    menu, _ = open_tray_menu(x)
    time.sleep(0.3)
    take(x, "tray-menu", output)
    x.keys("Escape")
    wait_until(lambda: not x.is_viewable(menu.id), 10, "the menu closes")


# --- Dialog steps: run after the dialogs are merged ---------------------------

def properties_dialog(x: XSession, output: Path) -> None:
    """STEP FOR THE DIALOGS: Alt+Enter on the first note opens its properties."""
    known = {w.id for w in x.shown_top_levels()}
    note = min(x.shown_top_levels(), key=lambda w: (w.y, w.x))
    x.focus(note)
    x.keys("alt+Return")
    dialog = wait_until(lambda: next(iter(dialogs(x, known)), None), DIALOG_TIMEOUT,
                        "the properties dialog opens")
    time.sleep(0.5)
    take(x, "properties-dialog", output)
    x.focus(dialog)
    x.keys("Escape")


def settings_dialog(x: XSession, output: Path) -> None:
    """STEP FOR THE DIALOGS: the tray menu's "Beállítások" (second entry)."""
    known = {w.id for w in x.shown_top_levels()}
    menu, _ = open_tray_menu(x)
    x.keys("Down", "Down", "Return")
    dialog = wait_until(lambda: next(iter(dialogs(x, known - {menu.id})), None),
                        DIALOG_TIMEOUT, "the settings dialog opens")
    time.sleep(0.5)
    take(x, "settings-dialog", output)
    x.focus(dialog)
    x.keys("Escape")


def main(argv: list[str]) -> int:
    if len(argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    missing = missing_tools()
    if missing:
        print(f"needs {', '.join(missing)}", file=sys.stderr)
        return 1
    binary = Path(argv[1]).resolve()
    output = Path(argv[2]) if len(argv) == 3 else ROOT / "docs" / "screenshots"
    output.mkdir(parents=True, exist_ok=True)
    missed = []
    with XSession(Path(tempfile.mkdtemp(prefix="vikora-shots-"))) as x:
        notes_and_menu(x, binary, output)
        for step in (properties_dialog, settings_dialog):
            try:
                step(x, output)
            except Failure as e:
                missed.append(step.__name__)
                print(f"  not taken: {step.__name__} ({e})", file=sys.stderr)
        x.stop_programs()
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
