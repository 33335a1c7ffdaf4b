"""Random user actions of every kind against the real program, then SIGKILL
at a random moment: every action older than the write delay plus one second
must be in the notes file, and the file must read cleanly.

Each action says what it changed as checks on the notes file: a field of a
note equals a value (drag, resize, colour and font typed into their dialogs,
alignment, "Fontos", text), differs from its value before (date, a day
earlier in its dialog), a note is gone (delete) or a new one is there (new
note). After the kill, the checks of
every action older than the window whose fields no later action changed
must hold; the file read back is the truth the next round starts from.
"""

from __future__ import annotations

import random
import signal
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

from faults import (SETTINGS, STEP_TIMEOUT, Failure, Window, XSession, choose_from_menu,
                    count, dialogs, elapsed, log, notes_file, single_tray_icon, wait_until)
from harness import SCREEN_HEIGHT, SCREEN_WIDTH
from test_running_program import NOTE, START_TIMEOUT

WRITE_DELAY_SECONDS = 2.0
WINDOW_SECONDS = WRITE_DELAY_SECONDS + 1.0
NEW_NOTE_PLACE = (300, 75)
MAX_NOTES = 6
START_NOTES = [(1, 60, 260), (2, 480, 260), (3, 880, 260), (4, 60, 520), (5, 480, 520)]


def dump_fields(dump: Path, path: Path) -> dict[int, dict[str, str]]:
    result = subprocess.run([str(dump), "--fields", str(path)], capture_output=True, timeout=60)
    if result.returncode != 0:
        raise Failure(f"{path.name} does not read cleanly: "
                      f"{result.stderr.decode(errors='replace').strip()}")
    notes = {}
    for line in result.stdout.decode().splitlines():
        parts = line.split("\t")
        values = dict(p.split("=", 1) for p in parts[2:])
        notes[int(values["az"])] = values
    return notes


@dataclass
class Action:
    kind: str
    az: int
    done: float = 0.0
    # (field, "eq" | "ne", value); field "" with "absent" or "new"
    checks: list[tuple[str, str, str]] = field(default_factory=list)


def start_notes() -> bytes:
    return notes_file([dict(NOTE, az=str(az), left=str(left), top=str(top), width="260",
                            height="100", szoveg=f"Jegyzet {az}", fontname="DejaVu Sans")
                       for az, left, top in START_NOTES])


class Round:
    def __init__(self, x: XSession, rng: random.Random, notes: dict[int, dict[str, str]]):
        self.x, self.rng, self.notes = x, rng, notes
        self.actions: list[Action] = []
        self.unknown: set[tuple[int, str]] = set()  # fields a "ne" check left unknown
        self.created = False

    def window(self, az: int) -> Window | None:
        n = self.notes[az]
        return next((w for w in self.x.shown_top_levels()
                     if (w.x, w.y) == (int(n["left"]), int(n["top"]))
                     and not self.x.is_override_redirect(w.id)), None)

    def targets(self) -> list[int]:
        places = [(n["left"], n["top"]) for n in self.notes.values()]
        return [az for az, n in self.notes.items()
                if places.count((n["left"], n["top"])) == 1 and self.window(az) is not None]

    def geometry_after(self, action: Action, az: int, want) -> None:
        w = wait_until(lambda: (lambda s: s if s and want(s) else None)(
            next((s for s in self.x.shown_top_levels() if s.id == self.current.id), None)),
            STEP_TIMEOUT, f"the note {az} after the {action.kind}")
        for name, value in (("left", w.x), ("top", w.y), ("width", w.width),
                            ("height", w.height)):
            self.notes[az][name] = str(value)
            action.checks.append((name, "eq", str(value)))

    def dialog(self, action: Action, keys: tuple[str, ...]) -> Window:
        known = {w.id for w in self.x.shown_top_levels()}
        self.x.focus(self.current)
        self.x.keys(*keys)
        return wait_until(lambda: next(iter(dialogs(self.x, known)), None), STEP_TIMEOUT,
                          f"the {action.kind} dialog")

    def answer(self, action: Action, dialog: Window, click: tuple[int, int] | None,
               text: str | None, *keys: str) -> None:
        """A click into the dialog (relative to it), text typed over a
        field's content, then keys; waits until the dialog closes."""
        if click is not None:
            self.x.run_tool("xdotool", "mousemove", "--sync", str(dialog.x + click[0]),
                            str(dialog.y + click[1]), "click", "1")
        else:
            self.x.focus(dialog)
        if text is not None:
            self.x.run_tool("xdotool", "key", "ctrl+a")
            self.x.run_tool("xdotool", "type", "--delay", "5", text)
        self.x.keys(*keys)
        wait_until(lambda: not self.x.is_viewable(dialog.id), STEP_TIMEOUT,
                   f"the {action.kind} dialog closes")

    def covered(self, own: Window, px: int, py: int) -> bool:
        """True when another window lies over the point (stacking aside)."""
        return any(w.id != own.id and w.x <= px < w.x + w.width and w.y <= py < w.y + w.height
                   for w in self.x.shown_top_levels())

    def act(self, kind: str, az: int) -> Action:
        x, n = self.x, self.notes[az]
        self.current = self.window(az)
        assert self.current is not None
        w = self.current
        # A press must reach this note, not one lying over it.
        if (kind == "drag" and self.covered(w, w.x + 20, w.y + w.height - 10)) or (
                kind == "resize" and self.covered(w, w.x + w.width - 2, w.y + w.height - 2)):
            kind = "important"
        action = Action(kind, az)
        if kind == "drag":
            dx = self.rng.choice([-1, 1]) * self.rng.randint(30, 120)
            dy = self.rng.choice([-1, 1]) * self.rng.randint(30, 100)
            dx = min(max(dx, 10 - w.x), SCREEN_WIDTH - w.width - 10 - w.x)
            dy = min(max(dy, 120 - w.y), SCREEN_HEIGHT - w.height - 10 - w.y)
            sx, sy = w.x + 20, w.y + w.height - 10
            x.run_tool("xdotool", "mousemove", "--sync", str(sx), str(sy), "mousedown", "1")
            for step in range(1, 6):
                x.run_tool("xdotool", "mousemove", "--sync", str(sx + dx * step // 5),
                           str(sy + dy * step // 5))
            x.run_tool("xdotool", "mouseup", "1")
            self.geometry_after(action, az, lambda s: (s.x, s.y) == (w.x + dx, w.y + dy))
        elif kind == "resize":
            # The note stays inside the screen: the next start pulls a note that
            # sticks out back in, and the round could no longer find it.
            grow = (min(self.rng.randint(-30, 40), SCREEN_WIDTH - 10 - w.x - w.width),
                    min(self.rng.randint(-20, 40), SCREEN_HEIGHT - 10 - w.y - w.height))
            x.focus(w)
            x.keys("F6")
            ex, ey = w.x + w.width - 2, w.y + w.height - 2
            x.run_tool("xdotool", "mousemove", "--sync", str(ex), str(ey), "mousedown", "1")
            x.run_tool("xdotool", "mousemove", "--sync", str(ex + grow[0]), str(ey + grow[1]))
            x.run_tool("xdotool", "mouseup", "1")
            x.focus(w)
            x.keys("F6")
            self.geometry_after(action, az, lambda s: (s.width, s.height) == (
                w.width + grow[0], w.height + grow[1]))
        elif kind == "colour":
            # Typed into the colour dialog's "HTML:" field; stored as 0x00BBGGRR.
            r, g, b = (self.rng.randint(0, 255) for _ in range(3))
            dialog = self.dialog(action, ("F5",))
            self.answer(action, dialog, (448, 346), f"#{r:02x}{g:02x}{b:02x}", "Return")
            n["szin"] = str(b << 16 | g << 8 | r)
            action.checks.append(("szin", "eq", n["szin"]))
        elif kind == "font":
            # Typed into the font dialog's "Méret" field.
            size = self.rng.choice([s for s in (8, 9, 10, 11, 14, 16, 18, 20)
                                    if str(s) != n["fontsize"]])
            dialog = self.dialog(action, ("F4",))
            self.answer(action, dialog, (746, 44), str(size), "Return")
            n["fontsize"] = str(size)
            action.checks.append(("fontsize", "eq", n["fontsize"]))
        elif kind == "date":
            # A day earlier in the date dialog: the note stays due.
            dialog = self.dialog(action, ("ctrl+d",))
            self.answer(action, dialog, None, None, "Down", "Return")
            action.checks.append(("tol", "ne", n["tol"]))
            self.unknown.add((az, "tol"))
        elif kind == "alignment":
            key, value = self.rng.choice([("ctrl+b", "0"), ("ctrl+k", "2"), ("ctrl+j", "1")])
            x.focus(w)
            x.keys(key)
            n["igazit"] = value
            action.checks.append(("igazit", "eq", value))
        elif kind == "important":
            x.focus(w)
            x.keys("ctrl+f")
            n["latszik"] = "0" if n["latszik"] == "1" else "1"
            action.checks.append(("latszik", "eq", n["latszik"]))
        elif kind == "text":
            token = f" t{self.rng.randint(0, 9999)}"
            x.focus(w)
            x.keys("F2")
            wait_until(lambda: (lambda s: s and s.height == w.height + 5)(self.window(az)),
                       STEP_TIMEOUT, "edit mode")
            x.run_tool("xdotool", "key", "ctrl+End")
            x.run_tool("xdotool", "type", "--delay", "5", token)
            x.keys("ctrl+Return")
            wait_until(lambda: (lambda s: s and s.height == w.height)(self.window(az)),
                       STEP_TIMEOUT, "edit mode ends")
            text = bytes.fromhex(n["szoveg"]).decode() + token
            n["szoveg"] = text.encode().hex()
            action.checks.append(("szoveg", "eq", n["szoveg"]))
        elif kind == "delete":
            known = {w.id for w in x.shown_top_levels()}
            x.focus(w)
            x.keys("ctrl+Delete")
            box = wait_until(lambda: next(iter(dialogs(x, known)), None), STEP_TIMEOUT,
                             "the delete question")
            x.focus(box)
            x.keys("Return")  # "Igen" is the default button
            wait_until(lambda: not x.is_viewable(w.id), STEP_TIMEOUT, "the note closes")
            del self.notes[az]
            action.checks.append(("", "absent", str(az)))
        elif kind == "new":
            known = {w.id for w in x.shown_top_levels()}
            choose_from_menu(x, "Down")
            new = wait_until(lambda: next((s for s in dialogs(x, known)
                                           if (s.x, s.y) == NEW_NOTE_PLACE), None),
                             STEP_TIMEOUT, "the new note")
            x.focus(new)
            x.keys("Escape")
            self.created = True
            action.checks.append(("", "new", ",".join(str(a) for a in self.notes)))
        action.done = time.monotonic()
        return action

    def choose(self) -> tuple[str, int] | None:
        targets = self.targets()
        if not targets:
            return None
        az = self.rng.choice(targets)
        kinds = ["drag", "resize", "alignment", "important", "text", "colour", "font"]
        if (az, "tol") not in self.unknown:
            kinds.append("date")
        if len(self.notes) > 2:
            kinds.append("delete")
        if len(self.notes) < MAX_NOTES and not self.created and NEW_NOTE_PLACE not in [
                (int(n["left"]), int(n["top"])) for n in self.notes.values()]:
            kinds.append("new")
        return self.rng.choice(kinds), az


def judge(actions: list[Action], killed: float, file_notes: dict[int, dict[str, str]],
          tally: dict[str, int], what: str) -> list[str]:
    lost = []
    for i, action in enumerate(actions):
        if killed - action.done < WINDOW_SECONDS:
            tally["younger"] += 1
            continue
        later = {(a.az, f) for a in actions[i + 1:] for f, _, _ in a.checks}
        deleted_later = any(a.kind == "delete" and a.az == action.az for a in actions[i + 1:])
        live = [] if deleted_later else [
            c for c in action.checks if (action.az, c[0]) not in later or not c[0]]
        if not live:
            tally["superseded"] += 1
            continue
        tally["older"] += 1
        for name, how, value in live:
            note = file_notes.get(action.az)
            if how == "absent":
                ok = action.az not in file_notes
            elif how == "new":
                ok = bool(set(file_notes) - {int(a) for a in value.split(",") if a})
            elif note is None:
                ok = False
            elif how == "eq":
                ok = note.get(name) == value
            else:
                ok = note.get(name) != value
            if not ok:
                tally["lost"] += 1
                lost.append(f"{what}: {action.kind} of note {action.az} "
                            f"{killed - action.done:.1f} s before the kill: {name} {how} {value}, "
                            f"file has {note.get(name) if note else 'no such note'}")
                break
    return lost


def random_actions(x: XSession, binary: Path, dump: Path) -> None:
    kills = count("VIKORA_ACTION_KILLS", 10)
    seed = count("VIKORA_SEED", int(time.time()))
    rng = random.Random(seed)
    folder = x.portable_folder("random-actions", binary, ini=SETTINGS, csv=start_notes())
    notes_path = folder / "Vikora.csv"
    tally = {"older": 0, "lost": 0, "younger": 0, "superseded": 0}
    kinds: dict[str, int] = {}
    lost: list[str] = []
    started = time.monotonic()
    log(f"{kills} kills after random actions, seed {seed}")
    with x.step(f"{kills} kills after random actions: every action older than "
                f"{WINDOW_SECONDS:g} s is in the file"):
        for i in range(kills):
            notes = dump_fields(dump, notes_path)
            program = x.start_program(folder, "random-actions")
            round_ = Round(x, rng, notes)
            wait_until(lambda: single_tray_icon(x) and all(round_.window(az) for az in notes),
                       START_TIMEOUT, "every note shows")
            for _ in range(rng.randint(1, 6)):
                chosen = round_.choose()
                if chosen is None:
                    break
                action = round_.act(*chosen)
                kinds[action.kind] = kinds.get(action.kind, 0) + 1
                round_.actions.append(action)
                time.sleep(rng.uniform(0, 1.5))
            time.sleep(rng.uniform(0, 2 * WINDOW_SECONDS))
            program.send(signal.SIGKILL)
            killed = time.monotonic()
            program.wait_exit(STEP_TIMEOUT, "SIGKILL")
            x.stop_programs()
            lost += judge(round_.actions, killed, dump_fields(dump, notes_path), tally,
                          f"kill {i}")
            if (i + 1) % 25 == 0:
                log(f"{i + 1} kills in {elapsed(started)}: {tally}")
        log(f"random actions: {kills} kills, actions {dict(sorted(kinds.items()))}")
        log(f"actions older than {WINDOW_SECONDS:g} s: {tally['older']}, lost {tally['lost']}; "
            f"younger {tally['younger']}, superseded {tally['superseded']}; {elapsed(started)}")
        if lost:
            raise Failure("actions lost:\n" + "\n".join(lost[:20]))
