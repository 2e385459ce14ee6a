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

import calendar
import datetime
import os
import shutil
import sys
import time

from e2e_support import (Failure, alive_check, program_env, program_windows, run_with_one_retry, screenshot,
                         start_checks, start_program, start_xvfb, stop_processes, wait_for, xdotool)

SCREEN = (1024, 768)
LAUNCHER_TITLE = "Start a New Design"
PAGE_SETUP_TITLE = "Page Setup"
# Windows that may come before the launcher on a first run; Return takes
# their default button.
DIALOGS_TO_ANSWER = ("Tip of the Day", "User Sign In", "Online Survey")
# The Calendar kind's place in the launcher's list.
CALENDAR_KIND = 3
# Pixels a line may lie off its computed place: the view rounds logical
# units to pixels once for the frame and once for each line.
TOLERANCE = 2


def is_dark(pixel):
    return sum(pixel) < 240


def is_white(pixel):
    return pixel[0] >= 250 and pixel[1] >= 250 and pixel[2] >= 250


class Shot:
    """A screenshot with the pixel tests the calendar check needs."""

    def __init__(self, shot):
        self.width, self.height, self.pixels = shot

    def at(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])

    def longest_run(self, fixed, start, end, horizontal):
        """The longest run of dark pixels along a row (or column)."""
        best = run = 0
        for n in range(start, end):
            pixel = self.at(n, fixed) if horizontal else self.at(fixed, n)
            run = run + 1 if is_dark(pixel) else 0
            best = max(best, run)
        return best

    def count(self, left, top, right, bottom, test):
        return sum(1 for y in range(top, bottom) for x in range(left, right) if test(self.at(x, y)))


def longest_stretch(values):
    """The first and last of the longest stretch of consecutive numbers."""
    best, start = None, None
    for n, value in enumerate(values):
        if n == 0 or value != values[n - 1] + 1:
            start = value
        if best is None or value - start > best[1] - best[0]:
            best = (start, value)
    return best


def page_box(shot, window):
    """The white page inside the design window: the longest stretch of rows
    that hold some white, and within it the longest stretch of columns that
    are white for a tenth of those rows or more (the calendar's lines cross
    the page, but its margins stay white)."""
    left, top = max(window.x, 0), max(window.y, 0)
    right, bottom = min(window.x + window.width, shot.width), min(window.y + window.height, shot.height)
    rows = longest_stretch([y for y in range(top, bottom)
                            if sum(1 for x in range(left, right, 2) if is_white(shot.at(x, y))) * 2 >= 40])
    if rows is None:
        return None
    columns = longest_stretch([x for x in range(left, right)
                               if sum(1 for y in range(rows[0], rows[1] + 1, 2) if is_white(shot.at(x, y))) * 2
                               >= (rows[1] - rows[0]) // 10])
    if columns is None:
        return None
    return columns[0], rows[0], columns[1] + 1, rows[1] + 1


def line_positions(shot, box, horizontal, share):
    """Rows (or columns) of the box crossed by a dark run of at least share
    of the box's extent, merged into one position per line."""
    left, top, right, bottom = box
    if horizontal:
        found = [y for y in range(top, bottom) if shot.longest_run(y, left, right, True) >= (right - left) * share]
    else:
        found = [x for x in range(left, right) if shot.longest_run(x, top, bottom, False) >= (bottom - top) * share]
    lines = []
    for n in found:
        if lines and n - lines[-1][-1] <= 1:
            lines[-1].append(n)
        else:
            lines.append([n])
    return [(group[0] + group[-1]) / 2 for group in lines]


def expected_lines(left, top, right, bottom):
    """Screen positions of the grid lines of the month layout (y down here;
    the layout's fractions are of the height from the top)."""
    height, width = bottom - top, right - left
    title_bottom = top + height * 15 / 100
    grid_top = title_bottom + height * 7 / 100
    rows = [grid_top + (bottom - grid_top) * r / 6 for r in range(1, 6)]
    columns = [left + width * c / 7 for c in range(1, 7)]
    return title_bottom, grid_top, rows, columns


def check_calendar(shot, window):
    """None when the window shows a month calendar laid out as computed,
    else what is wrong."""
    page = page_box(shot, window)
    if page is None:
        return "no white page in the design window"
    # The frame: the outermost long lines on the page.
    horizontal = line_positions(shot, page, True, 0.3)
    if len(horizontal) < 2:
        return "no calendar frame on the page (horizontal lines %r)" % horizontal
    top, bottom = int(horizontal[0]), int(horizontal[-1])
    vertical = line_positions(shot, (page[0], top, page[2], bottom + 1), False, 0.6)
    if len(vertical) < 2:
        return "no calendar frame on the page (vertical lines %r)" % vertical
    left, right = int(vertical[0]), int(vertical[-1])
    if right - left < 140 or bottom - top < 140:
        return "the calendar frame %r is too small" % ((left, top, right, bottom),)

    title_bottom, grid_top, rows, columns = expected_lines(left, top, right, bottom)
    frame = (left, top, right + 1, bottom + 1)
    found_rows = line_positions(shot, frame, True, 0.8)[1:-1]
    wanted_rows = [title_bottom, grid_top] + rows
    if len(found_rows) != len(wanted_rows) or any(abs(a - b) > TOLERANCE for a, b in zip(found_rows, wanted_rows)):
        return "horizontal grid lines at %r, computed %r" % (found_rows, [round(y, 1) for y in wanted_rows])
    # Inner columns run from the title band's edge to the bottom.
    found_columns = line_positions(shot, (left, int(title_bottom) + 1, right + 1, bottom), False, 0.8)[1:-1]
    if len(found_columns) != 6 or any(abs(a - b) > TOLERANCE for a, b in zip(found_columns, columns)):
        return "vertical grid lines at %r, computed %r" % (found_columns, [round(x, 1) for x in columns])
    # No column line crosses the title band, which holds the month's title.
    band = (left + 3, top + 3, right - 2, int(title_bottom) - 2)
    if line_positions(shot, band, False, 0.9):
        return "a vertical line crosses the title band"
    if shot.count(*band, is_dark) < 20:
        return "no title in the title band"
    # A weekday name above each of the seven columns.
    edges = [left] + [int(x) for x in columns] + [right]
    for c in range(7):
        if shot.count(edges[c] + 2, int(title_bottom) + 2, edges[c + 1] - 1, int(grid_top) - 1, is_dark) < 3:
            return "no weekday name above column %d" % c
    # This month's days: empty cells round them, numbers in the first and
    # the last day's cells.
    today = datetime.date.today()
    first_column = today.replace(day=1).isoweekday() % 7
    days = calendar.monthrange(today.year, today.month)[1]
    row_edges = [int(grid_top)] + [int(y) for y in rows] + [bottom]

    def ink(position):
        row, column = divmod(position, 7)
        return shot.count(edges[column] + 3, row_edges[row] + 3, edges[column + 1] - 2, row_edges[row + 1] - 2,
                          is_dark)
    for position in list(range(first_column)) + list(range(first_column + days, 42)):
        if ink(position):
            return "cell %d, outside %s, is not empty" % (position, today.strftime("%B %Y"))
    for day in (1, days):
        if ink(first_column + day - 1) < 3:
            return "the cell of %s %d shows no day" % (today.strftime("%B"), day)
    return None


def run(program, work, keep):
    xvfb, display = start_xvfb(*SCREEN)
    app = None
    try:
        env = program_env(display, work)
        app = start_program(program, env)
        alive = alive_check(app)

        def shot(stage):
            path = os.path.join(work, stage + ".ppm")
            result = screenshot(env, path)
            if keep:
                shutil.copy(path, os.path.join(keep, "calendar-" + stage + ".ppm"))
            return Shot(result)

        def key(wid, *keys):
            xdotool(env, "windowactivate", "--sync", wid)
            xdotool(env, "windowfocus", "--sync", wid)
            xdotool(env, "key", "--delay", "60", *keys, check=True)

        def main_window():
            return next((w for w in program_windows(env)
                         if w.width >= SCREEN[0] * 3 // 4 and w.height >= SCREEN[1] * 3 // 4), None)

        # The launcher, once the main window is up and the first-run dialogs
        # are answered.
        def launcher():
            alive()
            windows = program_windows(env)
            found = next((w for w in windows if w.name == LAUNCHER_TITLE), None)
            if found:
                return found
            for w in windows:
                if w.name in DIALOGS_TO_ANSWER:
                    key(w.wid, "Return")
                    break
            return None
        launch = wait_for("the launcher", launcher, 60, interval=0.2)
        # Keys sent the moment the launcher maps can arrive before it takes
        # the focus.
        time.sleep(1.0)

        # The Calendar kind from a blank page; Page Setup takes its default.
        # A mnemonic moves to the next control that has it after the focus:
        # from "blank page" Alt+W reaches "Design Wizard" first, then the kind
        # list, wherever the focus was at the start.
        key(launch.wid, "alt+b", "alt+w", "alt+w", "Home", *(["Down"] * CALENDAR_KIND), "alt+b", "Return")

        def design():
            alive()
            current = main_window()
            if current and "Calendar1" in current.name:
                return current
            for w in program_windows(env):
                if w.name in DIALOGS_TO_ANSWER + (PAGE_SETUP_TITLE,):
                    key(w.wid, "Return")
                    break
            return None
        try:
            main = wait_for("a calendar design window", design, 40, interval=0.3)
        except Failure:
            shot("no-design")
            raise Failure("no calendar design window; windows: %r" % program_windows(env))

        # The view paints once it is shown; the check is repeated until it
        # holds or the time is up, and the last fault is reported.
        fault = ["not checked"]

        def calendar_shown():
            alive()
            # The tip of the day comes up over a new design on a first run.
            for w in program_windows(env):
                if w.name in DIALOGS_TO_ANSWER:
                    key(w.wid, "Return")
                    fault[0] = "%r stayed open over the design" % w.name
                    return False
            fault[0] = check_calendar(shot("calendar"), main)
            return fault[0] is None
        try:
            wait_for("the calendar", calendar_shown, 20, interval=0.5)
        except Failure:
            raise Failure("the design window shows no month calendar: " + fault[0])
        if any(w.name == LAUNCHER_TITLE for w in program_windows(env)):
            raise Failure("the launcher is still open")
    finally:
        stop_processes(app, xvfb)


def main():
    code = start_checks(__doc__)
    if code is not None:
        return code
    return run_with_one_retry("calendar", run)


if __name__ == "__main__":
    sys.exit(main())
