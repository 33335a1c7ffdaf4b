"""The desktop parts an XSession can run around the program.

"bare"            no window manager, trayer as the XEmbed tray (the default)
"openbox-trayer"  openbox (reparenting frames, _NET_FRAME_EXTENTS, workspaces) and trayer
"openbox"         openbox and no tray at all
"xfce"            a private session bus, xfwm4 with its compositor and xfce4-panel
                  whose status tray takes StatusNotifier items over D-Bus
"two-monitors"    no window manager, trayer, two 1024x768 monitors side by side
                  on one 2048x768 screen (RandR monitors: Qt sees two screens)

Each start waits until its part is ready: the window manager's
_NET_SUPPORTING_WM_CHECK, the tray's selection, the StatusNotifier watcher
with a registered host, the compositor's _NET_WM_CM_S0.
"""

from __future__ import annotations

import os
import select
import signal
import time
from pathlib import Path
from typing import TYPE_CHECKING

if TYPE_CHECKING:
    from harness import Child, XSession

DESKTOPS = ("bare", "openbox-trayer", "openbox", "xfce", "two-monitors")

# Which tools each desktop needs beyond the bare session's.
TOOLS = {
    "bare": (),
    "openbox-trayer": ("openbox",),
    "openbox": ("openbox",),
    "xfce": ("dbus-daemon", "xfwm4", "xfce4-panel", "gdbus"),
    "two-monitors": ("xrandr",),
}

MONITOR_WIDTH = 1024
MONITOR_HEIGHT = 768


def screen_size(desktop: str) -> tuple[int, int]:
    if desktop == "two-monitors":
        return 2 * MONITOR_WIDTH, MONITOR_HEIGHT
    return 1280, 800


def start(x: "XSession", desktop: str) -> None:
    if desktop not in DESKTOPS:
        raise ValueError(f"unknown desktop {desktop!r}; one of {', '.join(DESKTOPS)}")
    if desktop == "two-monitors":
        set_monitors(x, [("left", 0), ("right", MONITOR_WIDTH)])
    if desktop in ("openbox", "openbox-trayer"):
        start_openbox(x)
    if desktop == "xfce":
        start_xfce(x)
    if desktop in ("bare", "openbox-trayer", "two-monitors"):
        start_trayer(x)


def desktop_env(x: "XSession") -> dict[str, str]:
    """The desktop parts' own home: no user configuration reaches them."""
    home = x.root / "desktop-home"
    for folder in (home / ".config", home / ".local/share", home / ".cache"):
        folder.mkdir(parents=True, exist_ok=True)
    env = x.tool_env()
    env.update({"HOME": str(home), "XDG_CONFIG_HOME": str(home / ".config"),
                "XDG_DATA_HOME": str(home / ".local/share"),
                "XDG_CACHE_HOME": str(home / ".cache")})
    env.pop("XDG_RUNTIME_DIR", None)
    env.pop("SESSION_MANAGER", None)
    return env


def _spawn(x: "XSession", name: str, argv: list[str], env: dict[str, str] | None = None,
           pass_fds: tuple[int, ...] = ()) -> "Child":
    from harness import Child
    child = Child(name, argv, env or desktop_env(x), x.artifacts / x.log_name(name),
                  orphan_signal=signal.SIGTERM, pass_fds=pass_fds)
    x._children.append(child)
    return child


def _ready(x: "XSession", child: "Child", probe, what: str, timeout: float = 30) -> None:
    from harness import Failure, wait_until

    def check():
        if not child.running():
            raise Failure(f"{child.name} ended at start:\n{child.log_tail()}")
        return probe()

    wait_until(check, timeout, what, interval=0.05)


# --- trayer -------------------------------------------------------------------

def start_trayer(x: "XSession") -> None:
    # A panel docked at the top right, as a desktop's notification area.
    tray = _spawn(x, "trayer",
                  ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--height", "24", "--expand", "true", "--transparent", "false",
                   "--SetDockType", "true", "--SetPartialStrut", "true"], x.tool_env())
    _ready(x, tray, lambda: x.selection_owner("_NET_SYSTEM_TRAY_S0") != 0
           and x.tray_panel() is not None,
           "trayer owns _NET_SYSTEM_TRAY_S0 and shows its panel")


# --- window managers ------------------------------------------------------------

def wm_ready(x: "XSession") -> bool:
    """The window manager announced itself (EWMH) and manages the screen."""
    out = x.run_tool("xprop", "-root", "-notype", "_NET_SUPPORTING_WM_CHECK", check=False)
    return "window id #" in out and x.selection_owner("WM_S0") != 0


def start_openbox(x: "XSession") -> None:
    wm = _spawn(x, "openbox", ["openbox", "--sm-disable"])
    _ready(x, wm, lambda: wm_ready(x), "openbox manages the screen")


_XFCE_PANEL = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
"""

_XFWM4 = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfwm4" version="1.0">
  <property name="general" type="empty">
    <property name="use_compositing" type="bool" value="true"/>
    <property name="workspace_count" type="int" value="4"/>
  </property>
</channel>
"""


def start_session_bus(x: "XSession") -> str:
    """A private session bus (what dbus-run-session gives); returns its address."""
    env = desktop_env(x)
    read_end, write_end = os.pipe()
    try:
        bus = _spawn(x, "dbus-daemon",
                     ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                      f"--print-address={write_end}"], env, pass_fds=(write_end,))
        os.close(write_end)
        write_end = -1
        address = b""
        deadline = time.monotonic() + 30
        while not address.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([read_end], [], [], left)[0]:
                from harness import Failure
                raise Failure("dbus-daemon gave no address within 30 s:\n" + bus.log_tail())
            chunk = os.read(read_end, 256)
            if not chunk:
                from harness import Failure
                raise Failure("dbus-daemon ended at start:\n" + bus.log_tail())
            address += chunk
    finally:
        os.close(read_end)
        if write_end >= 0:
            os.close(write_end)
    x.bus_address = address.decode().strip()
    return x.bus_address


def sni_host_registered(x: "XSession") -> bool:
    out = x.run_tool("gdbus", "call", "--session", "--dest", "org.kde.StatusNotifierWatcher",
                     "--object-path", "/StatusNotifierWatcher", "--method",
                     "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
                     "IsStatusNotifierHostRegistered", check=False)
    return "true" in out


def start_xfce(x: "XSession") -> None:
    # xfconfd is started by the bus and reads the desktop home's settings.
    config = Path(desktop_env(x)["XDG_CONFIG_HOME"]) / "xfce4/xfconf/xfce-perchannel-xml"
    config.mkdir(parents=True, exist_ok=True)
    (config / "xfce4-panel.xml").write_text(_XFCE_PANEL)
    (config / "xfwm4.xml").write_text(_XFWM4)
    start_session_bus(x)
    env = desktop_env(x)
    wm = _spawn(x, "xfwm4", ["xfwm4", "--compositor=on", "--sm-client-disable"], env)
    _ready(x, wm, lambda: wm_ready(x) and x.selection_owner("_NET_WM_CM_S0") != 0,
           "xfwm4 manages the screen with its compositor")
    panel = _spawn(x, "xfce4-panel", ["xfce4-panel", "--sm-client-disable"], env)
    _ready(x, panel, lambda: sni_host_registered(x),
           "xfce4-panel's status tray is the StatusNotifier host", timeout=60)


# --- monitors -------------------------------------------------------------------

def set_monitors(x: "XSession", monitors: list[tuple[str, int]],
                 width: int = MONITOR_WIDTH, height: int = MONITOR_HEIGHT) -> None:
    """Splits the screen into RandR monitors named and placed at x offsets.
    The first takes the screen's output; the others have none."""
    for index, (name, left) in enumerate(monitors):
        output = "screen" if index == 0 else "none"
        x.run_tool("xrandr", "--setmonitor", name,
                   f"{width}/{width * 254 // 960}x{height}/{height * 254 // 960}+{left}+0",
                   output)
    want = {name for name, _ in monitors}
    from harness import wait_until
    wait_until(lambda: want <= set(x.monitors()), 10, f"monitors {sorted(want)} exist")


def add_monitor(x: "XSession", name: str, left: int, width: int = MONITOR_WIDTH,
                height: int = MONITOR_HEIGHT) -> None:
    x.run_tool("xrandr", "--setmonitor", name,
               f"{width}/{width * 254 // 960}x{height}/{height * 254 // 960}+{left}+0", "none")


def remove_monitor(x: "XSession", name: str) -> None:
    x.run_tool("xrandr", "--delmonitor", name)
