#!/usr/bin/env python3
"""The real program killed while it saves a note's text: at random moments
(SIGKILL a few milliseconds after Ctrl+Enter) and at every system call of a
save (strace kills it at the Nth write, fsync, link, rename or unlink). After
each kill the notes file and its backup read cleanly with the program's own
reader and hold the previous or the new text, and the next start shows the
note and clears the leftover temporary file. Then random user actions of
every kind, killed at a random moment: every action older than the write
delay plus one second is in the file (random_actions.py).

usage: test_crash_saves.py PROGRAM NOTES_DUMP ARTIFACTS_FOLDER

Environment: VIKORA_KILLS (random kills, default 50), VIKORA_SYSCALL_POINTS
("all", the default, or "sample": a few calls of each kind), VIKORA_SEED,
VIKORA_ACTION_KILLS (kills after random user actions, default 10: see
random_actions.py).
Exit codes: 0 passed, 1 failed, 77 skipped (tools or root missing; never under CI).
"""

from __future__ import annotations

import os
import random
import re
import signal
import subprocess
import sys
import time
from collections import Counter
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from faults import (FIRST_TEXT, SETTINGS, STEP_TIMEOUT, Failure, Strace, XSession,  # noqa: E402
                    begin_edit, close_program, count, elapsed, log, main, note_text, one_note,
                    press_save, start_with_note, temp_files, wait_until)
import faults  # noqa: E402
from random_actions import random_actions  # noqa: E402

# The kill comes up to this long after xdotool is started to press
# Ctrl+Enter (the key travels through xdotool and the X server first). The
# window follows the outcomes, so that the kills keep landing around the save
# on a slow or a fast machine alike.
KILL_WINDOW_SECONDS = 0.12
KILL_WINDOW_LIMITS = (0.02, 2.0)


class History:
    """The texts the note has had; the file must hold the last or the one
    being saved, the backup one of the earlier ones."""

    def __init__(self, folder: Path):
        self.notes = folder / "Vikora.csv"
        self.backup = folder / "Vikora.csv.bak"
        self.folder = folder
        self.current = FIRST_TEXT
        self.earlier = {FIRST_TEXT}

    def judge(self, new: str, what: str) -> str:
        """'old' or 'new', after the kill; Failure on anything else."""
        text = note_text(self.notes)
        if text == new:
            outcome = "new"
            self.current = new
        elif text == self.current:
            outcome = "old"
        else:
            raise Failure(f"{what}: the notes file holds {text!r}; expected {self.current!r} "
                          f"or {new!r}")
        if self.backup.exists():
            kept = note_text(self.backup)
            if kept not in self.earlier:
                raise Failure(f"{what}: the backup holds {kept!r}, never a saved text")
        self.earlier.add(self.current)
        return outcome


def random_kills(x: XSession, binary: Path) -> None:
    kills = count("VIKORA_KILLS", 50)
    seed = count("VIKORA_SEED", int(time.time()))
    rng = random.Random(seed)
    folder = x.portable_folder("random-kills", binary, ini=SETTINGS, csv=one_note())
    history = History(folder)
    outcomes: Counter[str] = Counter()
    window_seconds = KILL_WINDOW_SECONDS
    started = time.monotonic()
    log(f"{kills} kills, seed {seed}")
    with x.step(f"{kills} saves killed at a random moment leave the old or the new text"):
        for i in range(kills):
            program, window = start_with_note(x, folder, "random-kill")
            left = temp_files(folder)
            if left:
                raise Failure(f"kill {i}: the start did not clear {left}")
            addition = f" k{i}"
            begin_edit(x, window, addition)
            # The key press is sent while the clock runs: the kill may come
            # before, during or after the save.
            key = subprocess.Popen(["xdotool", "key", "ctrl+Return"], env=x.tool_env())
            time.sleep(rng.uniform(0, window_seconds))
            program.send(signal.SIGKILL)
            program.wait_exit(STEP_TIMEOUT, "SIGKILL")
            key.wait(timeout=STEP_TIMEOUT)
            x.stop_programs()
            outcome = history.judge(history.current + addition, f"kill {i}")
            outcomes[outcome] += 1
            # Too early (old text) widens the window, too late narrows it.
            window_seconds *= 1.15 if outcome == "old" else 1 / 1.15
            window_seconds = min(max(window_seconds, KILL_WINDOW_LIMITS[0]), KILL_WINDOW_LIMITS[1])
            if temp_files(folder):
                outcomes["inside a save (temporary file left)"] += 1
            if (i + 1) % 50 == 0:
                log(f"{i + 1} kills in {elapsed(started)}: {dict(outcomes)}, "
                    f"window {window_seconds * 1000:.0f} ms")
        log(f"{kills} kills: {dict(outcomes)}, files lost 0, {elapsed(started)}")
        if outcomes["new"] == 0 or outcomes["old"] == 0:
            raise Failure(f"every kill came on the same side of the save ({dict(outcomes)}): "
                          f"the kill window misses the save")

    with x.step("the next start shows the note with the last saved text; 'Bezár' keeps it"):
        program, _ = start_with_note(x, folder, "random-kill-after")
        if temp_files(folder):
            raise Failure(f"the start did not clear {temp_files(folder)}")
        close_program(x, program)
        if note_text(history.notes) != history.current:
            raise Failure(f"after 'Bezár' the file holds {note_text(history.notes)!r}")


# The calls of a save; strace counts `when=` for each named call on its own.
CALLS = {
    "write": ("write",),
    "fsync": ("fsync", "fdatasync"),
    "link": ("link", "linkat"),
    "rename": ("rename", "renameat", "renameat2"),
    "unlink": ("unlink", "unlinkat"),
}
SAMPLE_POINTS = 3
MAX_POINTS = 40


def injected_call(trace: Strace) -> str:
    """The call that strace killed the program at, shortened for the log:
    the traced call that never returned ("= ?")."""
    for line in trace.lines():
        if line.endswith("= ?"):
            call = re.sub(r"^\d+ +", "", line)
            return call if len(call) <= 240 else call[:237] + "..."
    return ""


def every_system_call(x: XSession, binary: Path) -> None:
    sample = os.environ.get("VIKORA_SYSCALL_POINTS", "all") == "sample"
    folder = x.portable_folder("syscall-kills", binary, ini=SETTINGS, csv=one_note())
    history = History(folder)
    tried = 0
    for name, calls in CALLS.items():
        with x.step(f"a kill at each {name} of a save leaves the old or the new text"):
            for n in range(1, MAX_POINTS + 1):
                if sample and n > SAMPLE_POINTS:
                    log(f"{name}: sample of {SAMPLE_POINTS} points")
                    break
                program, window = start_with_note(x, folder, f"syscall-{name}")
                if temp_files(folder):
                    raise Failure(f"the start did not clear {temp_files(folder)}")
                addition = f" {name}{n}"
                new = history.current + addition
                begin_edit(x, window, addition)
                set_ = ",".join(calls)
                trace_log = x.artifacts / f"strace-{name}-{n}.log"
                with Strace(program.pid, trace_log, "-e", f"trace={set_}",
                            "-e", f"inject={set_}:signal=KILL:when={n}",
                            main_thread_only=True) as trace:
                    press_save(x)
                    # Killed, or the save done and the program still running.
                    wait_until(lambda: not program.running() or note_text(history.notes) == new,
                               STEP_TIMEOUT, "the program is killed or the save is done")
                    if program.running():
                        time.sleep(0.3)  # a kill right after the save may still come
                    killed = not program.running()
                    hit = injected_call(trace)
                x.stop_programs()
                outcome = history.judge(new, f"{name} #{n}")
                tried += 1
                leftover = " (temporary file left)" if temp_files(folder) else ""
                log(f"{name} #{n}: {'killed at ' + hit if killed else 'not killed'} "
                    f"-> {outcome} text{leftover}")
                if not killed:
                    break
                if outcome == "new" and str(folder) not in hit:
                    break  # past the save: the later calls are not the save's
            else:
                raise Failure(f"still killed at {name} #{MAX_POINTS}")
    log(f"{tried} points tried, files lost 0")
    with x.step("the next start shows the note with the last saved text"):
        program, _ = start_with_note(x, folder, "syscall-after")
        close_program(x, program)
        if note_text(history.notes) != history.current:
            raise Failure(f"after 'Bezár' the file holds {note_text(history.notes)!r}")


def random_user_actions(x: XSession, binary: Path) -> None:
    assert faults._dump_binary is not None
    random_actions(x, binary, faults._dump_binary)


SCENARIOS = (random_kills, every_system_call, random_user_actions)

if __name__ == "__main__":
    sys.exit(main(sys.argv, SCENARIOS, ("*.png", "random-kill*.log", "syscall-*.log",
                                        "random-actions*.log", "strace-*.log"), __doc__,
                  tools=("strace",), root=True))
