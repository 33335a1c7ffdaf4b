#!/usr/bin/env python3
"""The real vikora program on an X screen with a tray: splash, tray icon and
menu, the exit sequence, a second start and a damaged notes file.

usage: test_running_program.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import configparser
import csv
import io
import signal
import sys
import time
from collections import Counter
from pathlib import Path

# The source tree stays clean: no __pycache__ beside the harness.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (SCREEN_HEIGHT, SCREEN_WIDTH, Failure, Window, XSession,  # noqa: E402
                     holds_for, run_scenarios, wait_until)

# Generous limits: under AddressSanitizer on a busy machine the program
# starts several times slower. Every wait polls and ends as soon as it can.
START_TIMEOUT = 30.0
STEP_TIMEOUT = 15.0

SPLASH_SIZE = (500, 375)
# The fade: 23 steps of 21 ms. Qt 6.4 writes full opacity to the X window
# whatever the level, so the fade shows only in its length: a splash hidden
# at once goes well within MIN_FADE_SECONDS of the start-up step.
FADE_SECONDS = 23 * 0.021
MIN_FADE_SECONDS = 0.3

DEFAULTS_KEYS = ("Color", "Font.Name", "Font.Size", "Font.Color", "Font.IsUnderline",
                 "Font.IsBold", "Font.IsItalic", "Alignment", "FontTransparent",
                 "WindowTransparent", "AlphaBlend", "AlphaBlendValue")

# The tray menu from top to bottom; None is a separator.
MENU = ("Új ablak készítés", "Beállítások", None, "Súgó", "Zamolin honlapja",
        "Levélküldés Zamolinnak", "További letölthető programok", "Névjegy", None, "Bezár")


# --- files ---------------------------------------------------------------

NOTE_FIELDS = (("kep", "Graphic", 0, 10), ("szin", "Integer", 0, 10),
               ("left", "Integer", 0, 10), ("top", "Integer", 0, 10),
               ("height", "Integer", 0, 10), ("width", "Integer", 0, 10),
               ("tol", "DateTime", 0, 18), ("figyelmeztet", "DateTime", 0, 18),
               ("latszik", "Boolean", 0, 5), ("fontname", "String", 30, 30),
               ("fontsize", "Integer", 0, 10), ("fontcolor", "Integer", 0, 10),
               ("isbold", "Boolean", 0, 5), ("isitalic", "Boolean", 0, 5),
               ("isunderline", "Boolean", 0, 5), ("az", "AutoInc", 0, 10),
               ("igazit", "Integer", 0, 10), ("szoveg", "Memo", 0, 10))

NOTE_TEXT = "Bevásárlás: kenyér, tej, őszibarack"
NOTE = {"szin": "8421631", "left": "120", "top": "200", "height": "100", "width": "330",
        "tol": "01/01/2020", "latszik": "True", "fontname": "Arial", "fontsize": "12",
        "fontcolor": "255", "isbold": "True", "isitalic": "False", "isunderline": "False",
        "az": "7", "igazit": "0", "szoveg": NOTE_TEXT}

SETTINGS = ("[Defaults]\r\nColor=65535\r\nFont.Name=Arial\r\nFont.Size=14\r\nFont.Color=255\r\n"
            "Font.IsUnderline=0\r\nFont.IsBold=1\r\nFont.IsItalic=0\r\nAlignment=1\r\n"
            "FontTransparent=0\r\nWindowTransparent=0\r\nAlphaBlend=1\r\n"
            "AlphaBlendValue=200\r\n").encode("cp1250")


def _quoted(text: str) -> str:
    return '"' + text.replace('"', '""') + '"'


def notes_file(records: list[dict[str, str]], types: dict[str, str] | None = None) -> bytes:
    """A notes table file as the program writes it (Windows-1250, CR LF)."""
    lines = ['"@@FILE VERSION@@","251"', '"@@TABLEDEF START@@"']
    for name, kind, size, width in NOTE_FIELDS:
        kind = (types or {}).get(name, kind)
        lines.append(_quoted(f"{name}={kind},{size},{_quoted(name)},{_quoted('')},{width},Data,"
                             f"{_quoted('')}"))
    lines += ['"@@INDEXDEF START@@"', '"@@INDEXDEF END@@"', '"@@TABLEDEF END@@"']
    lines.append("".join(_quoted(name) + "," for name, *_ in NOTE_FIELDS))
    for record in records:
        lines.append("".join((_quoted(record[name]) if record.get(name) else "") + ","
                             for name, *_ in NOTE_FIELDS))
    return ("\r\n".join(lines) + "\r\n").encode("cp1250")


def read_notes_file(path: Path) -> list[dict[str, str]]:
    """Checks that the file is a whole notes table file and returns its records."""
    if not path.is_file():
        raise Failure(f"{path.name} was not written")
    rows = list(csv.reader(io.StringIO(path.read_bytes().decode("cp1250"), newline="")))
    firsts = [row[0] if row else "" for row in rows]
    if not rows or firsts[0] != "@@FILE VERSION@@":
        raise Failure(f"{path.name} does not start with its file version: {rows[:1]}")
    try:
        start, end = firsts.index("@@TABLEDEF START@@"), firsts.index("@@TABLEDEF END@@")
    except ValueError:
        raise Failure(f"{path.name} has no whole definitions section") from None
    names = [row[0].split("=", 1)[0] for row in rows[start + 1:end] if not row[0].startswith("@@")]
    if names != [name for name, *_ in NOTE_FIELDS]:
        raise Failure(f"{path.name} defines the fields {names}")
    header = rows[end + 1] if len(rows) > end + 1 else []
    if header != names + [""]:
        raise Failure(f"{path.name} has the column line {header}")
    records = []
    for number, row in enumerate(rows[end + 2:], start=1):
        if len(row) != len(header):
            raise Failure(f"{path.name} record {number} has {len(row)} values: {row}")
        records.append(dict(zip(names, row)))
    return records


def read_defaults(path: Path) -> dict[str, str]:
    """The [Defaults] section of a settings file, which must hold every key."""
    parser = configparser.RawConfigParser(strict=False)
    parser.optionxform = str  # type: ignore[assignment]
    try:
        parser.read_string(path.read_bytes().decode("cp1250"))
    except (OSError, configparser.Error) as e:
        raise Failure(f"{path.name} cannot be read as INI: {e}") from None
    if not parser.has_section("Defaults"):
        raise Failure(f"{path.name} has no [Defaults] section: {path.read_bytes()[:200]!r}")
    values = dict(parser.items("Defaults"))
    missing = [key for key in DEFAULTS_KEYS if key not in values]
    if missing:
        raise Failure(f"[Defaults] of {path.name} lacks {missing}: {values}")
    return values


def file_state(path: Path) -> tuple[bytes, int]:
    return path.read_bytes(), path.stat().st_mtime_ns


# --- windows of the program ----------------------------------------------------

def find_splash(x: XSession) -> Window | None:
    return next((w for w in x.shown_top_levels()
                 if (w.width, w.height) == SPLASH_SIZE and x.title(w.id) == "Vikora"), None)


def dialogs(x: XSession, known: set[int]) -> list[Window]:
    """Shown top-level windows of the program that are not in known and are no popup."""
    return [w for w in x.shown_top_levels()
            if w.id not in known and not x.is_override_redirect(w.id)]


def single_tray_icon(x: XSession, windows: list[Window] | None = None) -> Window | None:
    icons = x.tray_icons(windows=windows)
    if len(icons) > 1:
        raise Failure(f"the tray holds {len(icons)} icons of the program: "
                      f"{[str(w) for w in icons]}")
    return icons[0] if icons else None


def placed_tray_icon(x: XSession) -> Window:
    """The icon once the tray host has laid it out: inside its panel and in
    the same place twice running (a press during the layout can miss it)."""
    last: list[Window | None] = [None]

    def settled() -> Window | None:
        windows = x.windows()
        icon, panel = single_tray_icon(x, windows), x.tray_panel(windows)
        placed = icon is not None and panel is not None and (
            panel.x <= icon.x and icon.x + icon.width <= panel.x + panel.width
            and panel.y <= icon.y and icon.y + icon.height <= panel.y + panel.height)
        previous, last[0] = last[0], icon if placed else None
        return icon if placed and icon == previous else None

    return wait_until(settled, STEP_TIMEOUT, "the tray icon stays in place inside the panel",
                      interval=0.05)


def open_tray_menu(x: XSession) -> tuple[Window, tuple[int, int]]:
    icon = placed_tray_icon(x)
    shown_before = {w.id for w in x.shown_top_levels()}
    cursor = x.press_right_button_on(icon)
    try:
        menu = wait_until(
            lambda: next((w for w in x.shown_top_levels()
                          if w.id not in shown_before and x.is_override_redirect(w.id)), None),
            STEP_TIMEOUT, f"a popup menu is shown after the right-button press on the icon {icon}")
    finally:
        x.release_right_button_away()
    return menu, cursor


def choose_from_menu(x: XSession, *keys: str) -> None:
    menu, _ = open_tray_menu(x)
    x.keys(*keys, "Return")
    wait_until(lambda: not x.is_viewable(menu.id), STEP_TIMEOUT, "the menu closes")


def dismiss(x: XSession, box: Window) -> None:
    title = x.title(box.id)
    x.focus(box)
    x.keys("Return")
    wait_until(lambda: not x.is_viewable(box.id), STEP_TIMEOUT,
               f"the message box {title!r} closes after Return")


def menu_layout(width: int, height: int, pixels: bytes) -> tuple[list[str], list[int]]:
    """Reads the menu's picture as rows: 'entry' (text) or 'separator' (a line
    across the menu). Returns the rows and the ink width of each entry."""
    def pixel(px: int, py: int) -> bytes:
        at = (py * width + px) * 3
        return pixels[at:at + 3]

    background = Counter(pixel(px, py) for py in range(height)
                         for px in range(width)).most_common(1)[0][0]
    # The frame: columns drawn in almost every row.
    inner = [px for px in range(width)
             if sum(pixel(px, py) != background for py in range(height)) < 0.9 * height]
    kinds: list[str] = []
    extents: list[tuple[int, int] | None] = []
    for py in range(height):
        ink = [px for px in inner if pixel(px, py) != background]
        colours = {pixel(px, py) for px in ink}
        if len(ink) >= 0.8 * len(inner) and len(colours) <= 2:
            kinds.append("line")
            extents.append(None)
        elif ink:
            kinds.append("ink")
            extents.append((min(ink), max(ink)))
        else:
            kinds.append("blank")
            extents.append(None)
    # The frame's top and bottom lines are no separators.
    while kinds and kinds[0] in ("line", "blank"):
        kinds.pop(0)
        extents.pop(0)
    while kinds and kinds[-1] in ("line", "blank"):
        kinds.pop()
        extents.pop()

    rows: list[str] = []
    widths: list[int] = []
    left = right = 0
    gap = 0
    for kind, extent in zip(kinds, extents):
        if kind == "ink":
            # An accent may stand a row or two above its letter.
            if rows and rows[-1] == "entry" and gap <= 2:
                left, right = min(left, extent[0]), max(right, extent[1])
                widths[-1] = right - left + 1
            else:
                rows.append("entry")
                left, right = extent
                widths.append(right - left + 1)
            gap = 0
        elif kind == "line":
            if not rows or rows[-1] != "separator":
                rows.append("separator")
            gap = 99
        else:
            gap += 1
    return rows, widths


# --- scenarios -----------------------------------------------------------------

def start_and_close_from_tray(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("first-start", binary)
    program = x.start_program(folder, "first-start")

    with x.step("the splash appears, centred on the screen, before the tray icon"):
        splash = wait_until(lambda: find_splash(x), START_TIMEOUT,
                            "a 500x375 window titled 'Vikora' is shown")
        if x.tray_icons():
            raise Failure("the tray icon is already shown while the splash is up")
        want_x, want_y = (SCREEN_WIDTH - splash.width) / 2, (SCREEN_HEIGHT - splash.height) / 2
        if abs(splash.x - want_x) > 1 or abs(splash.y - want_y) > 1:
            raise Failure(f"the splash is at ({splash.x}, {splash.y}); "
                          f"centred would be ({want_x:g}, {want_y:g})")
        x.screenshot("splash")

    with x.step("the tray icon appears in the tray host"):
        # The icon's window is made in the start-up step, before the fade
        # begins; the tray host may take its time to embed it.
        step_seen: list[float] = []

        def icon_embedded() -> Window | None:
            windows = x.windows()
            if not step_seen and any(w.instance == "vikora" and w.id != splash.id
                                     for w in windows):
                step_seen.append(time.monotonic())
            return single_tray_icon(x, windows)

        wait_until(icon_embedded, START_TIMEOUT,
                          "the program's icon is embedded into trayer")

    with x.step("the splash fades out and is gone"):
        wait_until(lambda: not x.is_viewable(splash.id), STEP_TIMEOUT, "the splash is hidden")
        fade = time.monotonic() - step_seen[0]
        if fade < MIN_FADE_SECONDS:
            raise Failure(f"the splash went {fade:.3f} s after the start-up step; "
                          f"the fade takes about {FADE_SECONDS:.2f} s")

    with x.step("a right-button press on the icon opens the menu at the cursor"):
        menu, (cx, cy) = open_tray_menu(x)
        x.screenshot("tray-menu")
        # Kept on the screen, so moved left of a cursor at the right edge.
        if menu.y != cy or not menu.x <= cx < menu.x + menu.width:
            raise Failure(f"the menu {menu} does not start at the cursor ({cx}, {cy})")
        if not x.is_viewable(menu.id):
            raise Failure("the menu closed when the right button was released")

    with x.step("the menu shows eight entries, separators after the 2nd and the 7th"):
        rows, widths = menu_layout(*x.grab_rgb(menu))
        want = ["separator" if entry is None else "entry" for entry in MENU]
        if rows != want:
            raise Failure(f"the menu's rows read as {rows}; expected {want}")
        # The longest and shortest captions: "További letölthető programok", "Súgó".
        if widths.index(max(widths)) != 5 or widths.index(min(widths)) != 2:
            raise Failure(f"the entries' text widths {widths} do not fit the captions "
                          f"{[e for e in MENU if e]}")

    with x.step("Escape closes the menu"):
        x.keys("Escape")
        wait_until(lambda: not x.is_viewable(menu.id), STEP_TIMEOUT, "the menu closes")

    with x.step("the 1st entry, 'Új ablak készítés', opens a new note"):
        known = {w.id for w in x.shown_top_levels()}
        choose_from_menu(x, "Down")
        wait_until(lambda: dialogs(x, known), STEP_TIMEOUT, "a note window is shown")

    with x.step("the 4th and 5th entries open the maker's home page and a mail"):
        choose_from_menu(x, "Down", "Down", "Down", "Down")
        opened = wait_until(x.opened_addresses, STEP_TIMEOUT,
                            "the desktop's opener is asked to open an address")
        if len(opened) != 1 or not opened[0].startswith("https://"):
            raise Failure(f"'Zamolin honlapja' asked the opener for {opened}")
        choose_from_menu(x, "Down", "Down", "Down", "Down", "Down")
        opened = wait_until(lambda: x.opened_addresses()[1:], STEP_TIMEOUT,
                            "the opener is asked a second time")
        if len(opened) != 1 or not (opened[0].startswith("mailto:")
                                    and opened[0].endswith("?subject=Vikora")):
            raise Failure(f"'Levélküldés Zamolinnak' asked the opener for {opened}")

    with x.step("the last entry, 'Bezár', ends the program with exit code 0"):
        choose_from_menu(x, "Up")
        code = program.wait_exit(STEP_TIMEOUT, "'Bezár'")
        if code != 0:
            raise Failure(f"exit code {code}")

    with x.step("the exit wrote Vikora.ini [Defaults] and Vikora.csv with the new note"):
        read_defaults(folder / "Vikora.ini")
        records = read_notes_file(folder / "Vikora.csv")
        if len(records) != 1 or records[0]["szoveg"]:
            raise Failure(f"expected the one new, empty note; Vikora.csv holds {records}")


def second_start_then_sigterm(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("second-start", binary, ini=SETTINGS, csv=notes_file([NOTE]))
    first = x.start_program(folder, "second-start-first")
    with x.step("the first copy starts and shows its icon"):
        wait_until(lambda: single_tray_icon(x), START_TIMEOUT, "the first copy's icon shows")
    ini, notes = folder / "Vikora.ini", folder / "Vikora.csv"
    before = {path: file_state(path) for path in (ini, notes)}

    with x.step("a second start ends at once with exit code 0 and no icon of its own"):
        second = x.start_program(folder, "second-start-second")
        # single_tray_icon fails as soon as a second icon shows.
        wait_until(lambda: single_tray_icon(x) and not second.running(), STEP_TIMEOUT,
                   "the second copy has ended")
        if second.proc.returncode != 0:
            raise Failure(f"the second copy ended with exit code {second.proc.returncode}")
        if not first.running():
            raise Failure("the first copy ended as well")

    with x.step("the second start left both files' bytes and times alone"):
        for path, (data, mtime) in before.items():
            now_data, now_mtime = file_state(path)
            if now_data != data or now_mtime != mtime:
                raise Failure(f"{path.name} changed (bytes equal: {now_data == data}, "
                              f"modified at {mtime} then {now_mtime})")

    with x.step("SIGTERM runs the exit sequence and ends the first copy with 0"):
        first.send(signal.SIGTERM)
        code = first.wait_exit(STEP_TIMEOUT, "SIGTERM")
        if code != 0:
            raise Failure(f"exit code {code}")

    with x.step("the exit rewrote both files, keeping the settings and the note"):
        for path, (_, mtime) in before.items():
            if path.stat().st_mtime_ns == mtime:
                raise Failure(f"{path.name} was not written at exit")
        settings = read_defaults(ini)
        want = dict(line.split("=", 1) for line in SETTINGS.decode("cp1250").split()[1:])
        changed = {k: (v, settings[k]) for k, v in want.items() if settings[k] != v}
        if changed:
            raise Failure(f"settings changed across the run (was, now): {changed}")
        records = read_notes_file(notes)
        if [(r["az"], r["szoveg"], r["left"], r["top"]) for r in records] != [
                (NOTE["az"], NOTE_TEXT, NOTE["left"], NOTE["top"])]:
            raise Failure(f"the note did not come through the run: {records}")


def damaged_notes_file(x: XSession, binary: Path) -> None:
    # A definitions section naming a field type the table refuses.
    damaged = notes_file([NOTE], types={"kep": "Variant"})
    folder = x.portable_folder("damaged", binary, ini=SETTINGS, csv=damaged)
    notes = folder / "Vikora.csv"
    program = x.start_program(folder, "damaged")

    with x.step("the error report, a box titled 'Vikora', appears after the splash"):
        splash = wait_until(lambda: find_splash(x), START_TIMEOUT, "the splash is shown")
        box = wait_until(lambda: dialogs(x, {splash.id}), START_TIMEOUT,
                         "a message box is shown")[0]
        if x.title(box.id) != "Vikora":
            raise Failure(f"the box is titled {x.title(box.id)!r}")
        x.screenshot("damaged-file-report")
        if notes.read_bytes() != damaged:
            raise Failure("Vikora.csv changed while the report was shown")

    with x.step("Return dismisses it; the splash stays and the file is untouched"):
        wait_until(lambda: single_tray_icon(x), STEP_TIMEOUT, "the tray icon shows")
        dismiss(x, box)
        # Longer than a whole fade: no start-up step may go on after the box.
        holds_for(lambda: x.is_viewable(splash.id), 2 * FADE_SECONDS,
                  "the splash, shown while the notes are not loaded,")
        if notes.read_bytes() != damaged:
            raise Failure("Vikora.csv changed while the program ran")

    with x.step("'Bezár' tells where the damaged file was kept, then ends with 0"):
        choose_from_menu(x, "Up")
        info = wait_until(lambda: dialogs(x, {splash.id}), STEP_TIMEOUT,
                          "the box telling of the kept file is shown")[0]
        if x.title(info.id) != "Üzenet":
            raise Failure(f"the box is titled {x.title(info.id)!r}")
        x.screenshot("damaged-file-kept")
        dismiss(x, info)
        code = program.wait_exit(STEP_TIMEOUT, "'Bezár' and its message")
        if code != 0:
            raise Failure(f"exit code {code}")

    with x.step("a Vikora.csv.damaged-* copy holds the original bytes"):
        kept = sorted(folder.glob("Vikora.csv.damaged-*"))
        if len(kept) != 1:
            raise Failure(f"expected one kept copy, found {[p.name for p in kept]}")
        if kept[0].read_bytes() != damaged:
            raise Failure(f"{kept[0].name} does not hold the original bytes")
        read_notes_file(notes)


SCENARIOS = (start_and_close_from_tray, second_start_then_sigterm, damaged_notes_file)


if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("*.png", "*.log"), __doc__))
