#!/usr/bin/python3
"""The design window's rulers on a real display: the whole program on the
SDL back end under a private Xvfb, a new shirt design from a blank page,
then as a user does:

- View > Rulers (off first when the preferences start them on, then on): a
  ruler along the top of the view shows tick marks at even steps, one of
  them at the page's left edge;
- a drag from the top ruler into the page leaves a guideline, a dashed
  line down the page at the drop point;
- a right click on the ruler, Properties, the unit the design does not
  show, OK: the ticks step differently (a centimetre is not an inch); then
  the same with Centimeters: the centimetre steps;
- Ctrl+S saves the design under a typed name; the program left and started
  again with the file: the rulers are on (the choice was kept) and the
  guideline is still where it was dropped.

Usage: run_rulers_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import is not installed. Every wait is bounded; Xvfb and the
program are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshots are kept there."""

import os
import sys

from e2e_support import (POLL, DesignRoad as Road, Failure, SAVE_AS_TITLE, Session, clear_dialogs, is_white,
                         program_env, run_script, start_xvfb, stop_processes, wait_for, windows_path)

SCREEN = (1024, 768)
SHIRT_KIND = 0
DESIGN_NAME = "Ruled"
EXTENSION = ".shr"
# A pixel counts as changed when a channel moved more than this.
CHANGE = 24
# How far above the page the top ruler may lie.
RULER_SEARCH = 40
# Ticks are thin; wider dark runs are frames and text.
TICK_WIDTH = 3


def dark(pixel):
    return max(pixel) < 80


def changed(a, b):
    return any(abs(x - y) > CHANGE for x, y in zip(a, b))


def dark_runs(shot, y, left, right):
    """The middles of the thin runs of dark pixels along row y between left
    and right."""
    runs, start = [], None
    for x in range(left, right + 1):
        if x < right and dark(shot.at(x, y)):
            if start is None:
                start = x
        elif start is not None:
            if x - start <= TICK_WIDTH:
                runs.append((start + x - 1) / 2.0)
            start = None
    return runs


def median(values):
    ordered = sorted(values)
    return ordered[len(ordered) // 2] if ordered else 0


class Ruler:
    """A row of the top ruler that only its major ticks reach (near its
    inner edge: the labels sit at the outer one, the shorter ticks end
    higher) and the places of those ticks along it."""

    def __init__(self, row, ticks):
        self.row, self.ticks = row, ticks

    def step(self):
        """The usual distance between neighbouring major ticks."""
        return median([b - a for a, b in zip(self.ticks, self.ticks[1:])])

    def __repr__(self):
        return "Ruler(row %d, %d ticks, step %.1f)" % (self.row, len(self.ticks), self.step())


def find_ruler(shot, page):
    """The lowest row above the page, across the page's width, that crosses
    five thin dark runs or more: the major ticks of the top ruler. None when
    there is no such row."""
    left, top, right, _ = page
    for y in range(top - 1, max(top - RULER_SEARCH, 0), -1):
        runs = dark_runs(shot, y, left - 40, right)
        if len(runs) >= 5:
            return Ruler(y, runs)
    return None


def page_left(shot, page):
    """The page's own left edge: the white box found may be the part inside
    the printer margin's line."""
    left, top, _, bottom = page
    y = (top + bottom) // 2
    x = left - 1
    while x > left - 4 and not is_white(shot.at(x, y)):
        x -= 1
    if not is_white(shot.at(x, y)):
        return left
    while x > left - 40 and is_white(shot.at(x - 1, y)):
        x -= 1
    return x


def check_even(ruler, page, what, edge):
    """The ticks fall at even steps, one at the page's left edge."""
    step = ruler.step()
    if step < 3:
        raise Failure("%s: the ticks lie %.1f pixels apart" % (what, step))
    uneven = [b - a for a, b in zip(ruler.ticks, ruler.ticks[1:]) if abs((b - a) - step) > 2]
    # The mouse mark, an inverted line across the ruler where the pointer
    # last crossed it, splits one step in two.
    if len(uneven) > max(2, len(ruler.ticks) // 5):
        raise Failure("%s: uneven ticks %r (step %.1f)" % (what, uneven, step))
    if not any(abs(t - edge) <= 2 for t in ruler.ticks):
        raise Failure("%s: no tick at the page's left edge %d: %r" % (what, edge, ruler.ticks[:6]))


def column_line(before, after, x, top, bottom):
    """The column near x (within 2 pixels) that changed along the whole
    height from top to bottom (a guideline is dashed: a third of the rows
    will do, from the top quarter to the bottom one); None when none did."""
    height = bottom - top
    for dx in (0, -1, 1, -2, 2):
        rows = [y for y in range(top, bottom) if changed(before.at(x + dx, y), after.at(x + dx, y))]
        if len(rows) >= height // 3 and rows[0] < top + height // 4 and rows[-1] > bottom - height // 4:
            return x + dx
    return None


def run(program, work, keep):
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    path = os.path.join(folder, DESIGN_NAME + EXTENSION)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        session = Session(program, env, work, keep, "rulers-1", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        road = Road(session, main)
        clear_dialogs(session)
        # The tool pad floats over the rulers' left part: out of the way.
        road.hide_tool_pad()
        first = road.settle("first")
        # The rulers start as the preferences say; View > Rulers turns them
        # off first when they are on.
        if find_ruler(first, road.page(first)) is not None:
            road.keys("alt+v", "r")
            plain = road.settle("rulers-off")
            if find_ruler(plain, road.page(plain)) is not None:
                raise Failure("View > Rulers left the ticks above the page")

        # ---- View > Rulers.
        road.keys("alt+v", "r")
        ruled = road.settle("rulers")
        page = road.page(ruled)
        left, top, right, bottom = page
        inches = find_ruler(ruled, page)
        if inches is None:
            raise Failure("View > Rulers shows no ticks above the page %r" % (page,))
        check_even(inches, page, "inches", page_left(ruled, page))

        # ---- A drag from the top ruler into the page.
        drop_x = left + (right - left) * 2 // 5
        road.drag((drop_x, inches.row - 4), (drop_x, top + (bottom - top) // 2))
        # The pointer away, so that neither ruler shows its mark.
        road.move(SCREEN[0] - 5, SCREEN[1] - 5)
        guided = road.settle("guideline")
        line = column_line(ruled, guided, drop_x, top + 2, bottom - 2)
        if line is None:
            raise Failure("no guideline down the page at x %d after the drag" % drop_x)

        # ---- The ruler's context menu: Properties, a unit, OK; first the
        # unit the design does not show, then the other.
        def set_units(key, stage):
            before = len(session.windows())
            road.click((left + (right - left) * 3 // 4, inches.row - 4), button="3")
            wait_for("the ruler's menu", lambda: len(session.windows()) > before, 30, interval=POLL)
            road.settle(stage + "-menu")
            road.keys("o")
            sheet = session.wait_window("Ruler Setup")
            session.shot(stage + "-sheet")
            session.key(sheet.wid, key, "Return")
            session.wait_gone(sheet.wid, "Ruler Setup to close")
            road.move(SCREEN[0] - 5, SCREEN[1] - 5)
            shot = road.settle(stage)
            found = find_ruler(shot, road.page(shot))
            if found is None:
                raise Failure("%s: no ticks above the page" % stage)
            check_even(found, road.page(shot), stage, page_left(shot, road.page(shot)))
            return found

        # An inch is about two and a half centimetres: the steps of the
        # major ticks differ clearly.
        other = set_units("alt+i", "units-inches")
        started_metric = abs(other.step() - inches.step()) >= 3
        if not started_metric:
            other = set_units("alt+c", "units-other")
        if abs(other.step() - inches.step()) < 3:
            raise Failure("the ticks step as before in the other unit: %r against %r" % (other, inches))
        cm = set_units("alt+c", "centimetres")
        if abs(cm.step() - min(inches.step(), other.step())) > 1.5:
            raise Failure("Centimeters shows ticks %r, not the centimetre steps of %r or %r" % (cm, inches, other))

        # ---- Ctrl+S under a typed name, the program left and started again.
        road.keys("ctrl+s")
        dialog = session.wait_window(SAVE_AS_TITLE)
        session.key(dialog.wid, "End", "shift+Home")
        session.type_text(windows_path(os.path.join(folder, DESIGN_NAME)))
        session.key(dialog.wid, "Return")
        session.wait_gone(dialog.wid, "the Save As dialog to close")
        main = session.wait_design(DESIGN_NAME, "design window titled with the saved name", seconds=60)
        if not os.path.isfile(path):
            raise Failure("no file %s after Ctrl+S; the folder holds %r" % (path, os.listdir(folder)))
        session.quit(answer_save=None)

        session = Session(program, env, work, keep, "rulers-2", SCREEN, args=[path])
        main = session.wait_design(DESIGN_NAME, "design window of the saved file", seconds=90)
        road = Road(session, main)
        clear_dialogs(session)
        road.move(SCREEN[0] - 5, SCREEN[1] - 5)
        reopened = road.settle("reopened")
        page2 = road.page(reopened)
        if find_ruler(reopened, page2) is None:
            raise Failure("the rulers are off after a new start")
        if page2 != page:
            raise Failure("the reopened design shows its page at %r, not %r" % (page2, page))
        if column_line(ruled, reopened, line, top + 2, bottom - 2) is None:
            raise Failure("the reopened design shows no guideline at x %d" % line)
        session.quit(answer_save=None)
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "rulers", run)


if __name__ == "__main__":
    sys.exit(main())
