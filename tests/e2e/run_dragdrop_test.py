#!/usr/bin/python3
"""Files dragged over a design window by another program: the whole program
on the SDL back end under a private Xvfb, a new shirt design from a blank
page with its rulers on, and a drag source speaking the X drag-and-drop
protocol (the helper) dragging a picture file over it:

- over the page the answer accepts the drop, with the action asked for:
  a move, a copy (Ctrl) and a link (Shift and Ctrl);
- over the top ruler, and over the view beside the page, it refuses;
- dropped on the page, the source hears that the file was taken, and the
  page shows the picture (its colour, which the blank page does not hold).

Usage: run_dragdrop_test.py <path of threadwick> <path of e2e_xdnd_source>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import is not installed. Every wait is bounded; Xvfb and the
program are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshots are kept there."""

import os
import struct
import subprocess
import sys

from e2e_support import (POLL, DesignRoad as Road, Failure, Session, clear_dialogs, is_white, program_env,
                         run_script, start_xvfb, stop_processes, wait_for)
from run_rulers_test import find_ruler

SCREEN = (1024, 768)
SHIRT_KIND = 0
# The picture: a plain orange the blank page and the workspace never show.
PICTURE = (80, 60)
ORANGE = (255, 128, 0)
# Pixels of the picture's colour the page must show after the drop.
SHOWN = 400


def write_bmp(path, size, colour):
    """A 24-bit Windows bitmap of one colour."""
    width, height = size
    row = bytes((colour[2], colour[1], colour[0])) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def orange(pixel):
    return pixel[0] > 220 and 90 < pixel[1] < 170 and pixel[2] < 50


def drag(helper, display, path, steps):
    """One run of the drag source over the steps; its answers, one line
    each."""
    done = subprocess.run([helper, display, path] + [str(s) for s in steps], capture_output=True, timeout=120)
    if done.returncode != 0:
        raise Failure("the drag source ended with %d: %s" % (done.returncode, done.stderr.decode(errors="replace")))
    return done.stdout.decode().splitlines()


def beside_page(shot, page):
    """A point of the view right of the page that is neither page nor
    ruler: the workspace around it."""
    left, top, right, bottom = page
    y = (top + bottom) // 2
    for x in range(right + 12, min(right + 80, shot.width - 20)):
        if not is_white(shot.at(x, y)) and not is_white(shot.at(x + 6, y)):
            return (x + 3, y)
    raise Failure("no workspace beside the page %r" % (page,))


def run(program, helper, work, keep):
    picture = os.path.join(work, "dropped picture.bmp")
    write_bmp(picture, PICTURE, ORANGE)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        session = Session(program, env, work, keep, "dragdrop", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        road = Road(session, main)
        clear_dialogs(session)
        road.hide_tool_pad()
        first = road.settle("first")
        if find_ruler(first, road.page(first)) is None:
            road.keys("alt+v", "r")
            first = road.settle("rulers")
        page = road.page(first)
        left, top, right, bottom = page
        ruler = find_ruler(first, page)
        if ruler is None:
            raise Failure("no ruler above the page %r" % (page,))
        middle = ((left + right) // 2, (top + bottom) // 2)
        on_ruler = (middle[0], ruler.row - 4)
        beside = beside_page(first, page)
        if sum(1 for x in range(left, right, 4) for y in range(top, bottom, 4) if orange(first.at(x, y))):
            raise Failure("the blank page already shows the picture's colour")

        # ---- The answers along the way, then the drop on the page.
        steps = ["over", middle[0], middle[1], "move",
                 "over", middle[0] + 5, middle[1], "copy",
                 "over", middle[0] + 10, middle[1], "link",
                 "over", on_ruler[0], on_ruler[1], "copy",
                 "over", beside[0], beside[1], "copy",
                 "over", middle[0], middle[1] + 5, "copy",
                 "drop"]
        answers = drag(helper, display, picture, steps)
        expected = ["status %d %d 1 move" % middle,
                    "status %d %d 1 copy" % (middle[0] + 5, middle[1]),
                    "status %d %d 1 link" % (middle[0] + 10, middle[1]),
                    "status %d %d 0 none" % on_ruler,
                    "status %d %d 0 none" % beside,
                    "status %d %d 1 copy" % (middle[0], middle[1] + 5),
                    "finished 1 copy"]
        if answers != expected:
            raise Failure("the drag got the answers %r, not %r" % (answers, expected))

        def shown():
            shot = session.look()
            return sum(1 for x in range(left, right, 2) for y in range(top, bottom, 2) if orange(shot.at(x, y))) \
                * 4 >= SHOWN
        wait_for("the dropped picture on the page", shown, 30, interval=POLL)
        road.settle("dropped")
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "dragdrop", run, arguments=2)


if __name__ == "__main__":
    sys.exit(main())
