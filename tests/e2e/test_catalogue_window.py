#!/usr/bin/env python3
"""The program catalogue of the real vikora program on an X screen: opened
from the tray menu, downloaded from a server this test runs on 127.0.0.1,
stored as Windows-1250, shown (screenshot catalogue-window.png) and closed.

usage: test_catalogue_window.py PROGRAM ARTIFACTS_FOLDER

Exit codes: 0 passed, 1 failed, 77 skipped (X tools missing; never under CI).
"""

from __future__ import annotations

import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import Failure, XSession, holds_for, run_scenarios, wait_until  # noqa: E402
from test_running_program import (START_TIMEOUT, STEP_TIMEOUT, choose_from_menu,  # noqa: E402
                                  dismiss, single_tray_icon)

CAPTION = "Programok, letöltések"
FIELDS = (("programok", "String", 50, 50), ("rovid", "String", 255, 255),
          ("link", "String", 255, 255), ("kategoria", "String", 25, 25),
          ("ingyenes", "String", 1, 1), ("leiras", "Memo", 0, 10))
PROGRAMS = (
    {"programok": "Vikora", "kategoria": "Iroda", "rovid": "Emlékeztető cetlik az asztalon",
     "link": "https://www.zamolin.example/vikora", "ingyenes": "I", "leiras": "Cetlik"},
    {"programok": "Árvíztűrő", "kategoria": "Játék", "rovid": "Tükörfúrógép kezdőknek",
     "link": "https://www.zamolin.example/arviz", "ingyenes": "", "leiras": ""},
    {"programok": "Betűvető", "kategoria": "Eszköz", "rovid": "Őszi űrlapok kitöltése",
     "link": "https://www.zamolin.example/betu", "ingyenes": "I", "leiras": ""},
)
# The catalogue command is the 6th entry of the tray menu.
CATALOGUE_ENTRY = ("Down",) * 6


def _quoted(text: str) -> str:
    return '"' + text.replace('"', '""') + '"'


def catalogue_download() -> bytes:
    """The catalogue as the maker's server sends it: a table file in UTF-8."""
    lines = ['"@@FILE VERSION@@","251"', '"@@TABLEDEF START@@"']
    for name, kind, size, width in FIELDS:
        lines.append(_quoted(f"{name}={kind},{size},{_quoted(name)},{_quoted('')},{width},Data,"
                             f"{_quoted('')}"))
    lines += ['"@@INDEXDEF START@@"', '"@@INDEXDEF END@@"', '"@@TABLEDEF END@@"']
    lines.append("".join(_quoted(name) + "," for name, *_ in FIELDS))
    for program in PROGRAMS:
        lines.append("".join((_quoted(program[name]) if program[name] else "") + ","
                             for name, *_ in FIELDS))
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


class CatalogueServer:
    """Serves the catalogue at /prgcsv.php and counts the requests."""

    def __init__(self) -> None:
        body = catalogue_download()
        self.requests: list[str] = []
        requests = self.requests

        class Handler(BaseHTTPRequestHandler):
            def do_GET(self) -> None:  # noqa: N802 (the server's name)
                requests.append(self.path)
                status = 200 if self.path == "/prgcsv.php" else 404
                data = body if status == 200 else b"not here"
                self.send_response(status)
                self.send_header("Content-Type", "text/csv; charset=utf-8")
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def log_message(self, *args: object) -> None:
                pass

        self.httpd = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/prgcsv.php"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def __enter__(self) -> "CatalogueServer":
        self.thread.start()
        return self

    def __exit__(self, *exc: object) -> None:
        self.httpd.shutdown()
        self.httpd.server_close()


def windows_titled(x: XSession, title: str):
    return [w for w in x.shown_top_levels() if x.title(w.id) == title]


def catalogue_from_tray(x: XSession, binary: Path) -> None:
    with CatalogueServer() as server:
        program_env = x.program_env
        x.program_env = lambda: {**program_env(), "VIKORA_CATALOGUE_URL": server.url}
        try:
            folder = x.portable_folder("catalogue", binary)
            program = x.start_program(folder, "catalogue")
        finally:
            x.program_env = program_env

        with x.step("the tray icon appears"):
            wait_until(lambda: single_tray_icon(x), START_TIMEOUT, "the program's tray icon")

        with x.step("the first opening downloads the catalogue and says so"):
            choose_from_menu(x, *CATALOGUE_ENTRY)
            box = wait_until(lambda: next(iter(windows_titled(x, "Üzenet")), None), STEP_TIMEOUT,
                             "the box 'Lista frissítése kész.' is shown")
            if server.requests != ["/prgcsv.php"]:
                raise Failure(f"the server was asked for {server.requests}")
            stored = (folder / "Programok.csv").read_bytes()
            if "Árvíztűrő".encode("cp1250") not in stored or b"\xc3" in stored:
                raise Failure("Programok.csv does not hold the catalogue in Windows-1250")
            if (folder / "Programok.tmp").read_bytes() != catalogue_download():
                raise Failure("Programok.tmp is not the download as it came")
            dismiss(x, box)

        with x.step("the catalogue window lists the programs"):
            window = wait_until(lambda: next(iter(windows_titled(x, CAPTION)), None),
                                STEP_TIMEOUT, f"a window titled {CAPTION!r}")
            if window.width < 400 or window.height < 300:
                raise Failure(f"the window is only {window.width}x{window.height}")
            x.focus(window)
            # Once painted, the screen holds the light-green free rows.
            wait_until(lambda: b"\xc1\xff\xe0" in x.grab_rgb(window)[2], STEP_TIMEOUT,
                       "the free programs' rows are painted light green")
            x.screenshot("catalogue-window")

        with x.step("the tray command again brings it forward instead of a second one"):
            choose_from_menu(x, *CATALOGUE_ENTRY)
            holds_for(lambda: [w.id for w in windows_titled(x, CAPTION)] == [window.id], 1.0,
                      "one catalogue window")
            if len(server.requests) != 1:
                raise Failure(f"the command downloaded again: {server.requests}")
            x.focus(window)

        with x.step("Ctrl+F4 closes it and its place is stored"):
            x.keys("ctrl+F4")
            wait_until(lambda: not windows_titled(x, CAPTION), STEP_TIMEOUT,
                       "the catalogue window closes")
            ini = (folder / "Vikora.ini").read_text(encoding="cp1250")
            if "[frm_Programok]" not in ini or "Width=" not in ini:
                raise Failure(f"Vikora.ini holds no place of the window:\n{ini}")

        with x.step("the second opening reads the stored list without downloading"):
            choose_from_menu(x, *CATALOGUE_ENTRY)
            window = wait_until(lambda: next(iter(windows_titled(x, CAPTION)), None),
                                STEP_TIMEOUT, f"a window titled {CAPTION!r}")
            if len(server.requests) != 1 or windows_titled(x, "Üzenet"):
                raise Failure(f"the second opening downloaded again: {server.requests}")
            x.focus(window)
            x.keys("ctrl+F4")
            wait_until(lambda: not windows_titled(x, CAPTION), STEP_TIMEOUT,
                       "the catalogue window closes")

        with x.step("'Bezár' still ends the program with exit code 0"):
            choose_from_menu(x, "Up")
            code = program.wait_exit(STEP_TIMEOUT, "'Bezár'")
            if code != 0:
                raise Failure(f"exit code {code}")


SCENARIOS = (catalogue_from_tray,)


if __name__ == "__main__":
    sys.exit(run_scenarios(sys.argv, SCENARIOS, ("catalogue*.png", "catalogue*.log"), __doc__))
