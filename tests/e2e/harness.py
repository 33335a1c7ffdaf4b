"""Runs the real vikora program on a private X server with a tray host.

The session owns every process it starts (Xvfb, trayer, the program copies)
and ends them when it closes, also when a check fails or the harness itself is
stopped. Windows are found with xwininfo/xprop/xdotool, input is sent with
xdotool (XTEST), and screenshots are taken with ImageMagick's import.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import re
import secrets
import select
import shutil
import signal
import subprocess
import tempfile
import time
from contextlib import contextmanager
from dataclasses import dataclass, replace
from pathlib import Path
from typing import Callable, Iterator, TypeVar

import desktops

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 800
REQUIRED_TOOLS = ("Xvfb", "trayer", "xdotool", "xwininfo", "xprop", "import")

T = TypeVar("T")


class Failure(Exception):
    """A check did not hold; the message says what was expected and seen."""


def missing_tools(desktop: str = "bare") -> list[str]:
    return [tool for tool in REQUIRED_TOOLS + desktops.TOOLS[desktop]
            if shutil.which(tool) is None]


def on_desktop(desktop: str) -> Callable[[T], T]:
    """Marks a scenario to run in an XSession with these desktop parts
    (run_scenarios starts one session per desktop, in the scenarios' order)."""
    def mark(scenario: T) -> T:
        scenario.desktop = desktop  # type: ignore[attr-defined]
        return scenario

    return mark


def wait_until(probe: Callable[[], T], timeout: float, what: str, interval: float = 0.02) -> T:
    """Polls probe until it returns something truthy and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {timeout:g} s waiting until {what}")
        time.sleep(interval)


def holds_for(probe: Callable[[], object], seconds: float, what: str,
              interval: float = 0.02) -> None:
    """Polls probe for a while and fails the first time it is false. Only for
    things that must not happen, which no event announces."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not probe():
            raise Failure(f"{what} stopped holding")
        time.sleep(interval)


# --- child processes ------------------------------------------------------

_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


def _end_with_parent(sig: int) -> Callable[[], None]:
    # A child left behind by a killed harness would hold the display or the
    # program's socket; the kernel ends it when the harness goes away.
    def prepare() -> None:
        _libc.prctl(_PR_SET_PDEATHSIG, int(sig), 0, 0, 0)

    return prepare


class Child:
    """One started process, alone in its own process group."""

    def __init__(self, name: str, argv: list[str], env: dict[str, str], log: Path,
                 orphan_signal: int = signal.SIGKILL, pass_fds: tuple[int, ...] = ()):
        self.name = name
        self.log = log
        with open(log, "wb") as out:
            self.proc = subprocess.Popen(
                argv, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                start_new_session=True, pass_fds=pass_fds,
                preexec_fn=_end_with_parent(orphan_signal))

    @property
    def pid(self) -> int:
        return self.proc.pid

    def running(self) -> bool:
        return self.proc.poll() is None

    def send(self, sig: int) -> None:
        if self.running():
            os.killpg(self.proc.pid, sig)

    def wait_exit(self, timeout: float, what: str) -> int:
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{self.name} (pid {self.pid}) still runs {timeout:g} s after {what}") from None

    def stop(self, first: int = signal.SIGKILL, grace: float = 5.0) -> None:
        # The group is signalled only while its leader is not reaped, so the
        # id cannot have passed to another process.
        if not self.running():
            return
        try:
            os.killpg(self.proc.pid, first)
            self.proc.wait(timeout=grace)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass
        if self.running():
            os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait()

    def log_tail(self, lines: int = 20) -> str:
        try:
            text = self.log.read_text(errors="replace").splitlines()
        except OSError:
            return ""
        return "\n".join(text[-lines:])


# --- windows ----------------------------------------------------------------

@dataclass(frozen=True)
class Window:
    id: int
    name: str
    instance: str       # first WM_CLASS string ("vikora")
    klass: str          # second WM_CLASS string ("Vikora")
    x: int              # absolute position on the screen
    y: int
    width: int
    height: int
    depth: int          # 1 for top-level windows
    ancestors: tuple[int, ...]

    @property
    def centre(self) -> tuple[int, int]:
        return self.x + self.width // 2, self.y + self.height // 2

    def __str__(self) -> str:
        return (f"0x{self.id:x} {self.name!r} ({self.instance!r} {self.klass!r}) "
                f"{self.width}x{self.height}+{self.x}+{self.y}")


_TREE_LINE = re.compile(
    r'^(?P<indent>\s*)(?P<id>0x[0-9a-f]+) (?:"(?P<name>.*)"|\(has no name\)): '
    r'\((?P<cls>.*)\)\s+(?P<w>\d+)x(?P<h>\d+)\+-?\d+\+-?\d+\s+\+(?P<x>-?\d+)\+(?P<y>-?\d+)$')
_CLASS = re.compile(r'"((?:[^"\\]|\\.)*)"')
_QUOTED = re.compile(r'"((?:[^"\\]|\\.)*)"')


def _unescape(text: str) -> str:
    """Undoes xprop's and xwininfo's C-style escapes (octal bytes, quotes)."""
    raw = bytearray()
    i = 0
    data = text.encode("utf-8", "surrogateescape")
    while i < len(data):
        if data[i] == 0x5C and i + 1 < len(data):
            octal = re.match(rb"[0-7]{1,3}", data[i + 1:i + 4])
            if octal:
                raw.append(int(octal.group(0), 8))
                i += 1 + len(octal.group(0))
                continue
            raw.append(data[i + 1])
            i += 2
            continue
        raw.append(data[i])
        i += 1
    return raw.decode("utf-8", "replace")


# --- the X session ----------------------------------------------------------

class XSession:
    """A private Xvfb screen with the desktop parts `desktop` names (see
    desktops.py; by default a tray host and no window manager) and a private
    home for the program."""

    def __init__(self, artifacts: Path, desktop: str = "bare"):
        if desktop not in desktops.DESKTOPS:
            raise ValueError(f"unknown desktop {desktop!r}")
        self.artifacts = artifacts
        self.desktop = desktop
        self.width, self.height = desktops.screen_size(desktop)
        self.bus_address = ""  # the private session bus, when the desktop has one
        self.root = Path(tempfile.mkdtemp(prefix="vikora-e2e-"))
        self.display = ""
        self._children: list[Child] = []
        self._xvfb: Child | None = None
        self._programs: list[Child] = []
        self.opened_log = self.root / "opened.txt"
        self.instance_key = f"vikora-e2e-{os.getpid()}-{secrets.token_hex(4)}"

    # life cycle

    def __enter__(self) -> "XSession":
        try:
            self._start_xvfb()
            desktops.start(self, self.desktop)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    def close(self) -> None:
        for child in reversed(self._children):
            child.stop(signal.SIGKILL if child is not self._xvfb else signal.SIGTERM)
        self._children.clear()
        shutil.rmtree(self.root, ignore_errors=True)

    def _start_xvfb(self) -> None:
        read_end, write_end = os.pipe()
        try:
            self._xvfb = Child(
                "Xvfb",
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset"],
                os.environ.copy(), self.artifacts / self.log_name("xvfb"),
                orphan_signal=signal.SIGTERM, pass_fds=(write_end,))
            self._children.append(self._xvfb)
            os.close(write_end)
            write_end = -1
            # Xvfb writes the display number it took once it accepts clients.
            number = b""
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise Failure("Xvfb did not report a display number within 30 s:\n"
                                  + self._xvfb.log_tail())
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise Failure("Xvfb ended before it took a display:\n" + self._xvfb.log_tail())
                number += chunk
            self.display = ":" + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)

    def log_name(self, part: str) -> str:
        """Log file of a desktop part; bare sessions keep the old names."""
        return f"{part}.log" if self.desktop == "bare" else f"{self.desktop}-{part}.log"

    # environment

    def tool_env(self) -> dict[str, str]:
        env = os.environ.copy()
        env["DISPLAY"] = self.display
        env["LC_ALL"] = "C.UTF-8"
        env.pop("XAUTHORITY", None)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        if self.bus_address:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        return env

    def program_env(self) -> dict[str, str]:
        """A private home, runtime folder and instance key; nothing of the real desktop."""
        home = self.root / "home"
        runtime = self.root / "runtime"
        fake_bin = self.root / "bin"
        if not fake_bin.exists():
            for folder in (home, home / ".config", home / ".local/share", home / ".cache",
                           home / ".local/state", fake_bin):
                folder.mkdir(parents=True, exist_ok=True)
            runtime.mkdir(mode=0o700, exist_ok=True)
            os.chmod(runtime, 0o700)
            # The desktop's opener only records what it was asked to open:
            # no browser or mail program ever starts from a test.
            opener = fake_bin / "xdg-open"
            opener.write_text('#!/bin/sh\nprintf \'%s\\n\' "$*" >> "$E2E_OPENED_LOG"\n')
            opener.chmod(0o755)
        env = {
            "PATH": f"{fake_bin}:{os.environ.get('PATH', '/usr/bin:/bin')}",
            "HOME": str(home),
            "XDG_CONFIG_HOME": str(home / ".config"),
            "XDG_DATA_HOME": str(home / ".local/share"),
            "XDG_CACHE_HOME": str(home / ".cache"),
            "XDG_STATE_HOME": str(home / ".local/state"),
            "XDG_RUNTIME_DIR": str(runtime),
            "VIKORA_CATALOGUE_URL": "http://127.0.0.1:9/prgcsv.php",
            "LC_ALL": "hu_HU.UTF-8",
            "LANG": "hu_HU.UTF-8",
            "TZ": "Europe/Budapest",
            "QT_QPA_PLATFORM": "xcb",
            "DISPLAY": self.display,
            "E2E_OPENED_LOG": str(self.opened_log),
        }
        if self.bus_address:  # the desktop's session bus, as a desktop session gives it
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        # Sanitizer builds take their settings from the environment.
        for key, value in os.environ.items():
            if key.endswith("SAN_OPTIONS"):
                env[key] = value
        suppressions = Path(__file__).resolve().parent / "lsan-suppressions.txt"
        env["LSAN_OPTIONS"] = ":".join(filter(None, [env.get("LSAN_OPTIONS"),
                                                    f"suppressions={suppressions}"]))
        return env

    # the program

    def portable_folder(self, name: str, binary: Path, ini: bytes = b"",
                        csv: bytes | None = None) -> Path:
        """A copy of the program with a Vikora.ini beside it: it keeps its files there."""
        folder = self.root / name
        folder.mkdir()
        shutil.copy2(binary, folder / binary.name)
        (folder / "Vikora.ini").write_bytes(ini)
        if csv is not None:
            (folder / "Vikora.csv").write_bytes(csv)
        return folder

    def start_program(self, folder: Path, log_name: str) -> Child:
        binaries = [p for p in folder.iterdir() if p.is_file() and os.access(p, os.X_OK)]
        if len(binaries) != 1:
            raise Failure(f"expected one program file in {folder}, found {binaries}")
        env = self.program_env()
        # Copies started from one folder are one program; another folder's
        # copy never meets a copy that an earlier check left behind.
        env["VIKORA_INSTANCE_KEY"] = f"{self.instance_key}-{folder.name}"
        child = Child(log_name, [str(binaries[0])], env, self.artifacts / f"{log_name}.log")
        self._children.append(child)
        self._programs.append(child)
        return child

    def programs(self) -> list[Child]:
        return list(self._programs)

    def stop_programs(self) -> None:
        for child in self._programs:
            child.stop()
        self._children = [c for c in self._children if c not in self._programs]
        self._programs.clear()

    def opened_addresses(self) -> list[str]:
        try:
            return self.opened_log.read_text().splitlines()
        except FileNotFoundError:
            return []

    # X queries

    def run_tool(self, *argv: str, check: bool = True) -> str:
        result = subprocess.run(argv, env=self.tool_env(), stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=30)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(argv)} failed ({result.returncode}): "
                          f"{result.stderr.decode(errors='replace').strip()}")
        return result.stdout.decode("utf-8", "replace")

    def tray_selection_owner(self) -> int:
        """The owner of _NET_SYSTEM_TRAY_S0, the selection Qt looks for a tray by."""
        return self.selection_owner("_NET_SYSTEM_TRAY_S0")

    def selection_owner(self, selection: str) -> int:
        x11 = _xlib()
        dpy = x11.XOpenDisplay(self.display.encode())
        if not dpy:
            return 0
        try:
            atom = x11.XInternAtom(dpy, selection.encode(), 0)
            return int(x11.XGetSelectionOwner(dpy, atom))
        finally:
            x11.XCloseDisplay(dpy)

    def windows(self) -> list[Window]:
        """Every window on the screen, mapped or not, with its ancestry."""
        found: list[Window] = []
        stack: list[tuple[int, int]] = []  # (indent, id) of the open ancestors
        for line in self._window_tree().splitlines():
            m = _TREE_LINE.match(line)
            if not m:
                continue
            indent = len(m.group("indent"))
            while stack and stack[-1][0] >= indent:
                stack.pop()
            classes = [_unescape(c) for c in _CLASS.findall(m.group("cls"))] + ["", ""]
            window = Window(
                id=int(m.group("id"), 16), name=_unescape(m.group("name") or ""),
                instance=classes[0], klass=classes[1],
                x=int(m.group("x")), y=int(m.group("y")),
                width=int(m.group("w")), height=int(m.group("h")),
                depth=len(stack) + 1, ancestors=tuple(i for _, i in stack))
            found.append(window)
            stack.append((indent, window.id))
        return found

    def _window_tree(self) -> str:
        # A window destroyed while xwininfo walks the tree fails the walk
        # (window managers and compositors make and destroy windows often).
        for _ in range(20):
            try:
                return self.run_tool("xwininfo", "-root", "-tree")
            except Failure:
                time.sleep(0.02)
        return self.run_tool("xwininfo", "-root", "-tree")

    def attributes(self, window_id: int) -> dict[str, str]:
        out = self.run_tool("xwininfo", "-id", hex(window_id), check=False)
        attrs = {}
        for line in out.splitlines():
            key, sep, value = line.strip().partition(":")
            if sep:
                attrs[key.strip()] = value.strip()
        return attrs

    def is_viewable(self, window_id: int) -> bool:
        return self.attributes(window_id).get("Map State") == "IsViewable"

    def is_override_redirect(self, window_id: int) -> bool:
        return self.attributes(window_id).get("Override Redirect State") == "yes"

    def title(self, window_id: int) -> str:
        """The window's _NET_WM_NAME (falling back to WM_NAME), as Unicode text."""
        out = self.run_tool("xprop", "-id", hex(window_id), "-notype", "_NET_WM_NAME", "WM_NAME",
                            check=False)
        for line in out.splitlines():
            m = _QUOTED.search(line)
            if m:
                return _unescape(m.group(1))
        return ""

    def tray_panel(self, windows: list[Window] | None = None) -> Window | None:
        return next((w for w in (windows or self.windows())
                     if (w.instance, w.klass) == ("panel", "trayer")), None)

    def tray_icons(self, instance: str = "vikora",
                   windows: list[Window] | None = None) -> list[Window]:
        """Windows of the program that the tray host has embedded."""
        windows = windows or self.windows()
        panel = self.tray_panel(windows)
        if panel is None:
            return []
        return [w for w in windows
                if panel.id in w.ancestors and w.instance == instance and self.is_viewable(w.id)]

    def shown_top_levels(self, instance: str = "vikora") -> list[Window]:
        """Mapped top-level windows, with the geometry they have once mapped
        (a window can be listed while it is still being set up). Under a
        window manager a top-level is the client inside its frame: every
        ancestor is a frame without WM_CLASS. The position is the client's."""
        shown = []
        windows = self.windows()
        named = {w.id for w in windows if w.instance or w.klass}
        for w in windows:
            if w.instance != instance or any(a in named for a in w.ancestors):
                continue
            attrs = self.attributes(w.id)
            if attrs.get("Map State") != "IsViewable":
                continue
            try:
                shown.append(replace(w, x=int(attrs["Absolute upper-left X"]),
                                     y=int(attrs["Absolute upper-left Y"]),
                                     width=int(attrs["Width"]), height=int(attrs["Height"])))
            except (KeyError, ValueError):
                continue  # gone meanwhile
        return shown

    # input

    def press_right_button_on(self, window: Window) -> tuple[int, int]:
        x, y = window.centre
        self.run_tool("xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "3")
        return x, y

    def release_right_button_away(self) -> None:
        # Released where it was pressed, then moved off the icon so that
        # no tooltip opens and no menu entry is under the pointer.
        self.run_tool("xdotool", "mouseup", "3", "mousemove", "--sync", "0",
                      str(self.height - 1))

    def keys(self, *keys: str) -> None:
        self.run_tool("xdotool", "key", "--delay", "30", *keys)

    def focus(self, window: Window) -> None:
        if self.has_window_manager():
            # A window manager may refuse to pass the focus to a newly
            # started program (focus-stealing prevention): ask again.
            def active() -> bool:
                self.run_tool("xdotool", "windowactivate", hex(window.id), check=False)
                out = self.run_tool("xdotool", "getactivewindow", check=False).strip()
                return out.isdigit() and int(out) == window.id
            wait_until(active, 10, f"{window} has the focus", interval=0.1)
        else:
            # No window manager: the harness gives the keyboard focus itself.
            self.run_tool("xdotool", "windowfocus", "--sync", hex(window.id))

    # the window manager

    def has_window_manager(self) -> bool:
        return self.desktop in ("openbox", "openbox-trayer", "xfce")

    def root_property(self, name: str) -> list[int]:
        return self.cardinals(None, name)

    def cardinals(self, window_id: int | None, name: str) -> list[int]:
        """A CARDINAL/WINDOW/ATOM list property as numbers ([] when unset)."""
        target = ["-root"] if window_id is None else ["-id", hex(window_id)]
        out = self.run_tool("xprop", *target, "-notype", name, check=False)
        _, sep, values = out.partition("=")
        if not sep:
            _, sep, values = out.partition("#")
        return [int(v, 0) for v in re.findall(r"0x[0-9a-fA-F]+|\d+", values)] if sep else []

    def frame_extents(self, window_id: int) -> tuple[int, int, int, int]:
        """_NET_FRAME_EXTENTS: left, right, top, bottom (zeros without a frame)."""
        values = self.cardinals(window_id, "_NET_FRAME_EXTENTS")
        return tuple(values) if len(values) == 4 else (0, 0, 0, 0)  # type: ignore[return-value]

    def frame_geometry(self, window: Window) -> tuple[int, int, int, int]:
        """x, y, width, height of the window with its frame."""
        left, right, top, bottom = self.frame_extents(window.id)
        return (window.x - left, window.y - top, window.width + left + right,
                window.height + top + bottom)

    def wm_state(self, window_id: int) -> set[str]:
        """The _NET_WM_STATE atoms the window manager keeps on a window."""
        out = self.run_tool("xprop", "-id", hex(window_id), "_NET_WM_STATE", check=False)
        return set(re.findall(r"_NET_WM_STATE_[A-Z_]+", out))

    def wm_desktop(self, window_id: int) -> int | None:
        """_NET_WM_DESKTOP (0xFFFFFFFF: every workspace), None when unset."""
        values = self.cardinals(window_id, "_NET_WM_DESKTOP")
        return values[0] if values else None

    def switch_workspace(self, number: int) -> None:
        self.run_tool("xdotool", "set_desktop", str(number))
        wait_until(lambda: self.root_property("_NET_CURRENT_DESKTOP")[:1] == [number], 10,
                   f"workspace {number} is shown")

    def move_through_wm(self, window: Window, x: int, y: int) -> None:
        """Asks the window manager to move a window (as a user's drag of its
        frame would): _NET_MOVERESIZE_WINDOW through xdotool."""
        self.run_tool("xdotool", "windowmove", "--sync", hex(window.id), str(x), str(y))

    # monitors (RandR 1.5 monitors, what Qt makes its screens of)

    def monitors(self) -> dict[str, tuple[int, int, int, int]]:
        """name -> (x, y, width, height) of each RandR monitor."""
        found = {}
        for line in self.run_tool("xrandr", "--listmonitors").splitlines()[1:]:
            m = re.match(r"\s*\d+: [+*]*(\S+) (\d+)/\d+x(\d+)/\d+\+(\d+)\+(\d+)", line)
            if m:
                found[m.group(1)] = (int(m.group(4)), int(m.group(5)),
                                     int(m.group(2)), int(m.group(3)))
        return found

    def add_monitor(self, name: str, left: int) -> None:
        desktops.add_monitor(self, name, left)

    def remove_monitor(self, name: str) -> None:
        desktops.remove_monitor(self, name)

    # the StatusNotifier tray (xfce): the items over D-Bus, no clicking needed

    def gdbus(self, *args: str, check: bool = True) -> str:
        return self.run_tool("gdbus", "call", "--session", *args, check=check)

    def sni_items(self) -> list[str]:
        """The registered StatusNotifier items, as "service/path" strings."""
        out = self.gdbus("--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                         "/StatusNotifierWatcher", "--method",
                         "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
                         "RegisteredStatusNotifierItems", check=False)
        return re.findall(r"'([^']+)'", out)

    def sni_item_property(self, item: str, name: str) -> str:
        service, path = _split_item(item)
        return self.gdbus("--dest", service, "--object-path", path, "--method",
                          "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem",
                          name).strip()

    def sni_activate(self, item: str, x: int = 0, y: int = 0) -> None:
        """What the tray does on a left click on the item."""
        service, path = _split_item(item)
        self.gdbus("--dest", service, "--object-path", path, "--method",
                   "org.kde.StatusNotifierItem.Activate", str(x), str(y))

    def sni_menu_entries(self, item: str) -> dict[str, int]:
        """Label -> id of the item's menu entries (com.canonical.dbusmenu)."""
        service, _ = _split_item(item)
        menu = re.search(r"objectpath '([^']+)'", self.sni_item_property(item, "Menu"))
        if not menu:
            raise Failure(f"the item {item} has no menu")
        out = self.gdbus("--dest", service, "--object-path", menu.group(1), "--method",
                         "com.canonical.dbusmenu.GetLayout", "--", "0", "-1", "[]")
        entries = {}
        for m in re.finditer(r"\((\d+), \{([^{}]*)\}", out):
            label = re.search(r"'label': <'((?:[^'\\]|\\.)*)'>", m.group(2))
            if label:
                entries[label.group(1).replace("&", "")] = int(m.group(1))
        return entries

    def sni_click_menu_entry(self, item: str, label: str) -> None:
        """Chooses a menu entry as the tray would when the user clicks it."""
        service, _ = _split_item(item)
        menu = re.search(r"objectpath '([^']+)'", self.sni_item_property(item, "Menu"))
        entries = self.sni_menu_entries(item)
        if label not in entries:
            raise Failure(f"no menu entry {label!r} in {sorted(entries)}")
        path = menu.group(1)  # type: ignore[union-attr]

        # As a tray host does: the menu opens, the entry is clicked, the menu closes.
        def event(entry: int, kind: str, check: bool = True) -> None:
            self.gdbus("--dest", service, "--object-path", path, "--method",
                       "com.canonical.dbusmenu.Event", "--", str(entry), kind, "<0>", "0",
                       check=check)

        self.gdbus("--dest", service, "--object-path", path, "--method",
                   "com.canonical.dbusmenu.AboutToShow", "--", "0", check=False)
        event(0, "opened")
        event(entries[label], "clicked")
        event(0, "closed", check=False)  # "Bezár" may have ended the program

    # pictures

    def screenshot(self, name: str) -> Path:
        path = self.artifacts / f"{name}.png"
        self.run_tool("import", "-window", "root", str(path))
        return path

    def grab_rgb(self, window: Window) -> tuple[int, int, bytes]:
        """The screen pixels under a window, as width, height and RGB bytes."""
        geometry = f"{window.width}x{window.height}+{window.x}+{window.y}"
        result = subprocess.run(
            ["import", "-window", "root", "-crop", geometry, "+repage", "-depth", "8", "ppm:-"],
            env=self.tool_env(), capture_output=True, timeout=30, check=True)
        return _parse_ppm(result.stdout)

    @contextmanager
    def step(self, title: str) -> Iterator[None]:
        started = time.monotonic()
        print(f"  - {title} ...", flush=True)
        try:
            yield
        except Failure as e:
            raise Failure(f"{title}: {e}") from None
        print(f"    ok ({time.monotonic() - started:.2f} s)", flush=True)


def _split_item(item: str) -> tuple[str, str]:
    service, slash, path = item.partition("/")
    return service, (slash + path) if slash else "/StatusNotifierItem"


def _parse_ppm(data: bytes) -> tuple[int, int, bytes]:
    fields: list[bytes] = []
    pos = 0
    while len(fields) < 4:
        m = re.compile(rb"\s*(#[^\n]*\n\s*)*(\S+)").match(data, pos)
        if not m:
            raise Failure("import returned no PPM picture")
        fields.append(m.group(2))
        pos = m.end()
    if fields[0] != b"P6" or fields[3] != b"255":
        raise Failure(f"unexpected picture format from import: {fields}")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise Failure("import returned a short picture")
    return width, height, pixels


_x11 = None


def _xlib() -> ctypes.CDLL:
    global _x11
    if _x11 is None:
        lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XGetSelectionOwner.restype = ctypes.c_ulong
        lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        _x11 = lib
    return _x11


def stop_on_signals() -> None:
    """Turns SIGTERM/SIGHUP into an exception so that the session cleans up."""
    def handler(number: int, _frame: object) -> None:
        raise SystemExit(128 + number)

    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, handler)


def in_ci() -> bool:
    return os.environ.get("CI", "").lower() == "true"


SKIPPED = 77  # CTest's skip code for this test


def report_failure(x: XSession, name: str) -> None:
    try:
        print(f"  screenshot: {x.screenshot(name + '-failure')}")
    except Exception as e:  # the report must not hide the failure
        print(f"  (no screenshot: {e})")
    try:
        for window in x.shown_top_levels():
            print(f"  shown: {window} titled {x.title(window.id)!r}")
    except Exception as e:
        print(f"  (no window list: {e})")
    for child in x.programs():
        print(f"  --- {child.name} (exit {child.proc.poll()}) log tail:\n{child.log_tail()}")



def run_scenarios(argv: list[str], scenarios, stale: tuple[str, ...], usage: str | None) -> int:
    """Runs each scenario in one X session: program under test and artifacts
    folder from the command line; skips (77) without the tools, but not in CI.
    `stale` names this test's own old artifacts, removed first."""
    import sys
    import traceback
    if len(argv) != 3:
        print(usage or "usage: TEST VIKORA_BINARY ARTIFACTS_DIR", file=sys.stderr)
        return 2
    binary, artifacts = Path(argv[1]).resolve(), Path(argv[2]).resolve()
    wanted = list(dict.fromkeys(getattr(s, "desktop", "bare") for s in scenarios))
    missing = sorted({tool for desktop in wanted for tool in missing_tools(desktop)})
    if missing:
        if in_ci():
            print(f"FAIL: CI needs {', '.join(missing)} (scripts/install-deps.sh)")
            return 1
        print(f"SKIP: {', '.join(missing)} not installed")
        return SKIPPED
    artifacts.mkdir(parents=True, exist_ok=True)
    for pattern in stale:
        for old in artifacts.glob(pattern):
            old.unlink(missing_ok=True)  # another test may clean the folder at once
    stop_on_signals()

    started = time.monotonic()
    failed: list[str] = []
    for desktop in wanted:
        with XSession(artifacts, desktop) as x:
            print(f"X display {x.display} ({desktop}), artifacts in {artifacts}", flush=True)
            for scenario in scenarios:
                if getattr(scenario, "desktop", "bare") != desktop:
                    continue
                name = scenario.__name__
                print(f"{name}:", flush=True)
                try:
                    scenario(x, binary)
                except Failure as e:
                    failed.append(f"{name}: {e}")
                    print(f"FAILED {name}: {e}", flush=True)
                    report_failure(x, name)
                except Exception:
                    failed.append(f"{name}: harness error")
                    traceback.print_exc()
                    report_failure(x, name)
                finally:
                    x.stop_programs()
    print(f"{len(scenarios) - len(failed)} of {len(scenarios)} scenarios passed "
          f"in {time.monotonic() - started:.1f} s", flush=True)
    for line in failed:
        print("  " + line)
    return 1 if failed else 0
