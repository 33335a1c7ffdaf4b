#!/usr/bin/env python3
"""Files that are symbolic links, and text that must come back unchanged,
against the real program.

A Vikora.csv and a Vikora.ini that are links into another folder (a synced
folder, say): a text save and the exit write through the links, which stay
links; the files they lead to hold the new content; Vikora.csv.bak beside the
link is a file of its own with the previous content; no temporary file stays
in either folder.

A note whose text holds a no-break space and the escaped U+2028 and U+2029:
edited in place (F2, text added at the end, Ctrl+Enter), every character the
user did not touch is written back as it was.

usage: test_linked_files.py PROGRAM NOTES_DUMP ARTIFACTS_FOLDER
"""

from __future__ import annotations

import os
import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from faults import (FIRST_TEXT, SETTINGS, Failure, XSession, close_program,  # noqa: E402
                    log, main, note_text, one_note, save_and_wait, start_with_note,
                    temp_files)


def linked_notes_and_settings(x: XSession, binary: Path) -> None:
    folder = x.portable_folder("linked", binary)
    synced = x.root / "linked-synced"
    synced.mkdir()
    notes, ini = folder / "Vikora.csv", folder / "Vikora.ini"
    ini.unlink()
    original = one_note()
    (synced / "notes.csv").write_bytes(original)
    (synced / "Vikora.ini").write_bytes(SETTINGS)
    # One link relative, one absolute: both are written through.
    os.symlink("../linked-synced/notes.csv", notes)
    os.symlink(synced / "Vikora.ini", ini)

    def links_stay() -> None:
        if os.readlink(notes) != "../linked-synced/notes.csv":
            raise Failure(f"Vikora.csv is no longer the link (is_symlink={notes.is_symlink()})")
        if os.readlink(ini) != str(synced / "Vikora.ini"):
            raise Failure(f"Vikora.ini is no longer the link (is_symlink={ini.is_symlink()})")
        for place in (folder, synced):
            if temp_files(place):
                raise Failure(f"temporary files stay in {place.name}: {temp_files(place)}")

    with x.step("a text save writes through the link; the backup is a real copy"):
        program, window = start_with_note(x, folder, "linked")
        want = FIRST_TEXT + " plusz"
        save_and_wait(x, window, " plusz", notes, want)
        links_stay()
        if note_text(synced / "notes.csv") != want:
            raise Failure("the file the link leads to does not hold the new text")
        backup = folder / "Vikora.csv.bak"
        if backup.is_symlink() or backup.read_bytes() != original:
            raise Failure("Vikora.csv.bak is not a copy of the previous content")
        if backup.stat().st_ino == (synced / "notes.csv").stat().st_ino:
            raise Failure("Vikora.csv.bak shares the linked file")
    with x.step("the exit writes both files through their links"):
        close_program(x, program)
        links_stay()
        if b"Color=" not in (synced / "Vikora.ini").read_bytes():
            raise Failure("the settings did not reach the linked settings file")
        if note_text(notes) != want:
            raise Failure("the exit lost the text")
    log("links kept after a text save and the exit; Vikora.csv.bak a real copy")


def untouched_characters_come_back(x: XSession, binary: Path) -> None:
    stored = "egy\u00a0kett\u0151%u2028;h\u00e1rom%u2029;n\u00e9gy"
    folder = x.portable_folder("characters", binary, ini=SETTINGS,
                               csv=one_note(stored))
    notes = folder / "Vikora.csv"
    with x.step("F2, a word added at the end, Ctrl+Enter: the rest comes back as it was"):
        program, window = start_with_note(x, folder, "characters")
        want = "egy\u00a0kett\u0151\u2028h\u00e1rom\u2029n\u00e9gy ot"
        save_and_wait(x, window, " ot", notes, want)
        raw = notes.read_bytes()
        if b"egy\xa0kett\xf5%u2028;h\xe1rom%u2029;n\xe9gy ot" not in raw:
            raise Failure("the file's bytes of the text changed")
        close_program(x, program)
    log("no-break space, U+2028 and U+2029 kept through the in-place editor")


SCENARIOS = (linked_notes_and_settings, untouched_characters_come_back)

if __name__ == "__main__":
    sys.exit(main(sys.argv, SCENARIOS, ("linked*", "characters*"), __doc__))
