#!/usr/bin/env python3
"""Vikora and xpad side by side, on one private X screen, in one run.

usage: peer_compare.py VIKORA_PROGRAM [--runs N] [--idle SECONDS] [COUNT ...]
       (defaults: 5 runs, 30 idle seconds, counts 1 20 200; needs Debian's xpad)

For each program and note count, every run starts the program afresh with that
many notes in its own format (Vikora: Vikora.csv in portable mode; xpad: one
info-/content- file pair per pad in ~/.config/xpad) and measures:
  - CPU time (user + system) from the start until every note window is mapped,
  - wall time until then; for Vikora the fixed two-second splash is part of it
    and is shown separately, not counted as load time,
  - peak resident memory (VmHWM) at the end of the run,
  - CPU time and wake-ups over the idle seconds once the windows are shown,
  - the time from an edit to the notes file changing on disk (Vikora: F2, a
    letter, Ctrl+Enter; xpad: a letter typed into a pad, which it saves by
    itself), measured from the last key.
It prints minimum / median / maximum over the runs and the ratio of the
medians, Vikora/xpad. Build Vikora in a Release tree; run it with nice.
"""

from __future__ import annotations

import argparse
import os
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from harness import SCREEN_HEIGHT, SCREEN_WIDTH, Child, XSession, missing_tools, wait_until  # noqa: E402
from note_windows_cost import (NOTE_SIZE, SETTINGS, cpu_seconds, idle_cost, notes,  # noqa: E402
                               status_value, threads)

SPLASH_SECONDS = 2.0
SETTLE_SECONDS = 3.0


def positions(count: int):
    width, height = NOTE_SIZE
    columns = (SCREEN_WIDTH - width) // 40
    rows = (SCREEN_HEIGHT - 40 - height) // 30
    for i in range(count):
        yield 10 + (i % columns) * 40, 40 + (i // columns % rows) * 30


class Vikora:
    name = "Vikora"
    instance = "vikora"

    def __init__(self, binary: Path):
        self.binary = binary

    def start(self, x: XSession, run: str, count: int) -> tuple[Child, Path]:
        folder = x.portable_folder(run, self.binary, ini=SETTINGS, csv=notes(count))
        return x.start_program(folder, run), folder / "Vikora.csv"

    def begin_edit(self, x: XSession, window) -> None:
        x.focus(window)
        x.keys("F2", "End", "x")

    def finish_edit(self, x: XSession) -> None:
        x.keys("ctrl+Return")


class Xpad:
    name = "xpad"
    instance = "xpad"

    def start(self, x: XSession, run: str, count: int) -> tuple[Child, Path]:
        home = x.root / run
        config = home / ".config" / "xpad"
        config.mkdir(parents=True)
        width, height = NOTE_SIZE
        (config / "default-style").write_text(
            "decorations 0\nheight 90\nwidth 150\nconfirm_destroy 0\nedit_lock 0\n"
            "sticky_on_start 0\ntray_enabled 1\nback rgb(255,255,0)\nuse_back 1\n"
            "text rgb(0,0,0)\nuse_text 1\nfontname DejaVu Sans 10\ntoolbar 0\n"
            "auto_hide_toolbar 1\nscrollbar 0\nautostart_wait_systray 0\nautostart_delay 0\n"
            "autostart_new_pad 0\nautostart_display_pads 2\nhide_from_taskbar 1\n")
        for i, (left, top) in enumerate(positions(count)):
            key = f"{i + 1:06d}"
            (config / f"content-{key}").write_text(f"Jegyzet {i + 1}: tej, kenyér, vaj")
            (config / f"info-{key}").write_text(
                f"width {width}\nheight {height}\nx {left}\ny {top}\nfollow_font 1\n"
                f"follow_color 1\nsticky 0\nhidden 0\nback rgb(255,255,0)\ntext rgb(0,0,0)\n"
                f"fontname DejaVu Sans 10\ncontent content-{key}\n")
        env = x.program_env()
        env["HOME"] = str(home)
        env["XDG_CONFIG_HOME"] = str(home / ".config")
        child = Child(run, ["xpad"], env, x.artifacts / f"{run}.log")
        return child, config / "content-000001"

    def begin_edit(self, x: XSession, window) -> None:
        x.focus(window)
        x.keys("End")

    def finish_edit(self, x: XSession) -> None:
        x.keys("x")


def shown(x: XSession, instance: str):
    return [w for w in x.shown_top_levels(instance) if (w.width, w.height) == NOTE_SIZE]


def measure(x: XSession, program, count: int, run: str, idle_seconds: float) -> dict:
    child, saved = program.start(x, run, count)
    try:
        pid = child.pid
        started = time.monotonic()
        wait_until(lambda: len(shown(x, program.instance)) >= count, 300,
                   f"{count} {program.name} windows are mapped", interval=0.05)
        row = {"show_cpu": cpu_seconds(pid), "show_wall": time.monotonic() - started}
        time.sleep(SETTLE_SECONDS)
        threads_before = threads(pid)
        time.sleep(idle_seconds)
        wakeups, idle_ms, _ = idle_cost(threads_before, threads(pid))
        row["idle_cpu_ms"], row["idle_wakeups"] = idle_ms, wakeups
        # The note written first is the one edited: the lowest on screen
        # stacking may differ, so the window is found by its place.
        first = next(positions(count))
        window = min(shown(x, program.instance),
                     key=lambda w: abs(w.x - first[0]) + abs(w.y - first[1]))
        before = saved.stat().st_mtime_ns if saved.exists() else 0
        program.begin_edit(x, window)
        edited = time.monotonic()
        program.finish_edit(x)
        try:
            wait_until(lambda: saved.exists() and saved.stat().st_mtime_ns != before, 15,
                       f"{program.name} writes the edit", interval=0.002)
            row["save_ms"] = (time.monotonic() - edited) * 1000
        except Exception:  # noqa: BLE001 - reported as a missing figure
            row["save_ms"] = float("nan")
        row["peak_mib"] = status_value(Path(f"/proc/{pid}/status"), "VmHWM") / 1024
    finally:
        child.stop()
    return row


FIGURES = [("show_cpu", "CPU to show (s)", "{:.3f}"), ("show_wall", "wall to show (s)", "{:.2f}"),
           ("peak_mib", "peak RSS (MiB)", "{:.1f}"), ("idle_cpu_ms", "idle CPU (ms)", "{:.1f}"),
           ("idle_wakeups", "idle wake-ups", "{:.0f}"), ("save_ms", "edit to disk (ms)", "{:.0f}")]


def spread(values: list[float], fmt: str) -> str:
    good = sorted(v for v in values if v == v)
    if not good:
        return "n/a"
    return "/".join(fmt.format(v) for v in (good[0], statistics.median(good), good[-1]))


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("vikora", type=Path)
    parser.add_argument("counts", type=int, nargs="*", default=[1, 20, 200])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--idle", type=float, default=30.0)
    args = parser.parse_intermixed_args()
    missing = missing_tools() + ([] if os.path.exists("/usr/bin/xpad") else ["xpad"])
    if missing:
        print(f"needs {', '.join(missing)}", file=sys.stderr)
        return 1
    programs = [Vikora(args.vikora.resolve()), Xpad()]
    artifacts = Path(tempfile.mkdtemp(prefix="vikora-peer-"))
    results: dict[tuple[str, int], list[dict]] = {}
    with XSession(artifacts) as x:
        for count in args.counts:
            for run in range(args.runs):
                for program in programs:  # interleaved, so drift hits both alike
                    row = measure(x, program, count, f"{program.instance}-{count}-{run}",
                                  args.idle)
                    results.setdefault((program.name, count), []).append(row)
                    print(f"  {program.name} {count} notes run {run + 1}: "
                          + ", ".join(f"{k}={v:.3g}" for k, v in row.items()),
                          file=sys.stderr, flush=True)
    print(f"min/median/max over {args.runs} runs; idle figures over {args.idle:.0f} s; "
          f"Vikora's wall time includes its {SPLASH_SECONDS:.0f} s splash")
    for count in args.counts:
        print(f"\n{count} notes")
        print(f"  {'figure':<20} {'Vikora':>24} {'xpad':>24} {'Vikora/xpad':>12}")
        for key, label, fmt in FIGURES:
            cells, medians = [], []
            for program in programs:
                values = [r[key] for r in results[(program.name, count)]]
                cells.append(spread(values, fmt))
                good = [v for v in values if v == v]
                medians.append(statistics.median(good) if good else float("nan"))
            ratio = medians[0] / medians[1] if medians[1] else float("nan")
            print(f"  {label:<20} {cells[0]:>24} {cells[1]:>24} {ratio:>12.2f}")
        vikora_wall = [r["show_wall"] - SPLASH_SECONDS for r in results[("Vikora", count)]]
        print(f"  Vikora wall to show without the splash: {spread(vikora_wall, '{:.2f}')} s")
    print("\n(logs in", artifacts, ")")
    return 0


if __name__ == "__main__":
    sys.exit(main())
