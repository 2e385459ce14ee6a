#!/usr/bin/python3
"""Block text on a real display: the whole program on the SDL back end
under a private Xvfb.

- The helper makes a general design of four block texts (one fitted to its
  frame, one of three justified columns, one turned by 30 degrees and one
  bent into warp shape 8) and saves it through the program's own save; the
  program opens it from its command line; the helper then opens the same
  file headless and draws its page at the size the screen shows it: the
  ink on the screen lies where the headless drawing puts it.
- A new general design from a blank page: the Edit Text button of the
  formatting toolbar and a band dragged on the page place "New text block."
  as block text with typing begun; Ctrl+End, Backspace six times, "Sale",
  Ctrl+Alt+T, Enter, "-50%" and Escape are typed; File > Save As through
  its dialog; the program left and started again with the file: the block
  shows on the page, and the file holds one block reading "New text Sale"
  with the trade mark sign, and "-50%" on a second line.

Usage: run_blocktext_test.py <path of threadwick> <path of e2e_blocktext_draw>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import is not installed. Every wait is bounded; Xvfb and the
program are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshots are kept there."""

import os
import subprocess
import sys

from e2e_support import (bounds, clear_dialogs, DesignRoad as Road, Failure, ink, ink_in, near_share, paper_pixel,
                         program_env, read_ppm, run_script, Session, start_xvfb, stop_processes)

SCREEN = (1024, 768)
GENERAL_KIND = 5
EXTENSION = ".gnl"
BLOCKS_NAME = "Blocks"
TYPED_NAME = "Sale"
# The formatting toolbar's Edit Text button on a first start (small
# buttons, the bar docked under the standard bar of the maximised window).
EDIT_TEXT_BUTTON = (32, 82)
TYPED = "New text Sale\x99\n-50%"
# Pixels the screen's ink may lie off the headless drawing's: the screen and
# the helper lay the page out each on its own, and rounding differs.
TOLERANCE = 5
# The share of either drawing's ink that must lie within a pixel of the
# other's.
OVERLAP = 0.6


def paper(shot, inner):
    """The page's own edges (left, top, right, bottom exclusive) from the
    white box page_box found inside it, which may stop at the margin line or
    at the dotted lines between the printer's tiles: outwards from near its
    corner while the pixels are paper, over lines of at most two pixels."""
    left, top, right, bottom = inner

    def reach(x, y, dx, dy):
        while 0 < x < shot.width - 3 and 0 < y < shot.height - 3:
            if paper_pixel(shot.at(x + dx, y + dy)):
                x, y = x + dx, y + dy
            elif paper_pixel(shot.at(x + 3 * dx, y + 3 * dy)) and paper_pixel(shot.at(x + 4 * dx, y + 4 * dy)):
                x, y = x + 3 * dx, y + 3 * dy
            else:
                break
        return x, y

    x0 = reach(left + 3, top + 3, -1, 0)[0]
    x1 = reach(left + 3, top + 3, 1, 0)[0]
    y0 = reach(left + 3, top + 3, 0, -1)[1]
    y1 = reach(left + 3, top + 3, 0, 1)[1]
    return x0, y0, x1 + 1, y1 + 1


def read_objects(path):
    """The helper's text.txt: a list of (angle, columns, alignment, shape,
    fitted, text)."""
    with open(path) as f:
        lines = f.read().split("\n")
    objects = []
    for n in range(len(lines) - 1):
        if lines[n].startswith("object "):
            values = [int(v) for v in lines[n].split()[1:]]
            text = "".join(chr(int(c)) for c in lines[n + 1].split())
            objects.append(tuple(values) + (text,))
    return objects


def helper_draw(helper, design, size, out, keep):
    """The saved design drawn headless at the page's size on the screen."""
    os.makedirs(out)
    drawn = subprocess.run([helper, "--gtest_filter=*DrawsTheSavedDesign*"], timeout=120, capture_output=True,
                           text=True, env=dict(os.environ, THREADWICK_BLOCKTEXT_ROAD_FILE=design,
                                               THREADWICK_BLOCKTEXT_ROAD_SIZE="%d %d" % size,
                                               THREADWICK_BLOCKTEXT_ROAD_OUT=out))
    if drawn.returncode != 0 or not os.path.isfile(os.path.join(out, "page.ppm")):
        raise Failure("the helper could not draw the saved design: %s" % drawn.stdout[-2000:])
    if keep:
        subprocess.run(["cp", os.path.join(out, "page.ppm"), os.path.join(keep, os.path.basename(out) + ".ppm")])
    return read_ppm(os.path.join(out, "page.ppm")), read_objects(os.path.join(out, "text.txt"))


def reopen(program, env, work, keep, prefix, path, title):
    """The program started with the design on its command line: the page's
    box on the screen and its screenshot, the program left again."""
    session = Session(program, env, work, keep, prefix, SCREEN, args=[path])
    try:
        main = session.wait_design(title, "design window of %s" % title, seconds=90)
        road = Road(session, main)
        clear_dialogs(session)
        road.move(SCREEN[0] - 5, SCREEN[1] - 5)
        shot = road.settle("reopened")
        page = paper(shot, road.page(shot))
        session.quit(answer_save=None)
        return shot, page
    finally:
        stop_processes(session.app)


def compare(shot, page, headless, what):
    """The ink on the screen's page against the headless drawing's."""
    screen_ink = ink_in(shot, page)
    drawn_ink = ink_in(headless, (0, 0, headless.width, headless.height))
    on_screen, in_drawing = bounds(screen_ink), bounds(drawn_ink)
    if on_screen is None or in_drawing is None:
        raise Failure("%s: ink on the screen over %r, in the headless drawing over %r" % (what, on_screen, in_drawing))
    if any(abs(a - b) > TOLERANCE for a, b in zip(on_screen, in_drawing)):
        raise Failure("%s: the screen shows ink over %r of the page, the headless drawing over %r" %
                      (what, on_screen, in_drawing))
    shared = min(near_share(screen_ink, drawn_ink), near_share(drawn_ink, screen_ink))
    if shared < OVERLAP:
        raise Failure("%s: only %.0f%% of the ink agrees between the screen and the headless drawing" %
                      (what, shared * 100))
    return on_screen, shared


def blocks_road(program, helper, work, keep, display):
    """The design of four blocks, made by the helper, opened by the program."""
    folder = os.path.join(work, "blocks")
    os.makedirs(folder)
    path = os.path.join(folder, BLOCKS_NAME + EXTENSION)
    made = subprocess.run([helper, "--gtest_filter=*MakesTheDesignOfFourBlocks*"], timeout=120, capture_output=True,
                          text=True, env=dict(os.environ, THREADWICK_BLOCKTEXT_ROAD_MAKE=path))
    if made.returncode != 0 or not os.path.isfile(path):
        raise Failure("the helper could not make the design of four blocks: %s" % made.stdout[-2000:])
    env = program_env(display, os.path.join(work, "blocks-home"))
    shot, page = reopen(program, env, work, keep, "blocks", path, BLOCKS_NAME)
    headless, objects = helper_draw(helper, path, (page[2] - page[0], page[3] - page[1]),
                                    os.path.join(work, "blocks-headless"), keep)
    kinds = sorted((o[0], o[1], o[2], o[3], o[4]) for o in objects)
    wanted = sorted([(0, 1, 0, 0, 1), (0, 3, 3, 0, 0), (30, 1, 0, 0, 0), (0, 1, 0, 8, 1)])
    if kinds != wanted:
        raise Failure("the saved blocks read back as %r, not %r" % (kinds, wanted))
    on_screen, shared = compare(shot, page, headless, "the four blocks")
    print("e2e: four blocks over %r of the page on the screen; %.0f%% of their ink agrees with the headless "
          "drawing" % (on_screen, shared * 100))


def typing_road(program, helper, work, keep, display):
    """A block placed with the Edit Text tool, typed into, saved and read
    back."""
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    path = os.path.join(folder, TYPED_NAME + EXTENSION)
    env = program_env(display, os.path.join(work, "typing-home"))
    session = Session(program, env, work, keep, "typing", SCREEN)
    try:
        main = session.new_blank_design(session.wait_launcher(), GENERAL_KIND, "General1")
        road = Road(session, main)
        clear_dialogs(session)
        blank = road.settle("blank")
        left, top, right, bottom = paper(blank, road.page(blank))
        width, height = right - left, bottom - top
        if width < 200 or height < 250:
            raise Failure("the page %r is too small to draw on" % ((left, top, right, bottom),))

        # The first click on the bar may only bring the main window forward:
        # the button is pressed until it shows pressed (its face changes).
        button = (EDIT_TEXT_BUTTON[0] - 8, EDIT_TEXT_BUTTON[1] - 8, EDIT_TEXT_BUTTON[0] + 8, EDIT_TEXT_BUTTON[1] + 8)
        before = [blank.at(x, y) for y in range(button[1], button[3]) for x in range(button[0], button[2])]
        for attempt in range(3):
            road.click(EDIT_TEXT_BUTTON)
            road.move(EDIT_TEXT_BUTTON[0] + 200, EDIT_TEXT_BUTTON[1] + 300)
            chosen = road.settle("edit-text-tool-%d" % attempt)
            if [chosen.at(x, y) for y in range(button[1], button[3]) for x in range(button[0], button[2])] != before:
                break
        else:
            raise Failure("the Edit Text button at %r never showed pressed" % (EDIT_TEXT_BUTTON,))
        band = (left + width * 20 // 100, top + height * 30 // 100, left + width * 75 // 100,
                top + height * 45 // 100)
        road.drag(band[:2], band[2:])
        placed = road.settle("placed")
        if not ink_in(placed, (band[0] - 10, band[1] - 10, band[2] + 10, band[3] + 10)):
            raise Failure("the band over %r placed no text that shows" % (band,))

        road.keys("ctrl+End", *(["BackSpace"] * 6))
        session.type_text("Sale")
        road.keys("ctrl+alt+t", "Return")
        # The text begins with a minus, which xdotool would take for an
        # option but for the "--" that type_text puts before it.
        session.type_text("-50%")
        road.settle("typed")
        road.keys("Escape")
        typed = road.settle("typed-ended")
        if not ink_in(typed, (band[0] - 10, band[1] - 10, band[2] + 10, band[3] + 10)):
            raise Failure("after the typing the band over %r shows no text" % (band,))

        session.save_as(main, os.path.join(folder, TYPED_NAME))
        main = session.wait_design(TYPED_NAME, "design window titled with the saved name", seconds=60)
        if not os.path.isfile(path):
            raise Failure("no file %s after Save As; the folder holds %r" % (path, os.listdir(folder)))
        session.quit(answer_save=None)
    finally:
        stop_processes(session.app)

    shot, page = reopen(program, env, work, keep, "typing-again", path, TYPED_NAME)
    headless, objects = helper_draw(helper, path, (page[2] - page[0], page[3] - page[1]),
                                    os.path.join(work, "typing-headless"), keep)
    texts = [o[-1] for o in objects]
    if texts != [TYPED]:
        raise Failure("the saved design holds the block texts %r, not %r" % (texts, [TYPED]))
    on_screen, shared = compare(shot, page, headless, "the typed block")
    # Two lines of text are taller than one line is high twice over.
    if on_screen[3] - on_screen[1] < 12:
        raise Failure("the typed block shows over %r: not two lines" % (on_screen,))
    print("e2e: the typed block reads %r; it shows over %r of the page, %.0f%% of its ink as drawn headless" %
          (texts[0], on_screen, shared * 100))


def run(program, helper, work, keep):
    xvfb, display = start_xvfb(*SCREEN)
    try:
        failures = []
        for road in (blocks_road, typing_road):
            try:
                road(program, helper, work, keep, display)
            except Failure as error:
                failures.append("%s: %s" % (road.__name__, error))
        if failures:
            raise Failure("; ".join(failures))
    finally:
        stop_processes(xvfb)


def main():
    return run_script(__doc__, "blocktext", run, arguments=2)


if __name__ == "__main__":
    sys.exit(main())
