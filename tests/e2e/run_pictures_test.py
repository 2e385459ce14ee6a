#!/usr/bin/python3
"""Pictures on a real display, from the design file to the screen and the
page: the test program first saves, through the program's own code, a
design that links a TIFF, a PSD, a Targa, a PCX, a GIF and a Sun raster
picture from the outside test files and embeds an alpha PNG and a BMP with a
transparent colour, inside a thin black frame. Then the whole program, on
the SDL back end under a private Xvfb:

- `threadwick <design>` opens it; at View > 100%, 200% and Fit In Window
  each picture's place on the screen shows the picture as its reference
  does (over white), the right way round: ImageMagick's reading of the
  file, or for the Targa the reference picture gdk-pixbuf's tests keep;
- Ctrl+S, the program left and started again with the file: the same;
- File > Print Preview shows the same pictures on the page.

The frame is found as the longest dark lines in a screenshot; the pictures'
places follow from it by the layout the test program wrote.

Usage: run_pictures_test.py <path of threadwick> <path of pictures_tests>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick is not installed or the outside test files are missing. Every
wait is bounded; Xvfb and the program are always stopped. With
THREADWICK_E2E_SHOTS set to a folder, the screenshots are kept there."""

import os
import subprocess
import sys

from e2e_support import (SCRIPT_TOOLS, DesignRoad, Failure, run_script, Session, clear_dialogs, page_box,
                         program_env, start_xvfb, stop_processes, ppm_fields, written_file)

SCREEN = (1024, 768)
# Mean difference (0..255 a channel) a picture may show against its
# reference: two scalers smooth differently, and edges of a place fall on a
# pixel either way.
ON_SCREEN = 20
ON_PAGE = 25
# A picture must be clearly closer to its file than to the file mirrored.
MIRROR_MARGIN = 0.8


def is_dark(pixel, limit):
    """Black or nearly: every channel low (a caption's blue is not)."""
    return max(pixel) < limit


def longest_dark_run(shot, y, start, end, limit):
    """The longest run of dark pixels along row y: (length, first x)."""
    best, best_start, run = 0, start, 0
    for x in range(start, end):
        if is_dark(shot.at(x, y), limit):
            run += 1
            if run > best:
                best, best_start = run, x - run + 1
        else:
            run = 0
    return best, best_start


def find_frame(shot, area, limit=64):
    """The frame (left, top, right, bottom) inside area: the rows whose
    longest dark run is nearly the longest of all (a picture's dark parts
    never reach across the four pictures of a row). Runs across nearly the
    whole area are the windows' own edges."""
    left, top, right, bottom = area
    rows = {}
    for y in range(top, bottom):
        run = longest_dark_run(shot, y, left, right, limit)
        if run[0] < (right - left) * 0.85:
            rows[y] = run
    longest = max((run[0] for run in rows.values()), default=0)
    if longest < 60:
        return None
    lines = [y for y, run in rows.items() if run[0] >= longest * 0.9]
    frame_top, frame_bottom = min(lines), max(lines)
    if frame_bottom - frame_top < 40:
        return None
    length, start = rows[frame_top]
    other_length, other_start = rows[frame_bottom]
    if abs(start - other_start) > 3 or abs(length - other_length) > 3:
        return None
    return start, frame_top, start + length - 1, frame_bottom


def read_layout(path):
    frame, pictures = None, []
    with open(path) as f:
        for line in f:
            words = line.split()
            if words and words[0] == "frame":
                frame = tuple(int(w) for w in words[1:5])
            elif words and words[0] == "picture":
                pictures.append((words[1], tuple(int(w) for w in words[2:6]), " ".join(words[6:])))
    if frame is None or len(pictures) != 8:
        raise Failure("the layout %s names no frame or not eight pictures" % path)
    return frame, pictures


class References:
    """Each picture's reference file as ImageMagick reads it, flattened on
    white, at the sizes asked for (cached), plain and mirrored left to
    right."""

    def __init__(self, work, pictures):
        self.work, self.cache, self.flat = work, {}, {}
        for name, _, reference in pictures:
            flat = os.path.join(work, "ref-%s.png" % name)
            subprocess.run(["convert", reference + "[0]", "-background", "white", "-flatten", "-alpha", "off",
                            "PNG24:" + flat], check=True, timeout=60, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            self.flat[name] = flat

    def at(self, name, width, height, mirrored=False):
        key = (name, width, height, mirrored)
        if key not in self.cache:
            args = ["convert", self.flat[name], "-resize", "%dx%d!" % (width, height)]
            if mirrored:
                args.append("-flop")
            data = subprocess.run(args + ["-depth", "8", "ppm:-"], check=True, timeout=60, capture_output=True).stdout
            self.cache[key] = ppm_fields(data)[2]
        return self.cache[key]


def mean_difference(shot, box, reference):
    """The mean channel difference between the screenshot's box and the
    reference of the box's size, over the box without a border of an eighth
    (where a place's edges fall is a matter of rounding)."""
    left, top, right, bottom = box
    width = right - left
    inset_x, inset_y = max(2, width // 8), max(2, (bottom - top) // 8)
    total = count = 0
    for y in range(top + inset_y, bottom - inset_y):
        for x in range(left + inset_x, right - inset_x):
            got = shot.at(x, y)
            offset = ((y - top) * width + (x - left)) * 3
            total += abs(got[0] - reference[offset]) + abs(got[1] - reference[offset + 1]) + \
                abs(got[2] - reference[offset + 2])
            count += 3
    return total / count if count else 255


def check_pictures(shot, area, layout, references, stage, tolerance, limit=64):
    """Fails unless every picture shows where the frame puts it, as its file
    and not mirrored."""
    frame_logical, pictures = layout
    frame = find_frame(shot, area, limit)
    if frame is None:
        raise Failure("%s: no frame round the pictures in %r" % (stage, area))
    fl, ft, fr, fb = frame_logical
    sx = (frame[2] - frame[0]) / (fr - fl)
    sy = (frame[3] - frame[1]) / (ft - fb)
    faults = []
    for name, (l, t, r, b), _ in pictures:
        box = (round(frame[0] + (l - fl) * sx), round(frame[1] + (ft - t) * sy),
               round(frame[0] + (r - fl) * sx), round(frame[1] + (ft - b) * sy))
        width, height = box[2] - box[0], box[3] - box[1]
        if width < 8 or height < 8:
            raise Failure("%s: the place of %s on the screen, %r, is too small" % (stage, name, box))
        plain = mean_difference(shot, box, references.at(name, width, height))
        mirrored = mean_difference(shot, box, references.at(name, width, height, True))
        if plain > tolerance:
            faults.append("%s differs from its file by %.1f at %r" % (name, plain, box))
        elif mirrored >= 20 and plain > mirrored * MIRROR_MARGIN:
            faults.append("%s looks mirrored (%.1f plain, %.1f mirrored)" % (name, plain, mirrored))
    if faults:
        raise Failure("%s: %s" % (stage, "; ".join(faults)))


class Road(DesignRoad):
    def settle(self, stage, quiet=0.5, answer=True):
        """Pictures take longer to paint than shapes."""
        return super().settle(stage, quiet, answer)

    def area(self):
        m = self.main
        return max(m.x, 0), max(m.y, 0), min(m.x + m.width, SCREEN[0]), min(m.y + m.height, SCREEN[1])


def open_design(program, env, work, keep, prefix, design):
    session = Session(program, env, work, keep, prefix, SCREEN, args=[design])
    main = session.wait_design("pictures", "design window of the pictures' design", seconds=90)
    clear_dialogs(session)
    road = Road(session, main)
    # The tool pad floats over the design: out of the way. The design window
    # fills the main window, so that the pictures fit at 200 %.
    road.hide_tool_pad()
    road.keys("alt+minus", "x")
    return session, road


def zoom(road, stage):
    """View > 100 %, View > Custom Zoom 200 % (the menu's own 200 % entry has
    a mnemonic no key sends), or View > Fit In Window."""
    if stage == "100":
        road.keys("alt+v", "1")
    elif stage == "fit":
        road.keys("alt+v", "f")
    else:
        road.keys("alt+v", "z")
        dialog = road.session.wait_window("Custom Zoom")
        road.session.key(dialog.wid, "End", "shift+Home")
        road.session.type_text(stage)
        road.session.key(dialog.wid, "Return")
        road.session.wait_gone(dialog.wid, "the Custom Zoom dialog to close")


def check_zooms(road, layout, references, prefix):
    for stage in ("100", "200", "fit"):
        zoom(road, stage)
        shot = road.settle("%s-zoom-%s" % (prefix, stage))
        check_pictures(shot, road.area(), layout, references, "%s at zoom %s" % (prefix, stage), ON_SCREEN)


def run(program, tests, work, keep):
    folder = os.path.join(work, "road")
    os.makedirs(folder)
    made = subprocess.run([tests, "--gtest_filter=PictureRoadDesignTest.*"], timeout=120, capture_output=True,
                          text=True, env=dict(os.environ, THREADWICK_PICTURE_ROAD_DIR=folder))
    if "SKIPPED" in made.stdout and "PASSED  ] 0" in made.stdout:
        raise SystemExit(77)
    if made.returncode != 0:
        raise Failure("the design could not be made: %s" % made.stdout[-2000:])
    design = os.path.join(folder, "pictures.gen")
    layout = read_layout(os.path.join(folder, "layout.txt"))
    references = References(work, layout[1])

    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        # No scanner back end of the machine is loaded: they are no part of
        # this road, and some do not survive being unloaded.
        scanners = os.path.join(work, "sane")
        os.makedirs(scanners)
        open(os.path.join(scanners, "dll.conf"), "w").close()
        env["SANE_CONFIG_DIR"] = scanners
        session, road = open_design(program, env, work, keep, "pictures-1", design)
        check_zooms(road, layout, references, "opened")

        saved = os.stat(design).st_mtime_ns
        road.keys("ctrl+s")
        written_file(design, "the design to be saved", since=saved)
        session.quit(answer_save=None)

        session, road = open_design(program, env, work, keep, "pictures-2", design)
        check_zooms(road, layout, references, "reopened")

        road.keys("alt+f", "v")
        shot = road.settle("print-preview", quiet=1.0)
        # The page's own outline is the longest line there: the pictures'
        # frame is looked for inside the page.
        page = page_box(shot, road.main)
        if page is None:
            raise Failure("the print preview shows no page")
        inside = (page[0] + 3, page[1] + 3, page[2] - 3, page[3] - 3)
        check_pictures(shot, inside, layout, references, "print preview", ON_PAGE, limit=128)
        road.keys("Escape")
        road.settle("preview-closed")
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "pictures", run, arguments=2, tools=SCRIPT_TOOLS + ("convert",))


if __name__ == "__main__":
    sys.exit(main())
