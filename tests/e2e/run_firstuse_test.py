#!/usr/bin/python3
"""A new user's first steps on a real display: the whole program on the SDL
back end under a private Xvfb, with a home folder of its own and no profile.

- Tools > Preferences over a first shirt design, Inches on the Defaults
  page, OK; then Ctrl+N and a second blank shirt: its top ruler counts
  inches (choosing Inches in Ruler Setup leaves the ticks where they are,
  Centimeters moves them closer);
- File > Print Preview and the preview's Close: the tool pad shows again,
  as it did before the preview;
- File > Save As with a bare name and Return: the design is written into
  the home folder, where the dialog started;
- File > Exit ends the program with 0.

Usage: run_firstuse_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import is not installed. Every wait is bounded; Xvfb and the
program are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshots are kept there."""

import os
import sys

from e2e_support import (POLL, DesignRoad as Road, Failure, SAVE_AS_TITLE, Session, clear_dialogs, program_env,
                         run_script, start_xvfb, stop_processes, wait_for, written_file)
from run_rulers_test import find_ruler

SCREEN = (1024, 768)
SHIRT_KIND = 0
SHEET_TITLE = "Program Configuration"
TOOL_PAD_TITLE = "Tool Pad"
DESIGN_NAME = "Homely"
# Places in the Preferences sheet, from its top-left corner (its layout
# comes from its dialog units and the program's own fonts).
DEFAULTS_TAB = (113, 45)
UNITS_INCHES = (228, 174)
OK_BUTTON = (118, 379)


def click(session, window, place, stage):
    x, y = window.x + place[0], window.y + place[1]
    session.pointer(["mousemove", "--sync", str(x), str(y), "sleep", "0.1", "click", "1"])
    return session.settle(stage)


def ruler_of(road, stage, needed=True):
    """The top ruler's major ticks once the view has painted, the pointer
    away from the rulers; None when there are none and none are needed."""
    road.move(SCREEN[0] - 5, SCREEN[1] - 5)
    shot = road.settle(stage)
    ruler = find_ruler(shot, road.page(shot))
    if ruler is None and needed:
        raise Failure("%s: no ticks above the page" % stage)
    return ruler


def run(program, work, keep):
    home = os.path.join(work, "userhome")
    os.makedirs(home)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        env["HOME"] = home
        session = Session(program, env, work, keep, "firstuse", SCREEN)
        first = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        clear_dialogs(session)

        # ---- Preferences: Inches.
        session.key(first.wid, "alt+t", "p")
        sheet = session.wait_window(SHEET_TITLE)
        session.wait_ready(sheet, "sheet")
        click(session, sheet, DEFAULTS_TAB, "defaults")
        click(session, sheet, UNITS_INCHES, "inches")
        click(session, sheet, OK_BUTTON, "preferences-ok")
        session.wait_gone(sheet.wid, "the Preferences sheet to close")

        # ---- A new design counts in inches.
        session.key(first.wid, "ctrl+n")
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt2")
        clear_dialogs(session)
        if not session.window_named(TOOL_PAD_TITLE):
            raise Failure("no tool pad over the new design; windows: %r" % session.windows())
        road = Road(session, main)
        # The tool pad floats over the design: the rulers' ticks under it
        # would not be seen, so it goes while they are read.
        road.keys("alt+v", "o")
        wait_for("the tool pad to go", lambda: not session.window_named(TOOL_PAD_TITLE), 30, interval=POLL)
        # The rulers show as the preferences say: on, if they are not.
        shown = ruler_of(road, "new-design", needed=False)
        if shown is None:
            road.keys("alt+v", "r")
            shown = ruler_of(road, "rulers-on")

        def set_units(key, stage):
            left, top, right, _ = road.page(road.settle(stage + "-before"))
            before = len(session.windows())
            road.click((left + (right - left) * 3 // 4, shown.row - 4), button="3")
            wait_for("the ruler's menu", lambda: len(session.windows()) > before, 30, interval=POLL)
            road.settle(stage + "-menu")
            road.keys("o")
            setup = session.wait_window("Ruler Setup")
            session.key(setup.wid, key, "Return")
            session.wait_gone(setup.wid, "Ruler Setup to close")
            return ruler_of(road, stage)

        inches = set_units("alt+i", "units-inches")
        if abs(inches.step() - shown.step()) > 1.5:
            raise Failure("the new design's ticks step %.1f pixels; in inches they step %.1f" %
                          (shown.step(), inches.step()))
        cm = set_units("alt+c", "units-centimetres")
        if cm.step() > inches.step() - 3:
            raise Failure("centimetres step %.1f pixels, inches %.1f: the design did not count inches" %
                          (cm.step(), inches.step()))

        # ---- Print Preview, opened and closed: the tool pad is back.
        road.keys("alt+v", "o")
        wait_for("the tool pad", lambda: session.window_named(TOOL_PAD_TITLE), 30, interval=POLL)
        road.settle("tool-pad-on")
        road.keys("alt+f", "v")
        wait_for("the preview to hide the tool pad", lambda: not session.window_named(TOOL_PAD_TITLE), 30,
                 interval=POLL)
        road.settle("preview")
        road.keys("Escape")
        try:
            wait_for("the tool pad after the preview", lambda: session.window_named(TOOL_PAD_TITLE), 30,
                     interval=POLL)
        except Failure:
            session.shot("no-tool-pad")
            raise Failure("the tool pad did not come back after Print Preview; windows: %r" % session.windows())
        road.settle("after-preview")

        # ---- Save As from a fresh home: a bare name lands in the home.
        session.key(main.wid, "alt+f", "a")
        dialog = session.wait_window(SAVE_AS_TITLE)
        session.shot("save-as")
        session.key(dialog.wid, "End", "shift+Home")
        session.type_text(DESIGN_NAME)
        session.key(dialog.wid, "Return")
        session.wait_gone(dialog.wid, "the Save As dialog to close")
        written_file(os.path.join(home, DESIGN_NAME + ".shr"), "the design saved into the home folder")
        session.wait_design(DESIGN_NAME, "design window titled with the saved name")
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "firstuse", run)


if __name__ == "__main__":
    sys.exit(main())
