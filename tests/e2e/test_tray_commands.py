#!/usr/bin/env python3
"""The tray's commands where the tray is not the usual one: with no tray at
all (openbox alone) the user is told once what is missing, the launcher's
desktop actions (`vikora --new-note` and friends) reach the running copy,
and a second start leaves something on screen; on a StatusNotifier tray
(xfce4-panel), whose menu stays live while a modal dialog is open, choosing
a command again opens no second dialog and no note that cannot be typed into.

usage: test_tray_commands.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import os
import subprocess
import sys
from pathlib import Path

# The source tree stays clean: no __pycache__ beside the harness.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

import desktops  # noqa: E402
from harness import Child, Failure, Window, XSession, holds_for, on_desktop, run_scenarios, wait_until  # noqa: E402
from test_note_windows import note  # noqa: E402
from test_running_program import (SETTINGS, START_TIMEOUT, STEP_TIMEOUT, notes_file,  # noqa: E402
                                  read_notes_file)

# Where the program reports a missing tray: two seconds to the start-up step,
# then a grace of five for a panel that starts late.
NO_TRAY_TIMEOUT = START_TIMEOUT + 7.0
PLAIN = note(3, 150, 200, 260, 110, "Sima jegyzet: tej, kenyér")
OLD_NOTE_SIZE = (260, 110)
SPLASH_SIZE = (500, 375)
OPTIONS = ("--new-note", "--settings", "--catalogue", "--help-window", "--about", "--quit")


# --- the program's windows and command line ---------------------------------

def is_dialog(x: XSession, window: Window) -> bool:
    out = x.run_tool("xprop", "-id", hex(window.id), "_NET_WM_WINDOW_TYPE", check=False)
    return "_NET_WM_WINDOW_TYPE_DIALOG" in out


def shown(x: XSession) -> list[Window]:
    """The program's shown windows, no popups; a window that goes away while
    the tree is read makes the listing start again."""
    for _ in range(5):
        try:
            return [w for w in x.shown_top_levels() if not x.is_override_redirect(w.id)]
        except Failure:
            continue
    return [w for w in x.shown_top_levels() if not x.is_override_redirect(w.id)]


def titled(x: XSession, title: str) -> list[Window]:
    return [w for w in shown(x) if x.title(w.id) == title]


def new_notes(x: XSession) -> list[Window]:
    """Note windows other than PLAIN (a window manager may pad a new note's
    size, so it is not matched exactly) and the splash."""
    return [w for w in shown(x)
            if (w.width, w.height) not in (OLD_NOTE_SIZE, SPLASH_SIZE) and not is_dialog(x, w)]


def no_tray_messages(x: XSession) -> list[Window]:
    return [w for w in titled(x, "Vikora") if is_dialog(x, w)]


def program_file(folder: Path) -> Path:
    return next(p for p in folder.iterdir() if p.is_file() and os.access(p, os.X_OK))


def program_env(x: XSession, folder: Path) -> dict[str, str]:
    env = x.program_env()
    env["VIKORA_INSTANCE_KEY"] = f"{x.instance_key}-{folder.name}"
    return env


def run_copy(x: XSession, folder: Path, *args: str) -> subprocess.CompletedProcess:
    """A later copy with options: it hands over and ends."""
    try:
        return subprocess.run([str(program_file(folder)), *args], env=program_env(x, folder),
                              stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=STEP_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure(f"vikora {' '.join(args)} did not end within {STEP_TIMEOUT:g} s") from None


def start_with(x: XSession, folder: Path, log_name: str, *args: str) -> Child:
    """A first copy started with options, owned by the session like start_program's."""
    child = Child(log_name, [str(program_file(folder)), *args], program_env(x, folder),
                  x.artifacts / f"{log_name}.log")
    x._children.append(child)  # noqa: SLF001 - the session ends it with the others
    x._programs.append(child)  # noqa: SLF001
    return child


def expect_exit(result: subprocess.CompletedProcess, code: int, what: str) -> None:
    if result.returncode != code:
        raise Failure(f"{what}: exit code {result.returncode}, expected {code}; stderr "
                      f"{result.stderr.decode(errors='replace')!r}")


def close_by_escape(x: XSession, window: Window) -> None:
    x.focus(window)
    x.keys("Escape")
    wait_until(lambda: not x.is_viewable(window.id), STEP_TIMEOUT, f"{window} closes on Escape")


# --- no tray: openbox alone -----------------------------------------------

@on_desktop("openbox")
def no_tray_commands_through_options(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("no-tray", binary, ini=SETTINGS, csv=notes_file([PLAIN]))

    with x.step("--help lists the options and ends with 0; an unknown option ends with 2"):
        result = run_copy(x, folder, "--help")
        expect_exit(result, 0, "--help")
        listed = result.stdout.decode()
        missing = [o for o in OPTIONS if o not in listed]
        if missing:
            raise Failure(f"--help does not list {missing}: {listed!r}")
        result = run_copy(x, folder, "--no-such-option")
        expect_exit(result, 2, "an unknown option")
        if "Használat: vikora" not in result.stderr.decode() or result.stdout:
            raise Failure(f"no usage line on stderr: {result.stderr!r} / {result.stdout!r}")

    program = x.start_program(folder, "no-tray-program")
    with x.step("without a tray the user is told once what is missing and how to go on"):
        box = wait_until(lambda: (no_tray_messages(x) or [None])[0], NO_TRAY_TIMEOUT,
                         "the no-tray message is shown")
        x.screenshot("no-tray-message")
        close_by_escape(x, box)
        holds_for(lambda: not no_tray_messages(x), 3.0, "the message is not shown again")

    with x.step("--new-note hands over to the running copy: a new note shows"):
        expect_exit(run_copy(x, folder, "--new-note"), 0, "--new-note")
        wait_until(lambda: len(new_notes(x)) == 1, STEP_TIMEOUT, "the new note is shown")
        x.screenshot("no-tray-new-note")

    with x.step("--settings opens the settings dialog once, even when given twice"):
        expect_exit(run_copy(x, folder, "--settings"), 0, "--settings")
        dialog = wait_until(lambda: (titled(x, "Beállítások") or [None])[0], STEP_TIMEOUT,
                            "the settings dialog is shown")
        expect_exit(run_copy(x, folder, "--settings"), 0, "--settings again")
        expect_exit(run_copy(x, folder, "--new-note"), 0, "--new-note under the dialog")
        holds_for(lambda: len(titled(x, "Beállítások")) == 1 and len(new_notes(x)) == 1, 2.0,
                  "one settings dialog and no note it would block")
        x.screenshot("no-tray-settings")
        close_by_escape(x, dialog)

    with x.step("--quit saves the notes and ends the running copy with 0"):
        expect_exit(run_copy(x, folder, "--quit"), 0, "--quit")
        code = program.wait_exit(STEP_TIMEOUT, "--quit")
        if code != 0:
            raise Failure(f"the program ended with {code}")
        records = read_notes_file(folder / "Vikora.csv")
        if sorted(r["az"] for r in records) != ["3", "4"]:
            raise Failure(f"the notes file holds {[(r['az'], r['szoveg']) for r in records]}")


@on_desktop("openbox")
def no_tray_second_start_shows_something(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("no-tray-empty", binary, ini=SETTINGS)

    program = start_with(x, folder, "no-tray-started-with-option", "--settings")
    with x.step("with no copy running, an option starts the program and then runs"):
        dialog = wait_until(lambda: (titled(x, "Beállítások") or [None])[0], START_TIMEOUT,
                            "the settings dialog is shown")
        close_by_escape(x, dialog)
    if new_notes(x):
        raise Failure("a note shows although the notes file held none")

    with x.step("a second start with no note on screen and no tray makes a new note"):
        expect_exit(run_copy(x, folder), 0, "the second start")
        wait_until(lambda: len(new_notes(x)) == 1, STEP_TIMEOUT, "a new note is shown")
        x.screenshot("no-tray-second-start")
        expect_exit(run_copy(x, folder), 0, "a third start")
        holds_for(lambda: len(new_notes(x)) == 1, 1.5, "a shown note is only brought forward")

    with x.step("--quit ends it; --quit with no copy running starts nothing"):
        expect_exit(run_copy(x, folder, "--quit"), 0, "--quit")
        program.wait_exit(STEP_TIMEOUT, "--quit")
        result = run_copy(x, folder, "--quit")
        expect_exit(result, 0, "--quit with nothing running")
        holds_for(lambda: not shown(x), 1.0, "nothing is shown")


@on_desktop("openbox")
def tray_appearing_later_gets_the_icon(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("late-tray", binary, ini=SETTINGS, csv=notes_file([PLAIN]))
    program = x.start_program(folder, "late-tray-program")
    wait_until(lambda: no_tray_messages(x), NO_TRAY_TIMEOUT, "the no-tray message is shown")

    with x.step("a tray started later gets the icon, and the message goes"):
        desktops.start_trayer(x)
        tray = next(c for c in reversed(x._children) if c.name == "trayer")  # noqa: SLF001
        try:
            wait_until(lambda: x.tray_icons(), STEP_TIMEOUT, "the icon is in the new tray")
            wait_until(lambda: not no_tray_messages(x), STEP_TIMEOUT, "the message closes")
            x.screenshot("no-tray-then-tray")
            holds_for(lambda: len(x.tray_icons()) == 1, 1.0, "one icon only")
        finally:
            # The other scenarios of this desktop have no tray.
            tray.stop()
            x._children.remove(tray)  # noqa: SLF001
    expect_exit(run_copy(x, folder, "--quit"), 0, "--quit")
    program.wait_exit(STEP_TIMEOUT, "--quit")


# --- the StatusNotifier tray: xfce4-panel --------------------------------------

@on_desktop("xfce")
def status_notifier_menu_with_a_modal_dialog(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("sni", binary, ini=SETTINGS, csv=notes_file([PLAIN]))
    program = x.start_program(folder, "sni-program")
    with x.step("the icon is a StatusNotifier item with the tray menu"):
        item = wait_until(lambda: (x.sni_items() or [None])[0], START_TIMEOUT,
                          "the program's item is registered")
        entries = wait_until(lambda: x.sni_menu_entries(item), STEP_TIMEOUT, "the menu is there")
        for label in ("Új ablak készítés", "Beállítások", "Bezár"):
            if label not in entries:
                raise Failure(f"no {label!r} in the menu {sorted(entries)}")

    with x.step("'Beállítások' opens the dialog; chosen again with it open, no second one"):
        x.sni_click_menu_entry(item, "Beállítások")
        dialog = wait_until(lambda: (titled(x, "Beállítások") or [None])[0], STEP_TIMEOUT,
                            "the settings dialog is shown")
        x.sni_click_menu_entry(item, "Beállítások")
        x.sni_click_menu_entry(item, "Új ablak készítés")
        x.sni_activate(item)
        holds_for(lambda: len(titled(x, "Beállítások")) == 1 and not new_notes(x), 2.0,
                  "one settings dialog and no new note behind it")
        x.screenshot("sni-modal-settings")
        close_by_escape(x, dialog)

    with x.step("with the dialog closed the menu makes a note that takes typing"):
        x.sni_click_menu_entry(item, "Új ablak készítés")
        made = wait_until(lambda: (new_notes(x) or [None])[0], STEP_TIMEOUT, "the new note shows")
        x.focus(made)
        x.keys("F2", "a", "b", "c", "ctrl+Return")
        x.screenshot("sni-new-note")

    with x.step("'Bezár' from the menu saves the typed note and ends the program"):
        x.sni_click_menu_entry(item, "Bezár")
        code = program.wait_exit(STEP_TIMEOUT, "'Bezár'")
        if code != 0:
            raise Failure(f"exit code {code}")
        texts = {r["az"]: r["szoveg"] for r in read_notes_file(folder / "Vikora.csv")}
        if texts.get("4") != "abc":
            raise Failure(f"the new note was not saved with its text: {texts}")
    if no_tray_messages(x):
        raise Failure("the no-tray message showed although the tray was there")


SCENARIOS = (no_tray_commands_through_options, no_tray_second_start_shows_something,
             tray_appearing_later_gets_the_icon, status_notifier_menu_with_a_modal_dialog)



if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("no-tray-*.png", "sni-*.png", "no_tray_*-*.png",
                                                 "status_notifier_*-*.png"), __doc__))
