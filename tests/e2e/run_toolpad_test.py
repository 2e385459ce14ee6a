#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb and
works with the tool pad and the text and fill dialogs as a user does,
checking a screenshot of each step:

- a new shirt design: the tool pad shows its picture (found where the pad
  is, against ImageMagick's reading of support/toolpad.jpg) with the hint
  panel;
- Insert > Text > Through Text Effects Dialog: "Hello" typed, size 36 from
  the size list, Bold, red from the text colour's popup, OK: red text on the
  page, and the tool pad's context panel changes to the text panel;
- Italic on the text panel: the text on the page is drawn again, slanted;
- the rectangle tool from the Object menu and a rectangle dragged on the
  page: the shape panel; its "Apply Color/Fill" opens Color/Fill; Gradient,
  three colours, the left-to-right direction, OK: the rectangle's left and
  right probes carry the start and end colours;
- Next on the navigation panel: the back, an empty page;
- the pointer resting on the surface picture: the flyout chooser opens;
  its first cell chosen: the front again, with the text and the rectangle.

Usage: run_toolpad_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import and convert are not installed. Every wait is bounded;
Xvfb and the program are always stopped. With THREADWICK_E2E_SHOTS set to a
folder, the screenshots are kept there."""

import os
import sys

from e2e_support import (POLL, DesignRoad, Failure, Session, bounds, changed_box, clear_dialogs, locate,
                         magick_picture, program_env, run_script, start_xvfb, stop_processes, wait_for)

SCREEN = (1024, 768)
TOOLS = ("Xvfb", "xdotool", "import", "convert")
SHIRT_KIND = 0
PICTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "support",
                       "toolpad.jpg")
# The palette lies inside the tool pad's frame, below its caption.
PALETTE_GUESS = (7, 24)
# Places in the palette (centres), from the panels' layouts: the text
# panel's Italic, the shape panel's "Apply Color/Fill", the navigation
# panel's Next and surface picture.
ITALIC = (49, 160 + 99)
APPLY_FILL = (30, 160 + 97)
NEXT = (107, 312 + 32)
SURFACE_PICTURE = (67, 312 + 30)
# The context panel's area of the palette.
CONTEXT = (0, 160, 126, 312)
# The Color/Fill dialog's direction picker's left cell (bands from left to
# right), in thousandths of the dialog window's width and height.
DIRECTION_CELL = (242, 811)

# Mean difference per channel between the palette on screen and the picture
# where no control covers it.
PAD_ALIKE = 12.0


def red(pixel):
    return pixel[0] >= 160 and pixel[1] <= 80 and pixel[2] <= 80


def text_reds(shot, page):
    """The red pixels of the page well inside its margin line (which is red
    too)."""
    return [(x, y) for y in range(page[1] + 20, page[3] - 30) for x in range(page[0] + 20, page[2] - 20)
            if red(shot.at(x, y))]


def near(pixel, colour, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


class Road(DesignRoad):
    def __init__(self, session, main):
        DesignRoad.__init__(self, session, main)
        self.pad = None
        self.origin = None

    def covered(self):
        return [w for w in self.session.windows() if w.wid != self.main.wid and w.name != "Tool Pad"]

    def find_pad(self, shot):
        pad = self.session.window_named("Tool Pad")
        if pad is None:
            raise Failure("no tool pad; windows: %r" % self.session.windows())
        picture = magick_picture(PICTURE)
        # Only the workspace panel's top rows and the left margin are free of
        # controls; the whole picture still matches best where it lies.
        left, top, difference = locate(shot, picture, (pad.x + PALETTE_GUESS[0], pad.y + PALETTE_GUESS[1]), 8)
        self.pad, self.origin = pad, (left, top)
        strip = 0
        for y in range(0, picture.height, 4):
            a, b = shot.at(left + 2, top + y), picture.at(2, y)
            strip += abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2])
        strip /= 3 * len(range(0, picture.height, 4))
        if strip > PAD_ALIKE:
            raise Failure("the tool pad's margin differs from its picture by %.1f per channel (whole: %.1f)" %
                          (strip, difference))

    def at_palette(self, point):
        return (self.origin[0] + point[0], self.origin[1] + point[1])

    def context_area(self):
        left, top = self.at_palette(CONTEXT[:2])
        right, bottom = self.at_palette(CONTEXT[2:])
        return (left, top, right, bottom)


def differs(before, after, box, share=0.02):
    """Whether enough pixels of box changed between the shots."""
    _, count = changed_box(before, after, box)
    return count >= (box[2] - box[0]) * (box[3] - box[1]) * share


def text_effects(session, road):
    """Insert > Text > Through Text Effects Dialog, filled in and OK."""
    road.keys("alt+i", "t", "t", "Return")
    dialog = session.wait_window("Text Effects")
    session.wait_ready(dialog, "text-effects")
    session.type_text("Hello")
    # The size list: End is 72, two up is 36.
    session.key(dialog.wid, "alt+z", "End", "Up", "Up")
    session.settle("size-36")

    def click(x, y, stage):
        """A click that shows: the toggle pressed, the popup up or gone."""
        road.click((x, y))
        session.settle(stage)

    # Bold (the first style toggle) and the text colour button, found on the
    # screen: the dialog's places scale with its font.
    scale_x, scale_y = dialog.width / 326.0, dialog.height / 242.0
    click(dialog.x + int(14 * scale_x), dialog.y + int(206 * scale_y), "bold")
    click(dialog.x + int(288 * scale_x), dialog.y + int(38 * scale_y), "colour-button")
    popup = wait_for("the colour popup", lambda: next((w for w in session.windows() if w.name == "" and
                                                      w.width < 200 and w.height < 200), None), 30, interval=POLL)
    swatches = session.wait_drawn(popup, "colour-popup")
    spot = next(((x, y) for y in range(popup.y, popup.y + popup.height) for x in range(popup.x, popup.x + popup.width)
                 if red(swatches.at(x, y)) and red(swatches.at(x + 3, y + 3))), None)
    if spot is None:
        raise Failure("the colour popup %r shows no red swatch" % (popup,))
    click(spot[0] + 2, spot[1] + 2, "dialog-filled")
    # OK is the default button; the text edit keeps Return for itself.
    road.click((dialog.x + int(180 * scale_x), dialog.y + int(200 * scale_y)))
    session.wait_gone(dialog.wid, "the Text Effects dialog to close")


def color_fill(session, road):
    """The shape panel's "Apply Color/Fill", Gradient with three colours
    running left to right, OK."""
    road.click(road.at_palette(APPLY_FILL))
    dialog = session.wait_window("Color/Fill")
    session.wait_ready(dialog, "color-fill")
    session.key(dialog.wid, "alt+g")
    session.settle("gradient-chosen")
    session.key(dialog.wid, "alt+m", "Down")
    session.settle("three-colours")
    return dialog


def run(program, work, keep):
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        session = Session(program, env, work, keep, "toolpad", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        road = Road(session, main)
        clear_dialogs(session)
        blank = road.settle("blank")
        page = road.page(blank)
        road.find_pad(blank)

        # ---- Text through Text Effects: red text, the text panel.
        text_effects(session, road)
        texted = road.settle("text")
        reds = text_reds(texted, page)
        found = bounds(reds)
        if found is None or len(reds) < 40:
            raise Failure("no red text on the page after Text Effects (%d red pixels)" % len(reds))
        if not differs(blank, texted, road.context_area()):
            raise Failure("the tool pad's context panel did not change for the text")

        # ---- Italic on the text panel.
        road.click(road.at_palette(ITALIC))
        slanted = road.settle("italic")
        if found is None or not differs(texted, slanted, found, 0.05):
            raise Failure("Italic on the text panel did not redraw the text at %r" % (found,))

        # ---- A rectangle, its gradient through the shape panel.
        road.keys("alt+o", "d", "r")
        width, height = page[2] - page[0], page[3] - page[1]
        box = (page[0] + width * 20 // 100, page[1] + height * 55 // 100, page[0] + width * 80 // 100,
               page[1] + height * 75 // 100)
        road.drag(box[:2], box[2:])
        drawn = road.settle("rectangle")
        if not differs(slanted, drawn, road.context_area()):
            raise Failure("the tool pad's context panel did not change for the rectangle")
        dialog = color_fill(session, road)
        # The direction picker's left cell: the bands run left to right.
        road.click((dialog.x + dialog.width * DIRECTION_CELL[0] // 1000,
                    dialog.y + dialog.height * DIRECTION_CELL[1] // 1000))
        session.shot("direction")
        session.key(dialog.wid, "Return")
        session.wait_gone(dialog.wid, "the Color/Fill dialog to close")
        filled = road.settle("gradient")
        middle = (box[1] + box[3]) // 2
        left_probe, right_probe = filled.at(box[0] + 6, middle), filled.at(box[2] - 6, middle)
        if not near(left_probe, (128, 0, 128)) or not near(right_probe, (255, 0, 0)):
            raise Failure("the gradient's probes show %r on the left and %r on the right" %
                          (left_probe, right_probe))

        # ---- Next: the back; resting on its picture: the flyout; the front.
        road.click(road.at_palette(NEXT))
        back = road.settle("back")
        if text_reds(back, page):
            raise Failure("the back shows the front's red text")
        before = session.windows()
        # The pointer resting there is what the program answers.
        session.pointer(["mousemove", "--sync", *map(str, road.at_palette(SURFACE_PICTURE))])
        flyout = wait_for("the surface flyout", lambda: next(
            (w for w in session.windows() if w.name == "" and all(w.wid != b.wid for b in before)), None), 30,
            interval=POLL)
        session.wait_drawn(flyout, "flyout")
        road.click((flyout.x + 20, flyout.y + 16))
        session.wait_gone(flyout.wid, "the flyout to close")
        # The flyout closes under the pointer, over the surface picture: left
        # there, the pointer would open it again while the program is asked
        # to end.
        road.move(SCREEN[0] - 20, SCREEN[1] // 2)
        front = road.settle("front")
        if len(text_reds(front, page)) < 40:
            raise Failure("choosing the front in the flyout did not show the front's red text")
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "toolpad", run, tools=TOOLS)


if __name__ == "__main__":
    sys.exit(main())
