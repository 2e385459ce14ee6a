#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb and
opens a folder of awkward pictures in the picture browser as a user does:

- a new shirt design; Insert > Picture > From Other Location; the folder
  typed into the browser's folder field holds a zero-byte JPEG, a zero-byte
  PNG, a Windows metafile, an 8000 x 8000 JPEG (made by ImageMagick now) and
  a plain red JPEG;
- within 10 seconds the browser shows its thumbnails (the red picture's
  among them) with at most one message box, each answered with Return as a
  user would, and the browser still listens: Single Preview takes the user
  to the single-file dialog;
- the 8000 x 8000 JPEG chosen there is inserted: something grey comes on
  the page and no message is shown;
- File > Exit ends the program with 0.

Usage: run_thumbnails_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick
is not installed or the outside test files are missing. Every wait is
bounded; Xvfb and the program are always stopped. With THREADWICK_E2E_SHOTS
set to a folder, the screenshots are kept there."""

import os
import shutil
import subprocess
import sys
import time

from e2e_support import (BROWSER_WIDTH, OPEN_TITLE, POLL, DesignRoad, Failure, Session, changed_box, clear_dialogs,
                         press, run_script, program_env, single_file_dialog, start_xvfb, stop_processes,
                         type_into_file_dialog, windows_path)

SCREEN = (1024, 768)
TOOLS = ("Xvfb", "xdotool", "import", "convert")
SHIRT_KIND = 0
TESTDATA = os.environ.get("THREADWICK_TESTDATA") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "testdata")
METAFILE = os.path.join("wmf", "bin-libreoffice-dev-doc__fish.wmf")
THUMBNAILS_WITHIN = 10.0
MESSAGE_TITLE = "Threadwick"
# The browser's folder field, from its window's corner.
FOLDER_FIELD = (60, 40)


class Road(DesignRoad):
    def covered(self):
        return [w for w in self.session.windows() if w.wid != self.main.wid and w.name != "Tool Pad"]


def make_folder(work):
    folder = os.path.join(work, "pictures")
    os.makedirs(folder)
    for name in ("empty.jpg", "empty.png"):
        open(os.path.join(folder, name), "wb").close()
    shutil.copyfile(os.path.join(TESTDATA, METAFILE), os.path.join(folder, "fish.wmf"))
    big = os.path.join(folder, "large.jpg")
    subprocess.run(["convert", "-size", "8000x8000", "xc:gray50", "-quality", "50", big], check=True, timeout=120)
    subprocess.run(["convert", "-size", "160x120", "xc:red", os.path.join(folder, "plain.jpg")], check=True,
                   timeout=60)
    return folder, big


def message_boxes(session):
    return [w for w in session.windows() if w.name == MESSAGE_TITLE and w.width < SCREEN[0] // 2]


def red_pixels(shot, window):
    """Clearly red pixels inside window in the shot."""
    count = 0
    for y in range(max(window.y, 0), min(window.y + window.height, shot.height), 2):
        for x in range(max(window.x, 0), min(window.x + window.width, shot.width), 2):
            r, g, b = shot.at(x, y)
            count += 1 if r > 200 and g < 60 and b < 60 else 0
    return count


def browse_folder(session, road, folder):
    """The picture browser at the folder; the message boxes seen while its
    thumbnails are made (each answered), and the time they took to show."""
    browser = session.wait_window(OPEN_TITLE)
    if browser.width < BROWSER_WIDTH:
        raise Failure("Insert > Picture > From Other Location opened %r, not the picture browser" % browser)
    session.wait_ready(browser, "browser")
    # The folder field keeps its place at the dialog's top left, above the
    # folder tree; Enter there moves the browser to the folder typed.
    road.click((browser.x + FOLDER_FIELD[0], browser.y + FOLDER_FIELD[1]))
    session.key(browser.wid, "End", "shift+Home")
    session.type_text(windows_path(folder) + "\\")
    session.key(browser.wid, "Return")
    started = time.monotonic()
    seen = set()
    shown = None
    while time.monotonic() - started < THUMBNAILS_WITHIN:
        session.alive()
        for box in message_boxes(session):
            if box.wid not in seen:
                seen.add(box.wid)
                session.shot("message-%d" % len(seen))
                session.answer(box, "Return")
        if shown is None and not message_boxes(session):
            current = session.window_named(OPEN_TITLE)
            if current is not None and red_pixels(session.look(), current) > 200:
                shown = time.monotonic() - started
        time.sleep(POLL)
    session.shot("thumbnails")
    return browser, seen, shown


def run(program, work, keep):
    if not os.path.isfile(os.path.join(TESTDATA, METAFILE)):
        raise SystemExit(77)
    folder, big = make_folder(work)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        session = Session(program, env, work, keep, "thumbnails", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        road = Road(session, main)
        clear_dialogs(session)
        blank = road.settle("blank")
        page = road.page(blank)

        press(session, road.main, "alt+i", "p", "o")
        browser, seen, shown = browse_folder(session, road, folder)
        if len(seen) > 1:
            raise Failure("the picture browser showed %d message boxes while it made its thumbnails" % len(seen))
        if shown is None:
            raise Failure("the picture browser showed no thumbnail of the plain JPEG within %.0f s"
                          % THUMBNAILS_WITHIN)
        print("e2e: thumbnails shown after %.1f s with %d message(s)" % (shown, len(seen)))

        type_into_file_dialog(session, single_file_dialog(session, browser, seconds=30), big)
        inserted = road.settle("inserted", quiet=1.0)
        if message_boxes(session):
            raise Failure("inserting the 8000 x 8000 JPEG gave a message")
        box, count = changed_box(blank, inserted, page)
        if box is None or count < 100:
            raise Failure("nothing came on the page after inserting the 8000 x 8000 JPEG")
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "thumbnails", run, tools=TOOLS)


if __name__ == "__main__":
    sys.exit(main())
