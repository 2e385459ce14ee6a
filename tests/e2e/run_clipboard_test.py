#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb and
takes pictures into designs, between designs and from another program,
checking a screenshot of each step:

- a new shirt design; Insert > Picture > From Other Location (its Single
  Preview gives the file dialog) with a test PNG: the picture shows on the
  page as ImageMagick reads the file;
- Ctrl+C: xclip, the other program, finds image/png among the clipboard's
  targets and reads a PNG that is the picture as the screen shows it, pixel
  for pixel;
- Edit > Edit Object > Crop Tool greys the menu bar; the picture's top
  handle dragged down hides its top quarter, and a click on the picture
  completes the crop and gives the menu bar back; Picture Crop's Reset and
  OK show the whole picture again;
- Ctrl+N, a new shirt design, Ctrl+V: the copied picture on its page;
- a JPEG given to xclip as image/jpeg and Ctrl+V: a second picture object
  showing the photograph as ImageMagick reads it;
- Ctrl+A, Object > Group Items: a click on one picture selects both;
  Object > Lock Items: the handles go, and a drag moves nothing;
- the zoom tool's button on the formatting toolbar and a band dragged on
  the page: the page zooms and the zoom list on the standard toolbar shows
  another entry; View > Fit In Window shows the page as before;
- File > Save As, the program left and started again with the file on its
  command line: the page shows both pictures as they were, still locked.

Usage: run_clipboard_test.py <path of threadwick>
(the test pictures come from $THREADWICK_TESTDATA, else the test data
beside the source tree; skipped when they are missing)
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool, xclip or
ImageMagick's import and convert are not installed. Every wait is bounded;
Xvfb, xclip and the program are always stopped. With THREADWICK_E2E_SHOTS
set to a folder, the screenshots are kept there."""

import os
import shutil
import subprocess
import sys

from e2e_support import (DesignRoad, Failure, Picture, Session, changed_box, clear_dialogs, die_with_parent,
                         insert_picture, locate, magick_picture, mean_difference, press, run_script, program_env,
                         start_xvfb, stop_processes, wait_for)

SCREEN = (1024, 768)
TOOLS = ("Xvfb", "xdotool", "xclip", "import", "convert")
SHIRT_KIND = 0
DESIGN_NAME = "Pictures"
EXTENSION = ".shr"
TESTDATA = os.environ.get("THREADWICK_TESTDATA") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "testdata")
# A digit over a field of colours, and a photograph of a tower on a blue
# sky: neither looks like the other, nor like the page. The PNG has no
# gamma chunk, which ImageMagick would apply and the program does not.
PNG = os.path.join("png", "bin-libsixel-examples__f02n2c08.png")
JPEG = os.path.join("jpeg", "bin-librust-jpeg-decoder-dev__tower_progressive.jpg")

CROP_TITLE = "Picture Crop"
# Places in the main window from its top-left corner; the bars' layouts
# come from the program's own resources, the same on every display.
MENU_BAR = (8, 25, 304, 40)
ZOOM_TOOL_BUTTON = (177, 85)
ZOOM_LIST = (300, 45, 432, 61)

# The largest mean difference per channel between the screen and the
# clipboard's PNG of what it shows;
EXACT = 0.5
# ... between the screen and that PNG where the picture is drawn again
# (pasted, moved, cropped): a page placed elsewhere in its window may
# sample the stretched picture a fraction of a pixel apart;
SAME = 4.0
# ... and between the screen and ImageMagick's reading of a file stretched
# to the object's size: the two stretch a picture in their own ways.
ALIKE = 10.0
# Pixels that may differ where nothing should have changed.
STILL = 40


def menus_open(session, main, tool_pad):
    """The program's windows besides the main window and the tool pad: the
    open popup menus and dialogs."""
    return [w for w in session.windows() if w.wid not in (main.wid, tool_pad.wid if tool_pad else None)]


def xclip(env, *args, timeout=15):
    """Runs xclip on the clipboard of env's display; its output."""
    done = subprocess.run(["xclip", "-selection", "clipboard", *args], env=env, capture_output=True,
                          timeout=timeout)
    if done.returncode != 0:
        raise Failure("xclip %s failed: %s" % (" ".join(args), done.stderr.decode(errors="replace")))
    return done.stdout


def offered(env):
    """The targets the clipboard's owner offers; none while it has no owner."""
    try:
        return xclip(env, "-t", "TARGETS", "-o").decode(errors="replace").split()
    except Failure:
        return []


def colour_share(shot, box, test):
    """The share of the pixels of box that pass test."""
    left, top, right, bottom = box
    return shot.count(left, top, right, bottom, test) / max(1, (right - left) * (bottom - top))


def rotation_handles(shot, boxes):
    """For each object's box, whether its green rotation handle shows a
    little way right of its middle."""
    def green(p):
        return p[0] <= 16 and 144 <= p[1] <= 176 and p[2] <= 16
    found = []
    for left, top, right, bottom in boxes:
        middle = (top + bottom) // 2
        found.append(shot.count(right + 4, middle - 8, right + 80, middle + 8, green) > 0)
    return found


class Road(DesignRoad):
    """The design window being worked on, with its page found blank."""

    def __init__(self, session, main, stage):
        DesignRoad.__init__(self, session, main)
        clear_dialogs(session)
        self.blank = self.settle(stage)
        self.page_box = self.page(self.blank)
        left, top, right, bottom = self.page_box
        if right - left < 250 or bottom - top < 300:
            raise Failure("the page %r is too small to work on" % (self.page_box,))

    def deselect(self, stage, answer=True):
        """A click on an empty corner of the page: nothing stays selected.
        Without answer, the click is not waited for to change the screen."""
        self.click((self.page_box[0] + 12, self.page_box[1] + 12))
        return self.settle(stage, answer=answer)

    def around_page(self):
        left, top, right, bottom = self.page_box
        return (max(left - 200, 0), top, min(right + 100, SCREEN[0]), bottom)


def check_picture(shot, box, picture, limit, what):
    """The picture shows at the top-left corner of box within limit, the
    corner looked for a few pixels round; answers where it was found."""
    left, top, difference = locate(shot, picture, box[:2])
    if difference > limit:
        raise Failure("%s: the screen near %r differs by %.1f per channel on average" % (what, box[:2], difference))
    return left, top


def copy_out(session, road, png, work):
    """Ctrl+C over the selected picture: image/png for xclip, the very
    pixels the screen shows. Answers the PNG read and where it shows."""
    road.keys("ctrl+c")
    shown = road.deselect("copied")
    targets = [[]]

    def png_offered():
        targets[0] = offered(session.env)
        return "image/png" in targets[0]
    try:
        wait_for("the clipboard to offer image/png", png_offered, 30, interval=0.1)
    except Failure:
        raise Failure("after Ctrl+C the clipboard offers %r, no image/png" % targets[0])
    path = os.path.join(work, "clipboard.png")
    with open(path, "wb") as f:
        f.write(xclip(session.env, "-t", "image/png", "-o"))
    clip = magick_picture(path)
    if clip.width < 60 or clip.height < 60:
        raise Failure("the clipboard's PNG is %dx%d, too small for the picture shown" % (clip.width, clip.height))
    # The picture's left and lower edges are strong colours, unlike its
    # upper right corner, which fades into the page's white.
    box, _ = changed_box(road.blank, shown, road.page_box)
    if box is None:
        raise Failure("the inserted picture does not show on the page")
    place = check_picture(shown, (box[0], box[3] - clip.height), clip, EXACT, "the clipboard's PNG against the screen")
    testdata = magick_picture(png, (clip.width, clip.height))
    difference = mean_difference(shown, place[0], place[1], testdata)
    if difference > ALIKE:
        raise Failure("the inserted picture differs from ImageMagick's reading of the file by %.1f per channel"
                      % difference)
    return clip, place


def crop_and_reset(session, road, tool_pad, clip, place):
    """The crop tool's top handle dragged down a quarter of the picture and
    a click on what is left; then Picture Crop, Reset, OK."""
    left, top = place
    width, height = clip.width, clip.height
    cut = height // 4
    hidden = (left + 2, top + 2, left + width - 2, top + cut - 3)
    kept = Picture(width, height - cut - 3, clip.pixels[(cut + 3) * width * 3:])

    def check_cropped(shot, what):
        """The top quarter shows the page, the rest of the picture where it was."""
        paper = colour_share(shot, hidden, lambda p: min(p) >= 245)
        difference = mean_difference(shot, left, top + cut + 3, kept)
        if paper < 0.95 or difference > SAME:
            raise Failure("%s: %d %% of the top quarter shows the page, and the rest differs by %.1f per channel" %
                          (what, paper * 100, difference))

    road.click((left + width // 2, top + height // 2))
    before = road.settle("before-crop")
    press(session, road.main, "alt+e", "b", "t")
    # Two items of the submenu answer to T: the first press only marks the
    # crop tool's.
    if menus_open(session, road.main, tool_pad):
        press(session, road.main, "Return")
    cropping = road.settle("crop-tool")
    bar = tuple(road.main.x + n if i % 2 == 0 else road.main.y + n for i, n in enumerate(MENU_BAR))
    _, greyed = changed_box(before, cropping, bar)
    if greyed < 20:
        raise Failure("the crop tool left the menu bar as it was")

    road.drag((left + width // 2, top), (left + width // 2, top + cut))
    check_cropped(road.settle("crop-dragged"), "the top handle dragged down")
    road.click((left + width // 2, top + 5 * height // 8))
    completed = road.settle("crop-completed")
    _, count = changed_box(before, completed, bar)
    if count > STILL // 4:
        raise Failure("after the crop the menu bar is not as before (%d pixels differ)" % count)
    check_cropped(completed, "the completed crop")

    press(session, road.main, "alt+e", "b", "e")
    dialog = session.wait_window(CROP_TITLE)
    session.wait_ready(dialog, "crop-dialog")
    session.key(dialog.wid, "alt+r")
    session.settle("crop-reset")
    session.key(dialog.wid, "Return")
    session.wait_gone(dialog.wid, "the Picture Crop dialog to close")
    whole = road.deselect("crop-undone")
    difference = mean_difference(whole, left, top, clip)
    if difference > SAME:
        raise Failure("after Reset and OK the picture differs from the whole one by %.1f per channel" % difference)


def new_design(session, title):
    """Ctrl+N and a blank shirt design from the launcher."""
    main = session.main_window()
    session.key(main.wid, "ctrl+n")
    return session.new_blank_design(session.wait_launcher(), SHIRT_KIND, title)


def paste_both(session, road, clip, jpeg, helpers):
    """Ctrl+V of the copied picture, moved aside; a JPEG from xclip pasted
    beside it (xclip's process joins helpers). Answers the boxes of both
    and the page showing them."""
    # The paste shows before the click that deselects it: the program may
    # still be fetching the clipboard's data when the click comes.
    road.keys("ctrl+v")
    road.settle("pasting")
    pasted = road.deselect("pasted")
    box, _ = changed_box(road.blank, pasted, road.page_box)
    if box is None:
        raise Failure("Ctrl+V shows nothing on the new design's page")
    left, top = check_picture(pasted, (box[0], box[3] - clip.height), clip, SAME, "the pasted picture")

    # Aside, so that the photograph does not hide it.
    centre = (left + clip.width // 2, top + clip.height // 2)
    road.click(centre)
    road.settle("picked")
    # The drag's press comes past the double-click time: a press that quick
    # would open the picture's Picture dialog instead of dragging.
    road.drag(centre, (centre[0] - 90, centre[1]))
    moved = road.deselect("moved")
    left, top = check_picture(moved, (left - 90, top), clip, SAME, "the picture dragged aside")
    png_box = (left, top, left + clip.width, top + clip.height)

    # In the foreground, xclip serves the clipboard until it is stopped.
    helpers.append(subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-t", "image/jpeg", "-i", jpeg],
                                    env=session.env, preexec_fn=die_with_parent, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL))
    wait_for("xclip to offer the JPEG", lambda: "image/jpeg" in offered(session.env), 30, interval=0.1)
    road.keys("ctrl+v")
    road.settle("pasting-jpeg")
    both = road.deselect("pasted-jpeg")
    box, _ = changed_box(moved, both, road.around_page())
    if box is None or box[2] - box[0] < 60 or box[3] - box[1] < 60:
        raise Failure("Ctrl+V of xclip's JPEG shows %r" % (box,))
    photo = magick_picture(jpeg, (box[2] - box[0], box[3] - box[1]))
    difference = mean_difference(both, box[0], box[1], photo)
    if difference > ALIKE:
        raise Failure("the pasted JPEG differs from ImageMagick's reading by %.1f per channel" % difference)
    return png_box, box, both


def group_and_lock(session, road, png_box, jpeg_box, shown):
    """Object > Group Items over both; Object > Lock Items over the group."""
    # The part of the first picture the photograph leaves uncovered.
    uncovered = ((png_box[0] + jpeg_box[0]) // 2, (png_box[1] + png_box[3]) // 2)
    area = road.around_page()
    boxes = (png_box, jpeg_box)
    road.click(uncovered)
    alone = rotation_handles(road.settle("one-selected"), boxes)
    if alone != [True, False]:
        raise Failure("a click on the first picture shows rotation handles %r, not its own alone" % alone)
    road.keys("ctrl+a")
    press(session, road.main, "alt+o", "g")
    road.deselect("grouped")
    road.click(uncovered)
    group = rotation_handles(road.settle("group-selected"), boxes)
    if group != [True, True]:
        raise Failure("after Group Items a click on one picture shows rotation handles %r, not both" % group)

    press(session, road.main, "alt+o", "l")
    locked = rotation_handles(road.settle("locked"), boxes)
    if any(locked):
        raise Failure("locked pictures still show rotation handles %r" % locked)
    before = road.deselect("locked-deselected")
    centre = ((jpeg_box[0] + jpeg_box[2]) // 2, (jpeg_box[1] + jpeg_box[3]) // 2)
    road.drag(centre, (centre[0] + 50, centre[1] + 40))
    # The drag moves nothing, and nothing was selected to deselect.
    after = road.deselect("locked-dragged", answer=False)
    box, count = changed_box(before, after, area)
    if count > STILL:
        raise Failure("a drag moved locked pictures: %d pixels changed over %r" % (count, box))
    box, count = changed_box(shown, after, area)
    if count > STILL:
        raise Failure("grouping and locking changed the pictures shown: %d pixels over %r" % (count, box))
    return after


def zoom_band(session, road, jpeg_box, fitted):
    """The zoom tool's button and a band over the photograph; then View >
    Fit In Window."""
    main = road.main
    road.click((main.x + ZOOM_TOOL_BUTTON[0], main.y + ZOOM_TOOL_BUTTON[1]))
    road.settle("zoom-tool")
    start = (jpeg_box[0] + 20, jpeg_box[1] + 20)
    road.drag(start, (start[0] + 80, start[1] + 80))
    zoomed = road.settle("zoomed")
    combo = (main.x + ZOOM_LIST[0], main.y + ZOOM_LIST[1], main.x + ZOOM_LIST[2], main.y + ZOOM_LIST[3])
    _, count = changed_box(fitted, zoomed, combo)
    if count < 20:
        raise Failure("the zoom tool's band left the zoom list as it was")
    _, count = changed_box(fitted, zoomed, road.page_box)
    if count < (road.page_box[2] - road.page_box[0]) * (road.page_box[3] - road.page_box[1]) // 4:
        raise Failure("the zoom tool's band hardly changed the view (%d pixels)" % count)
    road.keys("alt+v", "f")
    again = road.settle("fitted-again")
    box, count = changed_box(fitted, again, road.around_page())
    if count > STILL:
        raise Failure("Fit In Window after the zoom shows %d pixels otherwise, over %r" % (count, box))


def page_differences(shot, page, reference, reference_page):
    """Pixels of two pages, each read from its own corner, that differ."""
    width, height = page[2] - page[0], page[3] - page[1]
    count = 0
    for y in range(height):
        for x in range(width):
            a = shot.at(page[0] + x, page[1] + y)
            b = reference.at(reference_page[0] + x, reference_page[1] + y)
            if any(abs(p - q) > 24 for p, q in zip(a, b)):
                count += 1
    return count


def run(program, work, keep):
    png, jpeg = os.path.join(TESTDATA, PNG), os.path.join(TESTDATA, JPEG)
    if not os.path.isfile(png) or not os.path.isfile(jpeg):
        raise SystemExit(77)
    pictures = os.path.join(work, "pictures")
    os.makedirs(pictures)
    png = shutil.copy(png, os.path.join(pictures, "digit.png"))
    jpeg = shutil.copy(jpeg, os.path.join(pictures, "tower.jpg"))
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    path = os.path.join(folder, DESIGN_NAME + EXTENSION)
    xvfb, display = start_xvfb(*SCREEN)
    session = None
    helpers = []
    try:
        env = program_env(display, work)
        session = Session(program, env, work, keep, "clipboard-1", SCREEN)
        main = session.new_blank_design(session.wait_launcher(), SHIRT_KIND, "Shirt1")
        tool_pad = session.window_named("Tool Pad")
        road = Road(session, main, "blank")

        insert_picture(session, road, png)
        road.settle("inserted")
        clip, place = copy_out(session, road, png, work)
        crop_and_reset(session, road, tool_pad, clip, place)

        main = new_design(session, "Shirt2")
        road = Road(session, main, "blank-2")
        png_box, jpeg_box, shown = paste_both(session, road, clip, jpeg, helpers)
        fitted = group_and_lock(session, road, png_box, jpeg_box, shown)
        zoom_band(session, road, jpeg_box, fitted)

        session.save_as(main, os.path.join(folder, DESIGN_NAME))
        main = session.wait_design(DESIGN_NAME, "design window titled with the saved name", seconds=60)
        if not os.path.isfile(path):
            raise Failure("no file %s after the save; the folder holds %r" % (path, os.listdir(folder)))
        saved_page = road.page_box
        session.quit(answer_save="n")

        session = Session(program, env, work, keep, "clipboard-2", SCREEN, args=[path])
        main = session.wait_design(DESIGN_NAME, "design window of the saved file", seconds=90)
        road = DesignRoad(session, main)
        clear_dialogs(session)
        reopened = road.settle("reopened")
        page = road.page(reopened)
        if (page[2] - page[0], page[3] - page[1]) != (saved_page[2] - saved_page[0], saved_page[3] - saved_page[1]):
            raise Failure("the reopened design shows its page as %r, not the size of %r" % (page, saved_page))
        count = page_differences(reopened, page, fitted, saved_page)
        if count > STILL:
            raise Failure("the reopened design's page differs from the saved one in %d pixels" % count)
        # Still locked: a click on a picture selects nothing.
        dx, dy = page[0] - saved_page[0], page[1] - saved_page[1]
        boxes = [(b[0] + dx, b[1] + dy, b[2] + dx, b[3] + dy) for b in (png_box, jpeg_box)]
        road.click(((boxes[0][0] + boxes[1][0]) // 2, (boxes[0][1] + boxes[0][3]) // 2))
        handles = rotation_handles(road.settle("reopened-click"), boxes)
        if any(handles):
            raise Failure("a click on a reopened locked picture selected it: rotation handles %r" % handles)
        session.quit(answer_save=None)
    finally:
        stop_processes(session.app if session else None, *helpers, xvfb)


def main():
    return run_script(__doc__, "clipboard", run, tools=TOOLS)


if __name__ == "__main__":
    sys.exit(main())
