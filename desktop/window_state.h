#pragma once

class QWindow;

// Keeps a window out of the taskbar and the pager. Written into the window's
// own state on every show, since some window managers drop a one-time
// request after the window is hidden; does nothing off X11.
void KeepOffTaskbar(QWindow* window);

// Shows a window on every workspace (_NET_WM_DESKTOP all, and the sticky
// state), written on every show like the taskbar state; nothing off X11.
void ShowOnAllWorkspaces(QWindow* window);
