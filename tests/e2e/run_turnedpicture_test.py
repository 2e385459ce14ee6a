#!/usr/bin/python3
"""A picture with transparent parts turned by its handle over another
picture, on a real display: the whole program on the SDL back end under a
private Xvfb, a new general design, then as a user does:

- Insert > Picture > From Other Location with a green JPEG, then the same
  with a PNG over it (a blue frame and a red disc on a transparent ground):
  both come centred on the page, the PNG over the JPEG;
- the PNG clicked twice (rotate mode) and its rotation handle dragged round
  to 324 degrees: the blue frame shows turned as a whole, the JPEG's green
  shows through the PNG's transparent parts inside the frame and round it,
  and the sizing handles sit on the frame's drawn corners;
- Ctrl+Z three times gives back, each time, the page as it was before the
  turn, before the PNG and before the JPEG; Ctrl+Y three times gives back
  the page after the JPEG, after the PNG and after the turn;
- File > Print to the PDF-file printer: the printed page shows the frame
  turned to the same place with the JPEG through its transparent parts;
- the pictures deleted, Insert > Text > Through Text Effects Dialog, a word
  typed, Shape ticked and OK: the shaped word on the screen has the
  strokes of the same word printed to PDF, with no gaps cut through it.

Usage: run_turnedpicture_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool, ImageMagick
or pdftoppm is not installed. Every wait is bounded; Xvfb and the program
are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshots are kept there."""

import math
import os
import subprocess
import sys

from e2e_support import (DesignRoad, Failure, Session, bounds, changed_box, clear_dialogs, ink_in, insert_picture,
                         near_share, press, print_to_pdf, program_env, run_script, start_xvfb, stop_processes,
                         write_preferences)

SCREEN = (1024, 768)
TOOLS = ("Xvfb", "xdotool", "import", "convert", "pdftoppm")
GENERAL_KIND = 5
# The preferences' third flag word as by default, with natural size and keep
# proportions on.
NATURAL_SIZE_FLAGS = 0x0013 | 0x0004 | 0x0008
ANGLE = 324
# The drag turns the handle clockwise on the screen by this much.
TURN_ON_SCREEN = 360 - ANGLE
# The pictures: a green JPEG, and a PNG of a blue frame FRAME pixels wide
# round a transparent ground with a red disc in its middle.
JPEG_SIZE = (600, 600)
PNG_SIZE = (400, 300)
FRAME = 24
# A pixel counts as changed when a channel moved more than this.
CHANGE = 24
# Pixels a handle may lie from the drawn corner, and the share of the JPEG's
# width a printed corner may lie from where the screen shows it.
HANDLE_REACH = 7
PRINT_REACH = 0.03
# The share of the printed word's ink that must have ink of the screen's
# word within a pixel (broken strokes lose about half).
WORD_SHARE = 0.8


def green(pixel):
    r, g, b = pixel
    return g > 110 and r < 90 and b < 90


def blue(pixel):
    r, g, b = pixel
    return b > 150 and r < 90 and g < 90


def red(pixel):
    r, g, b = pixel
    return r > 150 and g < 90 and b < 90


def make_pictures(folder):
    jpeg = os.path.join(folder, "ground.jpg")
    png = os.path.join(folder, "framed.png")
    w, h = PNG_SIZE
    r = min(w, h) // 5
    subprocess.run(["convert", "-size", "%dx%d" % JPEG_SIZE, "xc:rgb(0,160,0)", "-quality", "95", jpeg],
                   check=True, timeout=60)
    subprocess.run(["convert", "-size", "%dx%d" % PNG_SIZE, "xc:none", "-fill", "none", "-stroke", "rgb(0,0,220)",
                    "-strokewidth", str(FRAME), "-draw",
                    "rectangle %d,%d %d,%d" % (FRAME // 2, FRAME // 2, w - 1 - FRAME // 2, h - 1 - FRAME // 2),
                    "-stroke", "none", "-fill", "rgb(220,0,0)", "-draw",
                    "circle %d,%d %d,%d" % (w // 2, h // 2, w // 2 + r, h // 2), "PNG32:" + png],
                   check=True, timeout=60)
    return jpeg, png


def pixels_where(shot, box, test):
    left, top, right, bottom = box
    return [(x, y) for y in range(max(top, 0), min(bottom, shot.height))
            for x in range(max(left, 0), min(right, shot.width)) if test(shot.at(x, y))]


def corners_of(points):
    """The four corners of a turned rectangle's pixels: its topmost,
    rightmost, bottommost and leftmost points (the turn is not a multiple of
    90 degrees)."""
    top = min(points, key=lambda p: (p[1], p[0]))
    right = max(points, key=lambda p: (p[0], p[1]))
    bottom = max(points, key=lambda p: (p[1], -p[0]))
    left = min(points, key=lambda p: (p[0], -p[1]))
    return [top, right, bottom, left]


def distance(a, b):
    return math.hypot(a[0] - b[0], a[1] - b[1])


def toward(centre, corner, share):
    return (round(centre[0] + (corner[0] - centre[0]) * share), round(centre[1] + (corner[1] - centre[1]) * share))


def check_turned(shot, area, what):
    """The blue frame turned whole, green through and round it, the red disc
    in its middle; returns its corners."""
    frame = pixels_where(shot, area, blue)
    if len(frame) < 200:
        raise Failure("%s: the turned picture's frame shows %d blue pixels" % (what, len(frame)))
    corners = corners_of(frame)
    centre = (sum(c[0] for c in corners) / 4.0, sum(c[1] for c in corners) / 4.0)
    sides = [distance(corners[i], corners[(i + 1) % 4]) for i in range(4)]
    if abs(sides[0] - sides[2]) > 4 or abs(sides[1] - sides[3]) > 4:
        raise Failure("%s: the frame's corners %r are not those of a turned rectangle" % (what, corners))
    # The whole frame shows: as many blue pixels as a frame of its sides.
    band = FRAME * max(sides) / max(PNG_SIZE)
    whole = 2 * (sides[0] + sides[1]) * band - 4 * band * band
    if len(frame) < 0.85 * whole:
        raise Failure("%s: only %d of the turned frame's %d pixels show: the picture is cut" %
                      (what, len(frame), whole))
    # The handle was dragged 36 degrees clockwise round the middle: the top
    # side of the 4:3 frame, its long side, now runs down to the right from
    # the topmost corner at that angle.
    slope = math.degrees(math.atan2(corners[1][1] - corners[0][1], corners[1][0] - corners[0][0]))
    if sides[0] < sides[1] or abs(slope - TURN_ON_SCREEN) > 4:
        raise Failure("%s: the frame's top side runs at %.1f degrees and is %s, not as a turn of %d degrees "
                      "clockwise" % (what, slope, "long" if sides[0] >= sides[1] else "short", TURN_ON_SCREEN))
    if not red(shot.at(round(centre[0]), round(centre[1]))):
        raise Failure("%s: the middle of the turned picture at %r is %r, not its red disc" %
                      (what, centre, shot.at(round(centre[0]), round(centre[1]))))
    for corner in corners:
        inside = toward(centre, corner, 0.7)
        outside = toward(centre, corner, 1.12)
        if not green(shot.at(*inside)):
            raise Failure("%s: inside the turned frame at %r the picture below does not show (%r)" %
                          (what, inside, shot.at(*inside)))
        if not green(shot.at(*outside)):
            raise Failure("%s: just outside the turned frame's corner at %r the picture below does not show (%r)" %
                          (what, outside, shot.at(*outside)))
    return corners, centre


def mapping(source, target):
    """The linear map that takes the box source onto the box target."""
    sx = (target[2] - target[0]) / max(source[2] - source[0], 1)
    sy = (target[3] - target[1]) / max(source[3] - source[1], 1)
    return lambda p: (round(target[0] + (p[0] - source[0]) * sx), round(target[1] + (p[1] - source[1]) * sy))


def page_difference(a, b, page):
    _, count = changed_box(a, b, page, change=CHANGE)
    return count


def paper_edges(shot, inner):
    """The page's own edges from the white box page_box found inside it."""
    left, top, right, bottom = inner
    y, x = top + 3, left + 3

    def white(p):
        return min(p) > 235
    x0 = x
    while x0 > 0 and white(shot.at(x0 - 1, y)):
        x0 -= 1
    x1 = x
    while x1 < shot.width - 1 and white(shot.at(x1 + 1, y)):
        x1 += 1
    y0 = y
    while y0 > 0 and white(shot.at(x, y0 - 1)):
        y0 -= 1
    y1 = y
    while y1 < shot.height - 1 and white(shot.at(x, y1 + 1)):
        y1 += 1
    return x0, y0, x1 + 1, y1 + 1


class Road(DesignRoad):
    def covered(self):
        return [w for w in self.session.windows() if w.wid != self.main.wid and w.name != "Tool Pad"]

    def settle(self, stage, quiet=0.5, answer=True):
        return super().settle(stage, quiet, answer)


def run(program, work, keep):
    jpeg, png = make_pictures(work)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        env.update(CUPS_SERVER=os.path.join(work, "no-cups-server"))
        # Pictures come in at their natural size (the default preferences
        # stretch every new picture over one default rectangle).
        write_preferences(env, {"Add2Flags": NATURAL_SIZE_FLAGS})
        session = Session(program, env, work, keep, "turnedpicture", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), GENERAL_KIND, "General1")
        road = Road(session, main)
        clear_dialogs(session)
        blank = road.settle("blank")
        page = paper_edges(blank, road.page(blank))
        width, height = page[2] - page[0], page[3] - page[1]
        # A click on the page far from the pictures takes the selection off.
        outside = (page[0] + width // 2, page[1] + height * 9 // 10)

        def deselected(stage):
            road.click(outside)
            return road.settle(stage)

        insert_picture(session, road, jpeg)
        with_jpeg = deselected("jpeg")
        ground, _ = changed_box(blank, with_jpeg, page)
        if ground is None or not green(with_jpeg.at((ground[0] + ground[2]) // 2, (ground[1] + ground[3]) // 2)):
            raise Failure("the inserted JPEG shows nowhere on the page (%r)" % (ground,))
        insert_picture(session, road, png)
        with_png = deselected("png")
        framed, _ = changed_box(with_jpeg, with_png, page)
        if framed is None:
            raise Failure("the inserted PNG changed nothing on the page")
        centre = ((framed[0] + framed[2]) // 2, (framed[1] + framed[3]) // 2)
        if not red(with_png.at(*centre)) or not green(with_png.at(*toward(centre, (centre[0], framed[1]), 0.6))):
            raise Failure("the PNG over the JPEG does not show its disc over the JPEG's green at %r" % (centre,))

        # ---- Rotate mode, and the rotation handle dragged to 324 degrees.
        road.click(centre)
        selected = road.settle("selected")
        road.click(centre)
        twice = road.settle("rotate-mode", answer=False)
        area = (max(framed[0] - 80, 0), max(framed[1] - 80, 0), min(framed[2] + 80, SCREEN[0]),
                min(framed[3] + 80, SCREEN[1]))
        # The rotation handle stands beyond the picture's right side, on its
        # middle row: what changed there from the unselected page.
        band = (framed[2] + 4, centre[1] - 12, area[2], centre[1] + 13)
        handle, _ = changed_box(with_png, twice, band)
        if handle is None:
            raise Failure("no rotation handle right of the PNG after two clicks on it (selected: %r)" %
                          (changed_box(with_png, selected, area)[0],))
        hx, hy = (handle[0] + handle[2] - 1) // 2, (handle[1] + handle[3] - 1) // 2
        radius = math.hypot(hx - centre[0], hy - centre[1])
        start = math.atan2(-(hy - centre[1]), hx - centre[0])
        # 324 degrees anticlockwise is 36 clockwise.
        goal = start - math.radians(TURN_ON_SCREEN)
        end = (round(centre[0] + radius * math.cos(goal)), round(centre[1] - radius * math.sin(goal)))
        road.drag((hx, hy), end, steps=16)
        turned_selected = road.settle("turned")
        turned = deselected("turned-deselected")
        corners, _ = check_turned(turned, area, "on the screen")
        handles, _ = changed_box(turned, turned_selected, area)
        if handles is None:
            raise Failure("the turned picture shows no handles while selected")
        for corner in corners:
            box = (corner[0] - HANDLE_REACH, corner[1] - HANDLE_REACH, corner[0] + HANDLE_REACH + 1,
                   corner[1] + HANDLE_REACH + 1)
            _, near = changed_box(turned, turned_selected, box)
            if near == 0:
                raise Failure("no handle within %d pixels of the drawn corner %r" % (HANDLE_REACH, corner))

        # ---- Undo and Redo, three steps each way.
        states = [("before the JPEG", blank), ("after the JPEG", with_jpeg), ("after the PNG", with_png),
                  ("after the turn", turned)]
        for step in range(3, 0, -1):
            road.keys("ctrl+z")
            road.settle("undo-%d" % step)
            shot = deselected("undone-%d" % step)
            differ = page_difference(states[step - 1][1], shot, page)
            if differ:
                raise Failure("Ctrl+Z number %d shows the page with %d pixels unlike the page %s" %
                              (4 - step, differ, states[step - 1][0]))
        for step in range(1, 4):
            road.keys("ctrl+y")
            road.settle("redo-%d" % step)
            shot = deselected("redone-%d" % step)
            differ = page_difference(states[step][1], shot, page)
            if differ:
                raise Failure("Ctrl+Y number %d shows the page with %d pixels unlike the page %s" %
                              (step, differ, states[step][0]))

        # ---- Printed: the same turn in the same place.
        printed = print_to_pdf(session, road, os.path.join(work, "turned.pdf"), size=(width, height))
        on_paper, _ = check_turned(printed, (0, 0, printed.width, printed.height), "on the printed page")
        # The print fits the page to the sheet's printable area: places are
        # set against the JPEG's square on each.
        ground_shown = bounds(pixels_where(turned, page, green))
        ground_put = bounds(pixels_where(printed, (0, 0, printed.width, printed.height), green))
        to_screen = mapping(ground_put, ground_shown)
        for shown, put in zip(corners, on_paper):
            mapped = to_screen(put)
            if distance(mapped, shown) > PRINT_REACH * (ground_shown[2] - ground_shown[0]):
                raise Failure("the printed frame's corner %r (%r on the screen's scale) lies off the screen's %r" %
                              (put, mapped, shown))

        # ---- Shaped text from Text Effects, on the screen as printed.
        road.keys("ctrl+a")
        road.settle("all")
        road.keys("Delete")
        emptied = road.settle("emptied")
        # Two items of the Text menu share the letter T: the first press
        # picks Through Text Effects Dialog, Return carries it out.
        press(session, main, "alt+i", "t", "t", "Return")
        effects = session.wait_window("Text Effects")
        session.wait_ready(effects, "text-effects")
        session.type_text("Wavy")
        session.key(effects.wid, "alt+p")
        session.settle("shape")
        session.key(effects.wid, "Return")
        session.wait_gone(effects.wid, "the Text Effects dialog to close")
        word = deselected("word")
        shown = ink_in(word, page) - ink_in(emptied, page)
        if len(shown) < 300:
            raise Failure("the shaped word shows %d pixels of ink on the screen" % len(shown))
        printed = print_to_pdf(session, road, os.path.join(work, "word.pdf"), size=(width, height))
        inked = ink_in(printed, (0, 0, printed.width, printed.height))
        to_screen = mapping(bounds(inked), bounds(shown)) if inked and shown else (lambda p: p)
        share = near_share({to_screen(p) for p in inked}, shown)
        if share < WORD_SHARE:
            raise Failure("only %.0f%% of the printed shaped word's ink shows on the screen (screen: %d pixels over "
                          "%r, print: %d over %r)" %
                          (share * 100, len(shown), bounds(shown), len(inked), bounds(inked)))
        print("e2e: the turned PNG's corners %r on the screen; %.0f%% of the printed shaped word on the screen" %
              (corners, share * 100))
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "turnedpicture", run, tools=TOOLS)


if __name__ == "__main__":
    sys.exit(main())
