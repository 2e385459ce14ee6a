#!/usr/bin/python3
"""Wrapped text on a real display: the whole program on the SDL back end
under a private Xvfb, a new general design from a blank page, then as a
user does:

- with the preference for block text turned off, so that new text is
  wrapped text: Edit Text on the formatting toolbar and a box dragged on the
  page place a new text box whose editor opens at once (its frame shows
  round the box); Ctrl+A and "Hello" typed over its first words, Enter,
  "wide-world = fine" typed; Shift+Home and "turn-it = 90" typed over the
  line; a click outside: the box shows text;
- Selection Tool from the Object menu, two clicks on the box (the second puts the
  view in rotate mode), its rotation handle dragged round by 90 degrees:
  the text shows turned, taller than wide;
- File > Save As through the dialog, the program left and started again
  with the file on its command line: the turned text shows where it showed
  before; the helper program opens the same file headless and draws its
  page at the size the screen shows it; the text on the screen is where
  the helper drew it, its pixels within a pixel of the helper's; the file
  holds the object turned by 90 degrees and the text as typed ("-" and "="
  reached the text, the line typed over is gone).

Usage: run_wraptext_test.py <path of threadwick> <path of e2e_wraptext_draw>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import is not installed. Every wait is bounded; Xvfb and the
program are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshots are kept there."""

import os
import subprocess
import sys

from e2e_support import (bounds, clear_dialogs, DesignRoad as Road, Failure, ink, ink_in, near_share,
                         paper_pixel, program_env, read_ppm, run_script, Session, start_xvfb, stop_processes, write_preferences)

SCREEN = (1024, 768)
GENERAL_KIND = 5
DESIGN_NAME = "Turned"
EXTENSION = ".gnl"
# The formatting toolbar's Edit Text button on a first start (small
# buttons, the bar docked under the standard bar of the maximised window).
EDIT_TEXT_BUTTON = (32, 82)
TYPED = "Hello\nturn-it = 90"
# The preferences' Flags as they are by default, less bit 0 (new text is
# block text).
WRAPPED_TEXT_FLAGS = 0x7380
# Pixels the screen's text may lie off the headless drawing's: the screen
# and the helper lay the page out each on its own, and rounding differs.
TOLERANCE = 4
# A pixel counts as changed when a channel moved more than this.
CHANGE = 24
# The share of either drawing's ink that must lie within a pixel of the
# other's.
OVERLAP = 0.6


def green(pixel):
    """The rotation handle's colour."""
    return pixel[1] > pixel[0] + 60 and pixel[1] > pixel[2] + 60


def changed(a, b):
    return any(abs(x - y) > CHANGE for x, y in zip(a, b))


def paper(shot, inner):
    """The page's own edges (left, top, right, bottom exclusive) from the
    white box page_box found inside it, which may stop at the margin line:
    outwards from near its corner while the pixels are paper."""
    left, top, right, bottom = inner
    y = top + 3
    x0 = left + 3
    while x0 > 0 and paper_pixel(shot.at(x0 - 1, y)):
        x0 -= 1
    x1 = left + 3
    while x1 < shot.width - 1 and paper_pixel(shot.at(x1 + 1, y)):
        x1 += 1
    x = left + 3
    y0 = top + 3
    while y0 > 0 and paper_pixel(shot.at(x, y0 - 1)):
        y0 -= 1
    y1 = top + 3
    while y1 < shot.height - 1 and paper_pixel(shot.at(x, y1 + 1)):
        y1 += 1
    return x0, y0, x1 + 1, y1 + 1


def editor_open(shot, box):
    """Whether the in-place editor's frame runs along the top of the box:
    a dark line most of the box's width just above it."""
    left, top, right, _ = box
    for y in range(top - 10, top + 3):
        run = best = 0
        for x in range(left - 12, right + 12):
            run = run + 1 if ink(shot.at(x, y)) else 0
            best = max(best, run)
        if best >= (right - left) * 6 // 10:
            return True
    return False


def choose_edit_text(road, blank):
    """The formatting toolbar's Edit Text button, clicked until it shows
    pressed: the first click on the bar may only bring the main window
    forward."""
    button = (EDIT_TEXT_BUTTON[0] - 8, EDIT_TEXT_BUTTON[1] - 8, EDIT_TEXT_BUTTON[0] + 8, EDIT_TEXT_BUTTON[1] + 8)
    before = [blank.at(x, y) for y in range(button[1], button[3]) for x in range(button[0], button[2])]
    for attempt in range(3):
        road.click(EDIT_TEXT_BUTTON)
        road.move(EDIT_TEXT_BUTTON[0] + 200, EDIT_TEXT_BUTTON[1] + 300)
        chosen = road.settle("text-tool-%d" % attempt)
        if [chosen.at(x, y) for y in range(button[1], button[3]) for x in range(button[0], button[2])] != before:
            return
    raise Failure("the Edit Text button at %r never showed pressed" % (EDIT_TEXT_BUTTON,))


def run(program, helper, work, keep):
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    path = os.path.join(folder, DESIGN_NAME + EXTENSION)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        write_preferences(env, {"Flags": WRAPPED_TEXT_FLAGS})
        session = Session(program, env, work, keep, "wraptext-1", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), GENERAL_KIND, "General1")
        road = Road(session, main)
        clear_dialogs(session)
        blank = road.settle("blank")
        page = paper(blank, road.page(blank))
        left, top, right, bottom = page
        width, height = right - left, bottom - top
        if width < 200 or height < 250:
            raise Failure("the page %r is too small to draw on" % (page,))

        # ---- Edit Text, a box dragged: the new box's editor opens; the
        # typing replaces its first words.
        choose_edit_text(road, blank)
        box = (left + width * 15 // 100, top + height * 30 // 100, left + width * 80 // 100,
               top + height * 45 // 100)
        road.drag(box[:2], box[2:])
        if not editor_open(road.settle("box"), box):
            raise Failure("no editor over the text box placed by the drag")
        session.keys_to_focus("ctrl+a")
        road.settle("all-selected")
        session.type_text("Hello")
        session.keys_to_focus("Return")
        session.type_text("wide-world = fine")
        road.settle("typed")
        session.keys_to_focus("shift+Home")
        road.settle("line-selected")
        session.type_text(TYPED.split("\n")[1])
        road.settle("typed-over")
        outside = (left + width // 2, top + height * 80 // 100)
        road.click(outside)
        written = road.settle("written")
        found = bounds(ink_in(written, (box[0] - 8, box[1] - 8, box[2] + 8, box[3] + 40)))
        if found is None:
            raise Failure("the text box dragged over %r shows no text" % (box,))

        # ---- The selection tool, two clicks on the box, its rotation
        # handle dragged round by a quarter turn. The Object menu opens on
        # its first item, "S&election Tool" (its letter is not unique there).
        road.keys("alt+o", "Return")
        road.settle("select-tool")
        ink_box = (box[0] - 8 + found[0], box[1] - 8 + found[1], box[0] - 8 + found[2], box[1] - 8 + found[3])
        target = ((ink_box[0] + ink_box[2]) // 2, (ink_box[1] + ink_box[3]) // 2)
        road.click(target)
        road.settle("selected")
        # Not a double click: the second comes past the double-click time.
        road.click(target)
        # The rotation handle may show from the first click on: the second
        # need not change what the screen shows.
        twice = road.settle("rotate-mode", answer=False)
        area = (box[0] - 40, box[1] - 60, min(right + 80, SCREEN[0]), box[3] + 60)
        handle = bounds([(x, y) for y in range(area[1], area[3]) for x in range(area[0], area[2])
                         if green(twice.at(x, y))])
        if handle is None:
            raise Failure("no rotation handle near the box after two clicks on it")
        hx, hy = (handle[0] + handle[2] - 1) // 2, (handle[1] + handle[3] - 1) // 2
        # The object turns about its middle: half way between the outermost
        # sizing handles on the rotation handle's row.
        row = [x for x in range(area[0], handle[0] - 3) if changed(written.at(x, hy), twice.at(x, hy))]
        if not row:
            raise Failure("no sizing handles on the row of the rotation handle at %d" % hy)
        pivot_x = (min(row) + max(row)) // 2
        radius = min(hx - pivot_x, 100)
        if radius < 20:
            raise Failure("the rotation handle at %r lies %d pixels from the middle %d" % ((hx, hy), radius, pivot_x))
        road.drag((hx, hy), (pivot_x, hy - radius), steps=16)
        turned = road.settle("turned")
        road.click(outside)
        turned = road.settle("turned-deselected")
        shape = bounds(ink_in(turned, page) - ink_in(blank, page))
        if shape is None or shape[3] - shape[1] <= shape[2] - shape[0]:
            raise Failure("after the quarter turn the text shows over %r, not taller than wide" % (shape,))

        # ---- File > Save As, the program left and started again.
        session.save_as(main, os.path.join(folder, DESIGN_NAME))
        main = session.wait_design(DESIGN_NAME, "design window titled with the saved name", seconds=60)
        if not os.path.isfile(path):
            raise Failure("no file %s after Save As; the folder holds %r" % (path, os.listdir(folder)))
        session.quit(answer_save=None)

        session = Session(program, env, work, keep, "wraptext-2", SCREEN, args=[path])
        main = session.wait_design(DESIGN_NAME, "design window of the saved file", seconds=90)
        road = Road(session, main)
        clear_dialogs(session)
        road.move(SCREEN[0] - 5, SCREEN[1] - 5)
        reopened = road.settle("reopened")
        page2 = paper(reopened, road.page(reopened))
        session.quit(answer_save=None)
    finally:
        stop_processes(session.app if session else None, xvfb)

    # ---- The same file drawn headless at the page's size on the screen.
    out = os.path.join(work, "headless")
    os.makedirs(out)
    size = (page2[2] - page2[0], page2[3] - page2[1])
    drawn = subprocess.run([helper], timeout=120, capture_output=True, text=True,
                           env=dict(os.environ, THREADWICK_WRAPTEXT_ROAD_FILE=path,
                                    THREADWICK_WRAPTEXT_ROAD_SIZE="%d %d" % size,
                                    THREADWICK_WRAPTEXT_ROAD_OUT=out))
    if drawn.returncode != 0 or not os.path.isfile(os.path.join(out, "page.ppm")):
        raise Failure("the helper could not draw the saved design: %s" % drawn.stdout[-2000:])
    check_file(os.path.join(out, "text.txt"))
    headless = read_ppm(os.path.join(out, "page.ppm"))
    if keep:
        subprocess.run(["cp", os.path.join(out, "page.ppm"), os.path.join(keep, "wraptext-headless.ppm")])
    screen_ink = ink_in(reopened, page2)
    drawn_ink = ink_in(headless, (0, 0, headless.width, headless.height))
    on_screen, in_drawing = bounds(screen_ink), bounds(drawn_ink)
    if on_screen is None or any(abs(a - b) > TOLERANCE for a, b in zip(on_screen, shape)):
        raise Failure("the reopened design shows the text over %r of the page, before saving it showed over %r" %
                      (on_screen, shape))
    if on_screen is None or in_drawing is None:
        raise Failure("text on the screen over %r, in the headless drawing over %r" % (on_screen, in_drawing))
    if any(abs(a - b) > TOLERANCE for a, b in zip(on_screen, in_drawing)):
        raise Failure("the reopened text shows over %r of the page, the headless drawing puts it over %r" %
                      (on_screen, in_drawing))
    if on_screen[3] - on_screen[1] <= on_screen[2] - on_screen[0]:
        raise Failure("the reopened text over %r is not turned" % (on_screen,))
    shared = min(near_share(screen_ink, drawn_ink), near_share(drawn_ink, screen_ink))
    if shared < OVERLAP:
        raise Failure("only %.0f%% of the text's pixels agree between the screen and the headless drawing" %
                      (shared * 100))
    print("e2e: the turned text over %r of the page on the screen, %r in the headless drawing; %.0f%% of its "
          "pixels agree" % (on_screen, in_drawing, shared * 100))


def check_file(path):
    """The saved object is turned by a quarter and holds the text typed."""
    with open(path) as f:
        lines = f.read().split("\n")
    objects = [(lines[n].split()[1], lines[n + 1]) for n in range(len(lines) - 1) if lines[n].startswith("object ")]
    if len(objects) != 1:
        raise Failure("the saved design holds %d objects of wrapped text, not one" % len(objects))
    angle, codes = objects[0]
    text = "".join(chr(int(c)) for c in codes.split())
    if int(angle) % 180 != 90:
        raise Failure("the saved text object is turned by %s degrees, not a quarter" % angle)
    if text != TYPED:
        raise Failure("the saved text is %r, not %r" % (text, TYPED))


def main():
    return run_script(__doc__, "wraptext", run, arguments=2)


if __name__ == "__main__":
    sys.exit(main())
