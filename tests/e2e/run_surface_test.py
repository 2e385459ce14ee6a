#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb, makes a
new shirt design from a blank page and edits it with the mouse and the keys
as a user does, checking a screenshot of each step:

- Object > Draw > Rectangle and a drag on the page shows a rectangle there;
- a click on it and a drag of 100 pixels moves it; Ctrl+Z puts it back;
- Object > Draw > Ellipse and a drag shows an ellipse; a click on the
  rectangle and a Shift-click on the ellipse select both; Delete removes both;
- View > 75%, then View > Fit In Window twice: the page fits the window and
  the zoom list shows what it showed on a fitted page, then the page and the
  zoom list are as at 75 % again;
- a right click on the page opens a menu, Escape closes it;
- the design window's maximise box fills the main window's client area with
  it; restored, a double click on its caption maximises it again;
- a rectangle and an ellipse drawn again, saved through File > Save As, the
  program left and started again with the file on its command line: the
  page shows the same two shapes in the same places.

Usage: run_surface_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import is not installed. Every wait is bounded; Xvfb and the
program are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshots are kept there."""

import os
import sys

from e2e_support import (POLL, DesignRoad as Road, Failure, Session, changed_box, clear_dialogs, program_env, run_script,
                         start_xvfb, stop_processes, wait_for)

SCREEN = (1024, 768)
SHIRT_KIND = 0
DESIGN_NAME = "Shapes"
EXTENSION = ".shr"
# Pixels a shape's edge may lie off the place the mouse gave it.
TOLERANCE = 4
# A pixel counts as changed when a channel moved more than this.
CHANGE = 24


def changes(before, after, box):
    """The bounding box (left, top, right, bottom) of the pixels of box that
    differ between two shots, and their number; (None, 0) when none does."""
    return changed_box(before, after, box, CHANGE)


def near(found, wanted, tolerance=TOLERANCE):
    return found is not None and all(abs(a - b) <= tolerance for a, b in zip(found, wanted))


def shows_shape(found, shape):
    """Whether the changed pixels found cover the shape's box: a selected
    shape's handles reach a few pixels beyond it, and its rotation handle
    stands out to the right."""
    if found is None:
        return False
    return (abs(found[0] - shape[0]) <= 8 and abs(found[1] - shape[1]) <= 8 and abs(found[3] - shape[3] - 1) <= 8
            and shape[2] - 8 <= found[2] - 1 <= shape[2] + 40)


def caption_buttons(shot, top, left, right):
    """The design window's caption: the first row from top down, between
    left and right, that is mostly the active caption's dark blue; answers
    (row, [(x0, x1) of its boxes from the right: close, maximise, minimise]),
    or (None, []) when no caption is found."""
    def blue(pixel):
        return pixel[2] >= 96 and pixel[0] <= 64 and pixel[1] <= 64
    for y in range(top, min(top + 200, shot.height)):
        if sum(1 for x in range(left, right, 4) if blue(shot.at(x, y))) * 4 < (right - left) // 3:
            continue
        # The middle of the caption, a few rows further down, between its
        # first and last blue pixels.
        row = y + 8
        xs = [x for x in range(left, right) if blue(shot.at(x, row))]
        if not xs:
            return None, []
        start, end = xs[0], xs[-1]
        runs = []
        x = start
        while x <= end:
            if blue(shot.at(x, row)):
                x += 1
                continue
            first = x
            while x <= end and not blue(shot.at(x, row)):
                x += 1
            if x - first >= 8:
                runs.append((first, x))
        boxes = []
        for first, last in reversed(runs):
            # The minimise and maximise boxes touch: one run of two boxes.
            if last - first >= 24 and len(boxes) == 1:
                middle = (first + last) // 2
                boxes += [(middle, last), (first, middle)]
            else:
                boxes.append((first, last))
        return row, boxes
    return None, []


def run(program, work, keep):
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    path = os.path.join(folder, DESIGN_NAME + EXTENSION)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        session = Session(program, env, work, keep, "surface-1", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        road = Road(session, main)
        # The tip of the day may still come up over a new design.
        clear_dialogs(session)
        blank = road.settle("blank")
        page = road.page(blank)
        left, top, right, bottom = page
        width, height = right - left, bottom - top
        if width < 200 or height < 250:
            raise Failure("the page %r is too small to draw on" % (page,))

        # ---- Object > Draw > Rectangle, a drag.
        rect = (left + width // 5, top + height // 6, left + width // 2, top + height // 3)
        road.keys("alt+o", "d", "r")
        road.drag(rect[:2], rect[2:])
        drawn = road.settle("rectangle")
        found, _ = changes(blank, drawn, page)
        if not shows_shape(found, rect):
            raise Failure("the rectangle dragged over %r shows at %r" % (rect, found))

        # ---- A click selects it, a drag moves it by 100 pixels, Ctrl+Z.
        edge = (rect[0] + (rect[2] - rect[0]) // 3, rect[1])
        road.click(edge)
        selected = road.settle("selected")
        road.drag(edge, (edge[0] + 100, edge[1]))
        moved = road.settle("moved")
        found, _ = changes(blank, moved, page)
        if not shows_shape(found, (rect[0] + 100, rect[1], rect[2] + 100, rect[3])):
            raise Failure("the rectangle moved by 100 pixels shows at %r" % (found,))
        road.keys("ctrl+z")
        undone = road.settle("undone")
        found, count = changes(selected, undone, page)
        if count > 40:
            raise Failure("Ctrl+Z did not put the rectangle back: %d pixels differ over %r" % (count, found))

        # ---- Object > Draw > Ellipse, both selected, Delete.
        oval = (left + width // 5, top + height // 2, left + width // 2, top + 2 * height // 3)
        road.keys("alt+o", "d", "e")
        road.drag(oval[:2], oval[2:])
        road.settle("ellipse")
        road.click(edge)
        road.click((oval[0] + (oval[2] - oval[0]) // 2, oval[1]), modifier="shift")
        road.settle("both-selected")
        road.keys("Delete")
        cleared = road.settle("deleted")
        found, count = changes(blank, cleared, page)
        if count > 10:
            raise Failure("Delete left %d pixels over %r" % (count, found))

        # ---- View > 75%, then View > Fit In Window twice.
        combo = (main.x + 262, main.y + 40, main.x + 400, main.y + 58)
        road.keys("alt+v", "7")
        at75 = road.settle("zoom-75")
        page75 = road.page(at75)
        if (page75[2] - page75[0]) < width * 13 // 10:
            raise Failure("at 75 %% the page shows %r, hardly larger than fitted %r" % (page75, page))

        def fit_in_window(stage, expected, fault, reference, entry):
            """View > Fit In Window: the page where expected (else fault, given
            the page shown and expected) and the zoom list as on reference."""
            road.keys("alt+v", "f")
            shot = road.settle(stage)
            if not near(road.page(shot), expected, 3):
                raise Failure(fault % (road.page(shot), expected))
            _, count = changes(reference, shot, combo)
            if count > 10:
                raise Failure("the zoom list does not show %s (%d pixels differ)" % (entry, count))

        fit_in_window("fit", page, "Fit In Window shows the page at %r, not %r", blank, "the fitted page's entry")
        fit_in_window("fit-again", page75, "Fit In Window again shows the page at %r, not as at 75 %% %r", at75,
                      "75 % again")
        road.keys("alt+v", "f")
        road.settle("fit-last")

        # ---- A right click opens a menu; Escape closes it.
        before = len(session.windows())
        road.click((left + width // 2, top + height // 2), button="3")
        wait_for("the context menu", lambda: len(session.windows()) > before, 30, interval=POLL)
        road.settle("context-menu")
        road.keys("Escape")
        wait_for("the context menu to close", lambda: len(session.windows()) == before, 30, interval=POLL)

        # ---- The maximise box, then a double click on the caption.
        shot = road.settle("before-maximise")
        row, boxes = caption_buttons(shot, main.y + 60, main.x + 4, main.x + main.width - 4)
        if len(boxes) < 3:
            raise Failure("the design window's caption shows %d boxes, not close, maximise and minimise" %
                          len(boxes))
        maximise = ((boxes[1][0] + boxes[1][1]) // 2, row)
        road.click(maximise)
        maximised = road.settle("maximised")
        road.page(maximised)
        if caption_buttons(maximised, main.y + 60, main.x + 4, main.x + main.width - 4)[0] is not None:
            raise Failure("the maximised design window still shows its own caption")
        # Restored through its system menu (Alt+minus, Restore).
        road.keys("alt+minus", "r")
        restored = road.settle("restored")
        row, boxes = caption_buttons(restored, main.y + 60, main.x + 4, main.x + main.width - 4)
        if row is None:
            raise Failure("the restored design window shows no caption")
        road.click((main.x + 60, row), repeat=2)
        again = road.settle("caption-double-click")
        if caption_buttons(again, main.y + 60, main.x + 4, main.x + main.width - 4)[0] is not None:
            raise Failure("a double click on the caption did not maximise the design window")

        # ---- Two shapes, saved, the program started again with the file (in
        # a window of the size a design opens in).
        road.keys("alt+minus", "r")
        blank2 = road.settle("blank-maximised")
        page = road.page(blank2)
        left, top, right, bottom = page
        width, height = right - left, bottom - top
        rect = (left + width // 5, top + height // 6, left + width // 2, top + height // 3)
        oval = (left + width // 2, top + height // 2, left + 4 * width // 5, top + 3 * height // 4)
        road.keys("alt+o", "d", "r")
        road.drag(rect[:2], rect[2:])
        road.keys("alt+o", "d", "e")
        road.drag(oval[:2], oval[2:])
        # Nothing selected, so that the handles do not count.
        road.keys("Escape")
        road.click((left + 5 * width // 6, top + height // 8))
        saved_shot = road.settle("shapes")
        saved_found, saved_count = changes(blank2, saved_shot, page)
        if saved_found is None:
            raise Failure("the two shapes do not show")
        session.save_as(main, os.path.join(folder, DESIGN_NAME))
        main = session.wait_design(DESIGN_NAME, "design window titled with the saved name", seconds=60)
        if not os.path.isfile(path):
            raise Failure("no file %s after the save; the folder holds %r" % (path, os.listdir(folder)))
        session.quit(answer_save=None)

        session = Session(program, env, work, keep, "surface-2", SCREEN, args=[path])
        main = session.wait_design(DESIGN_NAME, "design window of the saved file", seconds=90)
        road = Road(session, main)
        clear_dialogs(session)
        reopened = road.settle("reopened")
        page2 = road.page(reopened)
        if not near(page2, page, 2):
            raise Failure("the reopened design shows its page at %r, not %r" % (page2, page))
        found, count = changes(blank2, reopened, page)
        if not near(found, saved_found, 2) or abs(count - saved_count) > saved_count // 20:
            raise Failure("the reopened design shows %d changed pixels over %r, not %d over %r" %
                          (count, found, saved_count, saved_found))
        session.quit(answer_save=None)
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "surface", run)


if __name__ == "__main__":
    sys.exit(main())
