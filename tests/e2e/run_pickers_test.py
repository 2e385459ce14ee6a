#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb with a
profile whose design folder holds two designs, saved by the picture tests
through the program's own code. File > Open shows the design browser over
that folder: a thumbnail of each design's stored preview in its grid. Its
Single Preview button (after the hint about the two dialogs) gives the file
dialog over the same folder; a click on a design shows that design's
preview in the dialog's pane, and Open opens it in the design window.

Over that design, Tools > Preferences, Defaults, the background picture's
"..." opens the picture browser; its Picture Gallery button the gallery.
Setup Categories adds "Animals", Add Picture takes two test pictures at once
from the file dialog, and both thumbnails show in the new category. Insert
Picture into Design takes the first back to the sheet, and OK paints the
workspace round the page with it.

The gallery's database lives in the program's folder: the program is run
from a private copy of that folder, so every run starts without categories
and the build's own folder is left as it was.

Checks work on screenshots: the designs' previews are full of colour where
the dialogs' empty grid and pane are white or grey.

Usage: run_pickers_test.py <path of threadwick> <path of pictures_tests>
(the test pictures come from $THREADWICK_TESTDATA, else the test data beside the source tree; skipped
when they are missing)
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick's
import is not installed. Every wait is bounded; Xvfb and the program are
always stopped. With THREADWICK_E2E_SHOTS set to a folder, the screenshots
are kept there."""

import os
import shutil
import subprocess
import sys

from e2e_support import (POLL, Failure, Session, clear_dialogs, count_pixels, program_env, run_script, start_xvfb,
                         stop_processes, wait_for, windows_path, write_preferences)

SCREEN = (1024, 768)
OPEN_TITLE = "Open"
HINT_TITLE = "Picture Preview"
# The designs the picture tests save, under the general designs' extension
# so that the browser's "All Documents" lists them.
DESIGNS = (("PictureRoadDesignTest.*", "THREADWICK_PICTURE_ROAD_DIR", "pictures"),
           ("EffectsRoadDesignTest.*", "THREADWICK_EFFECTS_ROAD_DIR", "effects"))
EXTENSION = ".gnl"
SHEET_TITLE = "Program Configuration"
GALLERY_TITLE = "Picture Gallery"
SETUP_TITLE = "Categories Setup"
NEW_CATEGORY_TITLE = "New Category"
SELECT_TITLE = "Select Image(s)"
CATEGORY = "Animals"
# Two pictures of strong, flat colours: stripes of yellow, magenta, cyan and
# black, and a gradient over the hues.
TESTDATA = os.path.join(os.environ.get("THREADWICK_TESTDATA") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "testdata"), "png")
PICTURES = (("bin-libsixel-examples__basn2c08.png", "one.png"), ("bin-libsixel-examples__basn6a08.png", "two.png"))

# Places inside the dialogs, from their top-left corners; the layouts come
# from dialog units and the program's own fonts, the same on every display.
# The browser's grid of thumbnails, short of its scroll bar.
BROWSER_GRID = (226, 58, 680, 490)
# The file dialog: the second name in its list, its preview pane and Open.
SECOND_FILE = (45, 76)
FILE_PREVIEW = (432, 38, 620, 200)
OPEN_BUTTON = (369, 218)
# The file dialog is far smaller than the browser: that tells the two
# "Open" windows apart.
FILE_DIALOG_WIDTH = 700
# The sheet: the Defaults tab, the background picture's "..." and OK.
DEFAULTS_TAB = (113, 45)
BACKGROUND_BROWSE = (369, 299)
SHEET_OK = (118, 379)
# The gallery: the first and the second thumbnail's cells.
FIRST_THUMBNAIL = (246, 86, 346, 186)
SECOND_THUMBNAIL = (378, 86, 478, 186)


def colourful(pixel):
    """A pixel of a picture, not of the dialogs' white and greys."""
    return max(pixel) - min(pixel) > 60


def colour_in(shot, window, box):
    left, top, right, bottom = box
    return count_pixels((shot.width, shot.height, shot.pixels), window.x + left, window.y + top, right - left,
                        bottom - top, colourful)


def make_designs(tests, work, folder):
    """The picture tests' designs, saved through the program's code, copied
    into folder as design files."""
    for pattern, variable, name in DESIGNS:
        road = os.path.join(work, "road-" + name)
        os.makedirs(road)
        made = subprocess.run([tests, "--gtest_filter=" + pattern], timeout=120, capture_output=True, text=True,
                              env=dict(os.environ, **{variable: road}))
        if "SKIPPED" in made.stdout and "PASSED  ] 0" in made.stdout:
            raise SystemExit(77)
        if made.returncode != 0:
            raise Failure("the design %s could not be made: %s" % (name, made.stdout[-2000:]))
        shutil.copy(os.path.join(road, name + ".gen"), os.path.join(folder, name + EXTENSION))


def private_program(program, work):
    """The program in a folder of its own with a copy of its support files
    (a hard link where the file system allows one)."""
    folder = os.path.join(work, "program")
    os.makedirs(folder)
    copy = os.path.join(folder, os.path.basename(program))
    try:
        os.link(program, copy)
    except OSError:
        shutil.copy2(program, copy)
    support = os.path.join(os.path.dirname(program), "support")
    if os.path.isdir(support):
        shutil.copytree(support, os.path.join(folder, "support"), ignore=shutil.ignore_patterns("imagedb.*"))
    return copy


def stripes_in(shot, window):
    """How many pixels of the design window's lower part have strong
    colours, like the first picture's stripes."""
    return count_pixels((shot.width, shot.height, shot.pixels), window.x, window.y + 140, window.width,
                        window.height - 170, lambda p: max(p) - min(p) > 150)


def click(session, window, place):
    session.pointer(["mousemove", "--sync", str(window.x + place[0]), str(window.y + place[1]), "sleep", "0.1",
                     "click", "1"])


def wait_colour(session, window, box, least, stage, what):
    """Waits until the box of window shows at least `least` pixels of colour."""
    seen = [0]

    def shown():
        session.alive()
        seen[0] = colour_in(session.shot(stage), window, box)
        return seen[0] >= least
    try:
        wait_for(what, shown, 60, interval=0.1)
    except Failure:
        raise Failure("%s: only %d pixels of colour" % (what, seen[0]))


def open_designs(session, main):
    """File > Open through the browser and the file dialog; the design
    window of the design opened."""
    session.key(main.wid, "alt+f", "o")
    browser = session.wait_window(OPEN_TITLE)
    if browser.width < FILE_DIALOG_WIDTH:
        raise Failure("File > Open gave the file dialog %r, not the design browser" % browser)
    # Each design's thumbnail is a small copy of a page full of pictures.
    wait_colour(session, browser, BROWSER_GRID, 2 * 60, "browser", "the designs' previews in the browser")

    # Single Preview: the file dialog, after the hint about the two.
    session.key(browser.wid, "alt+n")
    hint = session.wait_window(HINT_TITLE)
    session.key(hint.wid, "Return")

    def file_dialog():
        session.alive()
        return next((w for w in session.windows() if w.name == OPEN_TITLE and w.width < FILE_DIALOG_WIDTH), None)
    dialog = wait_for("the file dialog", file_dialog, 60, interval=POLL)
    empty = colour_in(session.wait_ready(dialog, "file-dialog"), dialog, FILE_PREVIEW)
    if empty:
        raise Failure("the file dialog's preview pane shows %d pixels of colour before a choice" % empty)
    click(session, dialog, SECOND_FILE)
    wait_colour(session, dialog, FILE_PREVIEW, 60, "file-preview", "the chosen design's preview in the pane")

    # Open: the design in its window.
    click(session, dialog, OPEN_BUTTON)
    session.wait_gone(dialog.wid, "the file dialog to close")
    main = session.wait_design("pictures", "design window of the design chosen")
    clear_dialogs(session)
    wait_colour(session, main, (0, 100, main.width, main.height - 30), 2000, "opened", "the opened design's pictures")
    return main


def gallery_background(session, main, pictures):
    """The background picture chosen from a new gallery category through
    the Preferences sheet; the workspace must show it after OK."""
    before = stripes_in(session.settle("before-background", answer=False), main)
    session.key(main.wid, "alt+t", "p")
    sheet = session.wait_window(SHEET_TITLE)
    session.wait_ready(sheet, "sheet")
    click(session, sheet, DEFAULTS_TAB)
    session.settle("defaults")
    click(session, sheet, BACKGROUND_BROWSE)
    chooser = session.wait_window(OPEN_TITLE)
    session.wait_ready(chooser, "chooser")
    session.key(chooser.wid, "alt+p")
    gallery = session.wait_window(GALLERY_TITLE)
    session.wait_ready(gallery, "gallery")

    # A new category. Adding it may close the setup on its own, which the
    # screen keeping still after the name's dialog tells; Close takes what
    # is left.
    session.key(gallery.wid, "alt+s")
    setup = session.wait_window(SETUP_TITLE)
    session.wait_ready(setup, "setup")
    session.key(setup.wid, "alt+a")
    named = session.wait_window(NEW_CATEGORY_TITLE)
    session.wait_ready(named, "new-category")
    session.type_text(CATEGORY)
    session.key(named.wid, "Return")
    session.wait_gone(named.wid, "the New Category dialog to close")
    session.settle("category-added", quiet=0.5)
    if session.window_named(SETUP_TITLE):
        session.key(setup.wid, "alt+c")
    session.wait_gone(setup.wid, "the Categories Setup to close")

    # Both pictures at once: their folder first, then their names quoted.
    session.key(gallery.wid, "alt+a")
    select = session.wait_window(SELECT_TITLE)
    session.wait_ready(select, "select")
    session.type_text(windows_path(pictures))
    session.key(select.wid, "Return")
    # The dialog lists the folder typed.
    session.settle("select-folder")
    session.type_text(" ".join('"%s"' % name for _, name in PICTURES))
    session.key(select.wid, "Return")
    session.wait_gone(select.wid, "the %s dialog to close" % SELECT_TITLE)
    wait_colour(session, gallery, FIRST_THUMBNAIL, 100, "thumbnails", "the first picture's thumbnail")
    wait_colour(session, gallery, SECOND_THUMBNAIL, 100, "thumbnails", "the second picture's thumbnail")

    # The first picture into the sheet, then OK.
    left, top, right, bottom = FIRST_THUMBNAIL
    click(session, gallery, ((left + right) // 2, (top + bottom) // 2))
    session.settle("thumbnail-chosen")
    session.key(gallery.wid, "alt+p")
    session.wait_gone(gallery.wid, "the gallery to close")
    session.settle("sheet-again")
    click(session, sheet, SHEET_OK)
    session.wait_gone(sheet.wid, "the sheet to close")
    seen = [0]

    def tiled():
        session.alive()
        seen[0] = stripes_in(session.shot("background"), main)
        return seen[0] >= before + 5000
    try:
        wait_for("the picture behind the page", tiled, 60, interval=0.1)
    except Failure:
        raise Failure("the workspace does not show the picture chosen: %d of its pixels, %d before" %
                      (seen[0], before))


def run(program, tests, work, keep):
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    make_designs(tests, work, folder)
    pictures = os.path.join(work, "pictures")
    os.makedirs(pictures)
    for source, name in PICTURES:
        path = os.path.join(TESTDATA, source)
        if not os.path.isfile(path):
            raise SystemExit(77)
        shutil.copy(path, os.path.join(pictures, name))
    program = private_program(program, work)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        write_preferences(env, {"DocumentDir": windows_path(folder)})
        session = Session(program, env, work, keep, "pickers", SCREEN)
        launcher = session.wait_launcher()
        session.wait_ready(launcher, "launcher")
        session.key(launcher.wid, "Escape")
        clear_dialogs(session)
        main = wait_for("the main window", session.main_window, 60, interval=POLL)

        main = open_designs(session, main)
        gallery_background(session, main, pictures)
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "pickers", run, arguments=2)


if __name__ == "__main__":
    sys.exit(main())
