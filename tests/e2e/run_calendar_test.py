#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb, makes a
new calendar design through the launcher (the Calendar kind from a blank
page, Page Setup confirmed) and checks that the design window shows this
month's calendar.

The check works on a screenshot: the calendar's frame is found on the white
page as the outermost long dark lines; inside it the horizontal grid lines
must lie where the month layout puts them (the title band's lower edge at
15 % of the height, the weekday row's at a further 7 %, then six equal
rows) and the vertical lines at the six inner boundaries of seven equal
columns, with the month's title in the band and a weekday name above each
column. The month is this month: the cells before its 1st (weeks start on
Sunday) and after its last day are empty, those two days' cells are not.

Usage: run_calendar_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick's
import is not installed. Every wait is bounded; Xvfb and the program are
always stopped. With THREADWICK_E2E_SHOTS set to a folder, the screenshots
are kept there."""

import sys

from e2e_support import LAUNCHER_TITLE, Failure, Session, program_env, run_script, start_xvfb, stop_processes

SCREEN = (1024, 768)


def run(program, work, keep):
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        session = Session(program, env, work, keep, "calendar", SCREEN)
        main = session.new_calendar_design(session.wait_launcher())
        # The view paints once it is shown; the check is repeated until it
        # holds or the time is up, and the last fault is reported.
        session.wait_calendar(main, "calendar")
        if session.window_named(LAUNCHER_TITLE):
            raise Failure("the launcher is still open")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "calendar", run)


if __name__ == "__main__":
    sys.exit(main())
