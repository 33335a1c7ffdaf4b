#!/usr/bin/env python3
"""What many due notes cost the running program, on a private X screen.

usage: note_windows_cost.py PROGRAM [COUNT ...]   (default counts: 1 20 200)

For each count the program starts in portable mode with that many due notes.
Measured on the vikora process:
  - CPU time (user + system) from the start until every note window is mapped,
  - peak resident memory (VmHWM) at the end of the run,
  - CPU time and wake-ups (voluntary + involuntary context switches of all
    its threads) over 30 idle seconds once the windows are shown.
Build the program in a Release tree for figures worth comparing.
"""

from __future__ import annotations

import ctypes
import os
import sys
import tempfile
import time
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from harness import SCREEN_HEIGHT, SCREEN_WIDTH, XSession, _xlib, missing_tools, wait_until  # noqa: E402
from test_running_program import NOTE, notes_file  # noqa: E402

IDLE_SECONDS = 30.0
SETTLE_SECONDS = 3.0
NOTE_SIZE = (150, 90)
SETTINGS = ("[Defaults]\r\nColor=65535\r\nFont.Name=DejaVu Sans\r\nFont.Size=10\r\nFont.Color=0\r\n"
            "Font.IsUnderline=0\r\nFont.IsBold=0\r\nFont.IsItalic=0\r\nAlignment=0\r\n"
            "FontTransparent=0\r\nWindowTransparent=0\r\nAlphaBlend=0\r\n"
            "AlphaBlendValue=255\r\n").encode("cp1250")
TICK = os.sysconf("SC_CLK_TCK")


def notes(count: int) -> bytes:
    records = []
    width, height = NOTE_SIZE
    columns = (SCREEN_WIDTH - width) // 40
    rows = (SCREEN_HEIGHT - 40 - height) // 30
    for i in range(count):
        left = 10 + (i % columns) * 40
        top = 40 + (i // columns % rows) * 30
        records.append(dict(NOTE, az=str(i + 1), left=str(left), top=str(top),
                            width=str(width), height=str(height), latszik=str(i % 5 == 0),
                            szoveg=f"Jegyzet {i + 1}: tej, kenyér, vaj"))
    return notes_file(records)


# --- X: mapped note windows, counted in one pass -------------------------------

class _WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                ("depth", ctypes.c_int), ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
                ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


class _ClassHint(ctypes.Structure):
    _fields_ = [("res_name", ctypes.c_void_p), ("res_class", ctypes.c_void_p)]


class NoteCounter:
    """Counts mapped top-level windows of the program sized as the notes."""

    def __init__(self, display: str):
        self.x11 = _xlib()
        x11 = self.x11
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                   ctypes.POINTER(ctypes.c_uint)]
        x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                             ctypes.POINTER(_WindowAttributes)]
        x11.XGetClassHint.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(_ClassHint)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        self.dpy = x11.XOpenDisplay(display.encode())
        self.root = x11.XDefaultRootWindow(self.dpy)

    def count(self) -> int:
        x11 = self.x11
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        n = ctypes.c_uint()
        if not x11.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                              ctypes.byref(children), ctypes.byref(n)):
            return 0
        found = 0
        try:
            for i in range(n.value):
                attrs = _WindowAttributes()
                if not x11.XGetWindowAttributes(self.dpy, children[i], ctypes.byref(attrs)):
                    continue
                if attrs.map_state != 2 or attrs.override_redirect:  # IsViewable
                    continue
                if (attrs.width, attrs.height) != NOTE_SIZE:
                    continue
                hint = _ClassHint()
                if x11.XGetClassHint(self.dpy, children[i], ctypes.byref(hint)):
                    if hint.res_name and ctypes.string_at(hint.res_name) == b"vikora":
                        found += 1
                    x11.XFree(hint.res_name)
                    x11.XFree(hint.res_class)
        finally:
            if children:
                x11.XFree(children)
        return found

    def close(self) -> None:
        self.x11.XCloseDisplay(self.dpy)


# --- /proc --------------------------------------------------------------------

def cpu_seconds(pid: int) -> float:
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def status_value(path: Path, key: str) -> int:
    for line in path.read_text().splitlines():
        if line.startswith(key + ":"):
            return int(line.split()[1])
    return 0


def threads(pid: int) -> dict[int, tuple[int, int]]:
    """Per thread: context switches (voluntary + involuntary) and run time in ns."""
    found = {}
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            status = task / "status"
            switches = (status_value(status, "voluntary_ctxt_switches")
                        + status_value(status, "nonvoluntary_ctxt_switches"))
            run_ns = int((task / "schedstat").read_text().split()[0])
        except (FileNotFoundError, ProcessLookupError, ValueError):
            continue  # a thread that ended meanwhile
        found[int(task.name)] = (switches, run_ns)
    return found


def idle_cost(before: dict[int, tuple[int, int]],
              after: dict[int, tuple[int, int]]) -> tuple[int, float, int]:
    """Wake-ups and CPU ms between two samples. A thread that started counts
    whole; one that ended counts one wake-up (its last), since its figures
    are gone with it."""
    wakeups, run_ns = 0, 0
    for tid, (switches, ns) in after.items():
        old = before.get(tid, (0, 0))
        wakeups += switches - old[0]
        run_ns += ns - old[1]
    ended = len(before.keys() - after.keys())
    return wakeups + ended, run_ns / 1e6, ended


def measure(x: XSession, binary: Path, count: int) -> dict[str, float]:
    folder = x.portable_folder(f"cost-{count}", binary, ini=SETTINGS, csv=notes(count))
    counter = NoteCounter(x.display)
    try:
        program = x.start_program(folder, f"cost-{count}")
        pid = program.pid
        started = time.monotonic()
        wait_until(lambda: counter.count() >= count, 300, f"{count} note windows are mapped",
                   interval=0.01)
        shown_cpu = cpu_seconds(pid)
        shown_wall = time.monotonic() - started
    finally:
        counter.close()
    time.sleep(SETTLE_SECONDS)
    cpu_before, threads_before = cpu_seconds(pid), threads(pid)
    time.sleep(IDLE_SECONDS)
    cpu_after, threads_after = cpu_seconds(pid), threads(pid)
    wakeups, idle_ms, ended = idle_cost(threads_before, threads_after)
    peak = status_value(Path(f"/proc/{pid}/status"), "VmHWM") / 1024
    x.stop_programs()
    return {"notes": count, "show_cpu": shown_cpu, "show_wall": shown_wall, "peak_mib": peak,
            "idle_cpu_ms": idle_ms, "idle_cpu_ticks_ms": (cpu_after - cpu_before) * 1000,
            "idle_wakeups": wakeups, "threads": f"{len(threads_before)}->{len(threads_after)}",
            "ended": ended}


def main(argv: list[str]) -> int:
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    missing = missing_tools()
    if missing:
        print(f"needs {', '.join(missing)}", file=sys.stderr)
        return 1
    binary = Path(argv[1]).resolve()
    counts = [int(a) for a in argv[2:]] or [1, 20, 200]
    artifacts = Path(tempfile.mkdtemp(prefix="vikora-cost-"))
    rows = []
    with XSession(artifacts) as x:
        for count in counts:
            rows.append(measure(x, binary, count))
            print(f"  {count} notes measured", file=sys.stderr, flush=True)
    print(f"{'notes':>6} {'CPU to show':>12} {'wall':>7} {'peak RSS':>10} "
          f"{'idle CPU/30 s':>14} {'wake-ups/30 s':>14} {'threads':>8}")
    for r in rows:
        print(f"{r['notes']:>6} {r['show_cpu']:>10.2f} s {r['show_wall']:>5.2f} s "
              f"{r['peak_mib']:>6.1f} MiB {r['idle_cpu_ms']:>11.1f} ms {r['idle_wakeups']:>14} "
              f"{r['threads']:>8}")
    print("idle CPU from the threads' run time (schedstat); from the process's tick "
          "counts: " + ", ".join(f"{r['idle_cpu_ticks_ms']:.0f} ms" for r in rows))
    print("(logs in", artifacts, ")")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
