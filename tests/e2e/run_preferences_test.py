#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb, opens
Tools > Preferences over a new design and changes the Defaults page the way
a user does: centimetres and the "2 cm grid", a background colour from the
colour popup and a picture folder picked with "..." in the folder tree. OK
paints the workspace round the page in the new colour. The program is then
quit from its File menu and started again: the workspace has the chosen
colour at once, and the sheet shows the same choices.

Checks work on screenshots: the workspace colour in the design window, the
colour button and the dots of the chosen radio buttons in the sheet; the
picture folder is looked for in the profile the program wrote.

Usage: run_preferences_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick's
import is not installed. Every wait is bounded; Xvfb and the program are
always stopped. With THREADWICK_E2E_SHOTS set to a folder, the screenshots
are kept there."""

import os
import sys

from e2e_support import (DIALOGS_TO_ANSWER, PAGE_SETUP_TITLE, POLL, Failure, Session as ProgramSession, clear_dialogs,
                         count_pixels, pixel_at, program_env, program_windows, run_script, start_xvfb, stop_processes,
                         wait_for, windows_path)

SCREEN = (1024, 768)
SHEET_TITLE = "Program Configuration"
FOLDER_PICKER_TITLE = "Browse for Folder"
# The colour chosen in the popup: one that nothing else on the screen shows.
FUCHSIA = (255, 0, 255)

# Places in the sheet, from its top-left corner: the Defaults tab, the
# centres of the radio buttons' circles, the colour button, the picture
# folder's field and its "..." button, and OK. The sheet's layout comes
# from its dialog units and the program's own fonts, the same on every
# display.
DEFAULTS_TAB = (113, 45)
GRID_2CM = (45, 249)
GRID_1CM = (45, 230)
UNITS_INCHES = (228, 174)
UNITS_CM = (228, 192)
COLOUR_BUTTON = (139, 324)
CHOOSE_COLOUR = (45, 324)
PICTURE_FIELD = (220, 118)
PICTURE_BROWSE = (357, 118)
OK_BUTTON = (118, 379)


def dot_shown(shot, x, y):
    """Whether the radio button whose circle is centred at (x, y) shows its
    black dot."""
    return count_pixels(shot, x - 3, y - 3, 7, 7, lambda p: p == (0, 0, 0)) >= 6


class Session(ProgramSession):
    """One run of the program on the display."""

    def __init__(self, program, env, work, keep, name):
        ProgramSession.__init__(self, program, env, work, keep, "preferences-" + name, SCREEN)

    def click(self, window, place, stage):
        """A click at a place of window; returns once the screen shows it."""
        x, y = window.x + place[0], window.y + place[1]
        self.pointer(["mousemove", "--sync", str(x), str(y), "sleep", "0.1", "click", "1"])
        return self.settle(stage)

    def new_design(self):
        """A blank shirt design through the launcher; its main window."""
        launch = self.wait_launcher()
        self.wait_ready(launch, "launcher")
        self.key(launch.wid, "alt+w", "Home", "alt+b", "Return")
        main = self.wait_design("Shirt", "a shirt design window", answer=DIALOGS_TO_ANSWER + (PAGE_SETUP_TITLE,))
        # The tip of the day may still come over the new design.
        clear_dialogs(self)
        return main

    def workspace_pixels(self, main, colour, stage):
        """How many pixels of the design window's lower part have the colour
        (the workspace round the page; the bars are at the top)."""
        shot = self.shot(stage)
        return count_pixels(shot, main.x, main.y + 150, main.width, main.height - 200, lambda p: p == colour)

    def open_defaults(self, main, stage):
        """Tools > Preferences, then the Defaults tab; the sheet's window and
        the screenshot once the tab shows."""
        self.key(main.wid, "alt+t", "p")
        sheet = self.wait_window(SHEET_TITLE)
        self.wait_ready(sheet, "sheet")
        return sheet, self.click(sheet, DEFAULTS_TAB, stage)


def find_colour(shot, window, colour):
    """The centre of the pixels of a colour inside a window, or None."""
    width, height, pixels = shot
    xs, ys = [], []
    for y in range(max(window.y, 0), min(window.y + window.height, height)):
        for x in range(max(window.x, 0), min(window.x + window.width, width)):
            offset = (y * width + x) * 3
            if tuple(pixels[offset:offset + 3]) == colour:
                xs.append(x)
                ys.append(y)
    if len(xs) < 9:
        return None
    return (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2


def profile_text(home):
    """The text of every profile file the program wrote under its home."""
    text = ""
    for folder, _, files in os.walk(home):
        for name in files:
            if name == "registry":
                with open(os.path.join(folder, name), "rb") as f:
                    text += f.read().decode("latin-1")
    return text


def run(program, work, keep):
    # The picture folder is picked in the tree: its parent is typed into the
    # field first, so the tree opens there, and the one folder inside is
    # chosen with the keys (Right opens a closed folder and goes into an
    # open one; on a folder without folders inside it does nothing).
    parent = os.path.join(work, "pics")
    chosen = os.path.join(parent, "chosen")
    os.makedirs(chosen)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)

        # ---- First run: change the Defaults page.
        session = Session(program, env, work, keep, "1")
        main = session.new_design()
        if session.workspace_pixels(main, FUCHSIA, "design") > 0:
            raise Failure("the workspace is fuchsia before it was chosen")
        sheet, _ = session.open_defaults(main, "defaults")
        session.click(sheet, UNITS_CM, "centimetres")
        session.click(sheet, GRID_2CM, "grid-2cm")

        # The colour popup: its fuchsia cell. The workspace starts on the
        # shipped background picture, so the colour is chosen first.
        session.click(sheet, CHOOSE_COLOUR, "colour-chosen")
        before = {w.wid for w in program_windows(env)}
        session.click(sheet, COLOUR_BUTTON, "colour-button")
        popup = wait_for("the colour popup",
                         lambda: next((w for w in program_windows(env) if w.wid not in before), None), 30,
                         interval=POLL)
        cell = find_colour(session.wait_drawn(popup, "popup"), popup, FUCHSIA)
        if cell is None:
            raise Failure("no fuchsia cell in the colour popup %r" % popup)
        session.pointer(["mousemove", "--sync", str(cell[0]), str(cell[1]), "click", "1"])
        wait_for("the colour popup to close",
                 lambda: not any(w.wid == popup.wid for w in program_windows(env)), 30, interval=POLL)
        session.settle("fuchsia-chosen")

        # The picture folder through "..." and the folder tree.
        session.click(sheet, PICTURE_FIELD, "picture-field")
        session.key(sheet.wid, "End", "shift+Home")
        session.type_text(windows_path(parent))
        session.click(sheet, PICTURE_BROWSE, "browse")
        picker = wait_for("the folder tree", lambda: session.alive() or session.window_named(FOLDER_PICKER_TITLE),
                          60, interval=POLL)
        session.wait_ready(picker, "folder-tree")
        session.key(picker.wid, "Right", "Right", "Return")
        wait_for("the folder tree to close", lambda: not session.window_named(FOLDER_PICKER_TITLE), 30,
                 interval=POLL)
        shot = session.settle("defaults-changed")
        if pixel_at(shot, sheet.x + COLOUR_BUTTON[0], sheet.y + COLOUR_BUTTON[1]) != FUCHSIA:
            raise Failure("the colour button does not show the fuchsia chosen")
        session.click(sheet, OK_BUTTON, "ok")
        wait_for("the sheet to close", lambda: session.alive() or not session.window_named(SHEET_TITLE), 30,
                 interval=POLL)
        wait_for("the fuchsia workspace", lambda: session.workspace_pixels(main, FUCHSIA, "after-ok") > 2000, 30,
                 interval=0.1)
        session.quit()

        profile = profile_text(os.path.join(work, "home"))
        if windows_path(chosen).lower() not in profile.lower():
            raise Failure("the profile does not hold the picture folder %s" % windows_path(chosen))

        # ---- Second run: the same choices.
        session = Session(program, env, work, keep, "2")
        main = session.new_design()
        wait_for("the fuchsia workspace after the restart",
                 lambda: session.workspace_pixels(main, FUCHSIA, "design") > 2000, 30, interval=0.1)
        sheet, shot = session.open_defaults(main, "defaults-again")
        if not dot_shown(shot, sheet.x + UNITS_CM[0], sheet.y + UNITS_CM[1]) \
                or dot_shown(shot, sheet.x + UNITS_INCHES[0], sheet.y + UNITS_INCHES[1]):
            raise Failure("the sheet does not show centimetres again")
        if not dot_shown(shot, sheet.x + GRID_2CM[0], sheet.y + GRID_2CM[1]) \
                or dot_shown(shot, sheet.x + GRID_1CM[0], sheet.y + GRID_1CM[1]):
            raise Failure("the sheet does not show the 2 cm grid again")
        if pixel_at(shot, sheet.x + COLOUR_BUTTON[0], sheet.y + COLOUR_BUTTON[1]) != FUCHSIA:
            raise Failure("the colour button does not show fuchsia again")
        session.key(sheet.wid, "Escape")
        wait_for("the sheet to close", lambda: session.alive() or not session.window_named(SHEET_TITLE), 30,
                 interval=POLL)
        session.quit()
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "preferences", run)


if __name__ == "__main__":
    sys.exit(main())
