#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb and
takes a picture through Picture Studio, export, printing and the desktop's
wallpaper as a user does:

- a new shirt design; Insert > Picture > From Other Location with the horse
  PNG of the outside test files: the picture shows in colour;
- the tool pad's "Open Picture Studio", "Grayscale" in the effect list,
  Adjust, OK: the picture on the screen is grey;
- File > Export Surface as Picture, a name ending in .png: ImageMagick's
  identify reads a PNG of the page's proportions, grey where the picture
  lies;
- File > Print to the PDF-file printer: pdftoppm's page shows the grey
  picture;
- Edit > Edit Object > Set as Wallpaper, with GSettings keeping its values
  in a key file of the test's own: glib's gsettings names the written
  file as the desktop's background.

Usage: run_studio_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool, ImageMagick,
pdftoppm or gsettings is not installed or the outside test files are
missing. Every wait is bounded; Xvfb and the program are always stopped.
With THREADWICK_E2E_SHOTS set to a folder, the screenshots are kept there."""

import os
import subprocess
import sys

from e2e_support import (DesignRoad, Failure, Session, changed_box, clear_dialogs, insert_picture, locate,
                         magick_picture, press, print_to_pdf, program_env, run_script, start_xvfb, stop_processes,
                         wait_for, windows_path, written_file)

SCREEN = (1024, 768)
TOOLS = ("Xvfb", "xdotool", "import", "convert", "identify", "pdftoppm", "gsettings")
SHIRT_KIND = 0
TESTDATA = os.environ.get("THREADWICK_TESTDATA") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "testdata")
HORSE = os.path.join("samepicture", "bin-wx3.2-examples__horse.png")
PAD_PICTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "support",
                           "toolpad.jpg")
# The palette lies inside the tool pad's frame, below its caption; the
# picture panel's "Open Picture Studio" button, from the panel's layout.
PALETTE_GUESS = (7, 24)
STUDIO_BUTTON = (30, 160 + 63)
# "Grayscale" in Picture Studio's sorted effect list: Add Noise, Blur,
# Brightness/Contrast, Color Resolution, Edge Enhance, Emboss, Gamma
# Correct, Grayscale.
GRAYSCALE_ROW = 7
# Picture Studio's OK button, in thousandths of the dialog window's width
# and height.
OK_BUTTON = (535, 925)
# The File menu and its Export Surface as Picture item, from the main
# window's corner.
FILE_MENU = (18, 32)
EXPORT_ITEM = (89, 188)
# A pixel is grey when its channels lie this close together; a picture is
# grey when nearly all its pixels are, and in colour when a good share is
# not.
GREY_SPREAD = 12
GREY_SHARE = 0.97
COLOUR_SHARE = 0.10


def spread(pixel):
    return max(pixel) - min(pixel)


def grey_share(pixels):
    pixels = list(pixels)
    if not pixels:
        return 0.0
    return sum(1 for p in pixels if spread(p) <= GREY_SPREAD) / len(pixels)


def box_pixels(picture, box, inset=0.15):
    """The pixels of box without a border of a share of its size (edges fall
    on a pixel either way)."""
    left, top, right, bottom = box
    dx, dy = int((right - left) * inset), int((bottom - top) * inset)
    for y in range(top + dy, bottom - dy, 2):
        for x in range(left + dx, right - dx, 2):
            yield picture.at(x, y)


def coloured_box(picture, area):
    """The bounding box of the clearly coloured pixels in area."""
    left, top, right, bottom = area
    found = None
    for y in range(top, bottom, 2):
        for x in range(left, right, 2):
            if spread(picture.at(x, y)) > 60:
                if found is None:
                    found = [x, y, x + 1, y + 1]
                else:
                    found = [min(found[0], x), min(found[1], y), max(found[2], x + 1), max(found[3], y + 1)]
    return tuple(found) if found else None


class Road(DesignRoad):
    def covered(self):
        return [w for w in self.session.windows() if w.wid != self.main.wid and w.name != "Tool Pad"]

    def settle(self, stage, quiet=0.5, answer=True):
        return super().settle(stage, quiet, answer)


def open_studio(session, road, blank):
    """Clicks the picture panel's "Open Picture Studio" on the tool pad."""
    pad = session.window_named("Tool Pad")
    if pad is None:
        raise Failure("no tool pad; windows: %r" % session.windows())
    left, top, _ = locate(blank, magick_picture(PAD_PICTURE), (pad.x + PALETTE_GUESS[0], pad.y + PALETTE_GUESS[1]), 8)
    road.click((left + STUDIO_BUTTON[0], top + STUDIO_BUTTON[1]))
    return session.wait_window("Picture Studio")


def grayscale_through_studio(session, road, studio):
    session.wait_ready(studio, "studio")
    # The list has the focus with the caret on its first entry.
    session.key(studio.wid, "Home", *(["Down"] * GRAYSCALE_ROW), "alt+a")
    session.settle("studio-grayscale")
    # Adjust keeps the focus, so Return would press it again: OK is clicked,
    # at its place in the dialog's layout.
    road.click((studio.x + studio.width * OK_BUTTON[0] // 1000, studio.y + studio.height * OK_BUTTON[1] // 1000))
    session.wait_gone(studio.wid, "Picture Studio to close")


def export_surface(session, road, main, path):
    # The design window's File menu gives the command no mnemonic of its
    # own: it is clicked, at its place in the menu.
    road.click((main.x + FILE_MENU[0], main.y + FILE_MENU[1]))
    session.settle("file-menu")
    road.click((main.x + EXPORT_ITEM[0], main.y + EXPORT_ITEM[1]))
    dialog = session.wait_window("Save As")
    session.wait_ready(dialog, "export")
    session.key(dialog.wid, "End", "shift+Home")
    session.type_text(windows_path(path))
    session.key(dialog.wid, "Return")
    session.wait_gone(dialog.wid, "the Save As dialog to close")
    written_file(path, "the exported picture")
    described = subprocess.run(["identify", "-format", "%m %w %h", path], capture_output=True, text=True,
                               timeout=60)
    if described.returncode != 0:
        raise Failure("identify cannot read the exported file: %s" % described.stderr)
    kind, width, height = described.stdout.split()
    if kind != "PNG":
        raise Failure("the exported file is %s, not PNG" % kind)
    return int(width), int(height)


def set_wallpaper(session, road, env):
    press(session, road.main, "alt+e", "b", "w")

    def message():
        return next((w for w in session.windows() if w.name == "Threadwick" and w.width < SCREEN[0] // 2), None)

    def named():
        got = subprocess.run(["gsettings", "get", "org.gnome.desktop.background", "picture-uri"], env=env,
                             capture_output=True, text=True, timeout=30)
        return got.stdout.strip() if got.returncode == 0 and "Wallpaper" in got.stdout else None

    def message_or_named():
        session.alive()
        if message():
            return "message", None
        uri = named()
        return ("named", uri) if uri else None
    outcome = wait_for("the wallpaper's name in the desktop's settings, or a message", message_or_named, 60,
                       interval=0.2)
    # Nor does a message come once the setting is made.
    session.settle("wallpaper", quiet=1.0, answer=False)
    if outcome[0] == "message" or message():
        session.shot("wallpaper-message")
        raise Failure("Set as Wallpaper answered with a message")
    return outcome[1]


def run(program, work, keep):
    horse = os.path.join(TESTDATA, HORSE)
    if not os.path.isfile(horse):
        raise SystemExit(77)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        # The desktop's settings in a key file of this test's own, and no
        # print server: the PDF-file printer is the one printer.
        config = os.path.join(work, "config")
        os.makedirs(config)
        env.update(GSETTINGS_BACKEND="keyfile", XDG_CONFIG_HOME=config, XDG_CURRENT_DESKTOP="GNOME",
                   CUPS_SERVER=os.path.join(work, "no-cups-server"))
        session = Session(program, env, work, keep, "studio", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        road = Road(session, main)
        clear_dialogs(session)
        blank = road.settle("blank")
        page = road.page(blank)

        insert_picture(session, road, horse)
        inserted = road.settle("inserted")
        box, _ = changed_box(blank, inserted, page)
        if box is None:
            raise Failure("nothing came on the page after inserting the picture")
        box = coloured_box(inserted, box) or box
        if 1.0 - grey_share(box_pixels(inserted, box)) < COLOUR_SHARE:
            raise Failure("the inserted horse shows no colour at %r" % (box,))

        grayscale_through_studio(session, road, open_studio(session, road, blank))
        grey = road.settle("grey")
        share = grey_share(box_pixels(grey, box))
        if share < GREY_SHARE:
            raise Failure("after Grayscale in Picture Studio only %.0f%% of the picture is grey" % (share * 100))

        exported = os.path.join(work, "surface.png")
        width, height = export_surface(session, road, main, exported)
        if abs(width * 1100 - height * 850) > max(width, height) * 20:
            raise Failure("the exported surface is %d x %d, not a Letter page's proportions" % (width, height))

        printed = print_to_pdf(session, road, os.path.join(work, "printed.pdf"))
        area = (0, 0, printed.width, printed.height)
        picture = coloured_box(printed, area)
        if picture is not None:
            raise Failure("the printed page shows colour at %r, not the grey picture" % (picture,))
        dark = sum(1 for p in box_pixels(printed, area, 0.0) if max(p) < 200)
        if dark < 200:
            raise Failure("the printed page shows no picture (%d darker pixels)" % dark)

        uri = set_wallpaper(session, road, env)
        print("e2e: the desktop's background is now %s" % uri)
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "studio", run, tools=TOOLS)


if __name__ == "__main__":
    sys.exit(main())
