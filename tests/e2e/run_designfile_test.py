#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb, makes a
new calendar design through the launcher (the Calendar kind from a blank
page, Page Setup confirmed) and saves it through File > Save As with a name
typed into the dialog. The program is left through File > Exit, which must
not ask about saving, and started again with the saved file on its command
line: the design window shows the same calendar, every grid line where it
was before the save and this month's days in their cells. The design is
then closed and opened again through File > Open, closed once more and
opened through the File menu's first recent file, each time showing the same
calendar; opening it leaves the file's bytes as they were.

The file on disk is read by an independent reader (python3-olefile): a
compound file whose root has the calendar designs' class ID and holds the
streams "Contents", "Doc Quick Info", "Surface Preview" and the summary
information.

Usage: run_designfile_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool, ImageMagick's
import or python3-olefile is not installed. Every wait is bounded; Xvfb and
the program are always stopped. With THREADWICK_E2E_SHOTS set to a folder,
the screenshots are kept there."""

import os
import sys

from e2e_support import (LAUNCHER_TITLE, POLL, Failure, Session, program_env, run_with_one_retry, start_checks,
                         start_xvfb, stop_processes, wait_for, write_preferences)

try:
    import olefile
except ImportError:
    olefile = None

SCREEN = (1024, 768)
OPEN_TITLE = "Open"
# Typed without an extension: the dialog adds the calendar designs' own.
DESIGN_NAME = "Month Plan"
EXTENSION = ".clr"
CALENDAR_CLASS_ID = "707429A4-27C4-11D2-9699-00A0C9053434"
STREAMS = ("Contents", "Doc Quick Info", "Surface Preview", "\x05SummaryInformation")


def check_same_calendar(session, main, first, stage):
    """The design window shows this month's calendar with every line where
    the first run drew it."""
    grid = session.wait_calendar(main, stage)
    moved = first.differs_from(grid)
    if moved:
        raise Failure("after %s the calendar is not the one saved: %s" % (stage, moved))


def open_from_dialog(session, main, path):
    """File > Open, the file's path typed into the name field, Return."""
    session.path_through_file_dialog(main, "o", OPEN_TITLE, "open", path)


def close_design(session, main):
    """File > Close; the main window without a design (the launcher that
    may come up over it is cancelled)."""
    session.key(main.wid, "alt+f", "c")

    def closed():
        session.alive()
        launcher = session.window_named(LAUNCHER_TITLE)
        if launcher:
            session.answer(launcher, "Escape")
            return False
        current = session.main_window()
        return current if current and DESIGN_NAME not in current.name else None
    for _ in range(5):
        empty = wait_for("the design to close", closed, 60, interval=POLL)
        # The launcher comes once the design has gone, when it comes: the
        # screen keeping still tells that nothing more is on its way.
        session.settle("closed")
        if not session.window_named(LAUNCHER_TITLE):
            return empty
    raise Failure("the launcher keeps coming back after File > Close")


def check_file(path):
    """The saved design as an independent reader of compound files sees it."""
    if not olefile.isOleFile(path):
        raise Failure("%s is not a compound file" % path)
    ole = olefile.OleFileIO(path)
    try:
        streams = ["/".join(entry) for entry in ole.listdir(streams=True, storages=False)]
        missing = [name for name in STREAMS if name not in streams]
        if missing:
            raise Failure("the saved design lacks the streams %r (it has %r)" % (missing, streams))
        class_id = ole.root.clsid.upper()
        if class_id != CALENDAR_CLASS_ID:
            raise Failure("the saved design's root has the class ID %s, not a calendar's" % class_id)
        for name in STREAMS:
            if ole.get_size(name) == 0:
                raise Failure("the stream %r is empty" % name)
        # The reader parses the summary information it found.
        ole.get_metadata()
    finally:
        ole.close()


def run(program, work, keep):
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    path = os.path.join(folder, DESIGN_NAME + EXTENSION)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        # File > Open offers the standard file dialog before the design
        # browser (the preferences' "standard dialog first"): this road is
        # about the file, typed by its path.
        write_preferences(env, {"Flags": 0x7381 | 0x8000})

        # ---- A new calendar, saved under a typed name.
        session = Session(program, env, work, keep, "designfile-1", SCREEN)
        main = session.new_calendar_design(session.wait_launcher())
        first = session.wait_calendar(main, "new")
        session.save_as(main, os.path.join(folder, DESIGN_NAME))
        main = session.wait_design(DESIGN_NAME, "design window titled with the saved name", seconds=60)
        if not os.path.isfile(path):
            raise Failure("no file %s after the save; the folder holds %r" % (path, os.listdir(folder)))
        check_file(path)
        with open(path, "rb") as f:
            saved = f.read()
        session.quit(answer_save=None)

        # ---- Started again with the file on the command line.
        session = Session(program, env, work, keep, "designfile-2", SCREEN, args=[path])
        main = session.wait_design(DESIGN_NAME, "design window of the file on the command line", seconds=90)
        check_same_calendar(session, main, first, "command-line")

        # ---- File > Open.
        empty = close_design(session, main)
        open_from_dialog(session, empty, path)
        main = session.wait_design(DESIGN_NAME, "design window of the file opened from File > Open")
        check_same_calendar(session, main, first, "file-open")

        # ---- The first recent file.
        empty = close_design(session, main)
        session.key(empty.wid, "alt+f", "1")
        main = session.wait_design(DESIGN_NAME, "design window of the recent file")
        check_same_calendar(session, main, first, "recent-file")
        session.quit(answer_save=None)

        # Opening a design leaves its file as it was.
        with open(path, "rb") as f:
            if f.read() != saved:
                raise Failure("opening the design changed its file")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    code = start_checks(__doc__)
    if code is not None:
        return code
    if olefile is None:
        print("e2e: skipped, not installed: python3-olefile")
        return 77
    return run_with_one_retry("designfile", run)


if __name__ == "__main__":
    sys.exit(main())
