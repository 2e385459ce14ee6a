#!/usr/bin/python3
"""Two roads of the whole program on the SDL back end under a private Xvfb.

- A profile that asks for a picture behind the pages (BkgOpt 0, BkgImg
  naming a 48 x 48 BMP of the outside test files), written before the
  program starts; a new design through the launcher: the workspace round
  the page shows the picture tiled. Every pixel of a stretch of the
  workspace right of the page must be the picture's pixel (as ImageMagick
  reads the file) at the same place of a grid of copies repeating at the
  picture's own width and height.
- A design saved by the picture tests through the program's code, holding
  a Windows metafile, an enhanced metafile and a picture of four coloured
  blocks under grey scale, negative and mosaic, opened from the command
  line at View > 100%: the metafiles ink their places and each block shows
  the grey of its colour's negative.

The design's objects are found from its thin black frame, the longest dark
lines in a screenshot, and the layout the test program wrote.

Usage: run_background_test.py <path of threadwick> <path of pictures_tests>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick
is not installed or the outside test files are missing. Every wait is
bounded; Xvfb and the program are always stopped. With THREADWICK_E2E_SHOTS
set to a folder, the screenshots are kept there."""

import os
import subprocess
import sys
import time

from e2e_support import (SCRIPT_TOOLS, DesignRoad, Failure, run_script, Session, clear_dialogs, is_white,
                         program_env, start_xvfb, stop_processes, windows_path, write_preferences, ppm_fields)
from run_pictures_test import find_frame

SCREEN = (1024, 768)
TESTDATA = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared",
                                         "testdata"))
TILE = os.path.join(TESTDATA, "bmp", "bin-gdk-pixbuf-tests__valid.1.bmp")
# A channel may differ this much from the file (a scaler or a colour
# conversion on the way); the tile's neighbouring pixels differ far more.
CHANNEL_TOLERANCE = 6
# The share of the probed pixels that must match.
MATCH_SHARE = 0.99
# The blocks of the effects' picture, as the design's test program wrote
# them: top left, top right, bottom left, bottom right.
BLOCKS = ((220, 30, 30), (30, 200, 40), (40, 50, 210), (240, 230, 20))
# Grey scale leaves the channels this close; its weights and the negative
# may round a little differently from the luma used here.
GREY_SPREAD = 8
EFFECT_TOLERANCE = 16
# A metafile drawn in its place inks at least this share of it.
INK_SHARE = 0.02


def read_tile(path):
    """The picture as ImageMagick reads it: (width, height, rows of RGB)."""
    data = subprocess.run(["convert", path + "[0]", "-alpha", "off", "-depth", "8", "ppm:-"], check=True,
                          timeout=60, capture_output=True).stdout
    width, height, pixels = ppm_fields(data)
    rows = [[tuple(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]
    return width, height, rows


def close(a, b):
    return all(abs(a[n] - b[n]) <= CHANNEL_TOLERANCE for n in range(3))


def tile_offset(shot, box, tile):
    """The place (dx, dy) of the tile's grid that best explains the box of
    the screenshot, and the share of a sample of its pixels it explains."""
    width, height, rows = tile
    left, top, right, bottom = box
    samples = [(x, y) for y in range(top, bottom, 7) for x in range(left, right, 5)][:400]
    best = (0, 0, -1.0)
    for dy in range(height):
        for dx in range(width):
            hits = 0
            for n, (x, y) in enumerate(samples):
                if close(shot.at(x, y), rows[(y - dy) % height][(x - dx) % width]):
                    hits += 1
                elif n - hits > len(samples) * (1 - MATCH_SHARE) * 3:
                    break
            share = hits / len(samples)
            if share > best[2]:
                best = (dx, dy, share)
    return best


def check_tiles(shot, box, tile, stage):
    """Fails unless the whole box shows the tile repeated."""
    width, height, rows = tile
    left, top, right, bottom = box
    if right - left < width * 2 or bottom - top < height * 2:
        raise Failure("%s: the workspace probed, %r, holds fewer than two copies each way" % (stage, box))
    # A picture of one colour would match anywhere: the probed copies must
    # show several of the tile's colours.
    colours = {shot.at(x, y) for y in range(top, top + height) for x in range(left, left + width)}
    if len(colours) < 16:
        raise Failure("%s: the workspace shows %d colours where the picture has many" % (stage, len(colours)))
    dx, dy, share = tile_offset(shot, box, tile)
    if share < MATCH_SHARE:
        raise Failure("%s: the workspace at %r is not the picture tiled (at best %.0f %% of the sample matches)" %
                      (stage, box, share * 100))
    total = wrong = 0
    for y in range(top, bottom):
        for x in range(left, right):
            total += 1
            if not close(shot.at(x, y), rows[(y - dy) % height][(x - dx) % width]):
                wrong += 1
    if wrong > total * (1 - MATCH_SHARE):
        raise Failure("%s: %d of the %d pixels of the workspace at %r differ from the picture tiled" %
                      (stage, wrong, total, box))


def workspace_box(road, shot, tile):
    """Three copies' width of the workspace right of the page (the tool pad
    floats on the left), clear of the page's shadow and of the bars."""
    page = road.page(shot)
    left = page[2] + 16
    top = max(page[1], road.main.y + 120) + 4
    return left, top, left + tile[0] * 3, page[3] - 8


def read_layout(path):
    frame, objects = None, {}
    with open(path) as f:
        for line in f:
            words = line.split()
            if words and words[0] == "frame":
                frame = tuple(int(w) for w in words[1:5])
            elif words and words[0] == "object":
                objects[words[1]] = tuple(int(w) for w in words[2:6])
    if frame is None or set(objects) != {"wmf", "emf", "effects"}:
        raise Failure("the layout %s names no frame or not the three objects" % path)
    return frame, objects


def luma(colour):
    return round(0.299 * colour[0] + 0.587 * colour[1] + 0.114 * colour[2])


def mean_colour(shot, left, top, right, bottom):
    total, count = [0, 0, 0], 0
    for y in range(top, bottom):
        for x in range(left, right):
            pixel = shot.at(x, y)
            for n in range(3):
                total[n] += pixel[n]
            count += 1
    return tuple(round(t / count) for t in total)


def check_effects_design(shot, area, layout, stage):
    """Fails unless the metafiles show ink in their places and the picture
    shows its four blocks grey and negative."""
    frame_logical, objects = layout
    frame = find_frame(shot, area)
    if frame is None:
        raise Failure("%s: no frame round the objects in %r" % (stage, area))
    fl, ft, fr, fb = frame_logical
    sx = (frame[2] - frame[0]) / (fr - fl)
    sy = (frame[3] - frame[1]) / (ft - fb)
    faults = []
    for name, (l, t, r, b) in sorted(objects.items()):
        box = (round(frame[0] + (l - fl) * sx), round(frame[1] + (ft - t) * sy),
               round(frame[0] + (r - fl) * sx), round(frame[1] + (ft - b) * sy))
        width, height = box[2] - box[0], box[3] - box[1]
        if width < 20 or height < 40:
            raise Failure("%s: the place of %s on the screen, %r, is too small" % (stage, name, box))
        if name != "effects":
            inked = sum(1 for y in range(box[1] + 2, box[3] - 2) for x in range(box[0] + 2, box[2] - 2)
                        if not is_white(shot.at(x, y)))
            if inked < (width - 4) * (height - 4) * INK_SHARE:
                faults.append("%s shows no picture at %r (%d pixels of ink)" % (name, box, inked))
            continue
        # The blocks' middles, well clear of the mosaic's cells at their edges.
        for column, row, colour in ((0, 0, BLOCKS[0]), (1, 0, BLOCKS[1]), (0, 1, BLOCKS[2]), (1, 1, BLOCKS[3])):
            left = box[0] + width * (4 * column + 1) // 8
            top = box[1] + height * (4 * row + 1) // 8
            seen = mean_colour(shot, left, top, left + width // 4, top + height // 4)
            wanted = 255 - luma(colour)
            if max(seen) - min(seen) > GREY_SPREAD or abs(sum(seen) / 3 - wanted) > EFFECT_TOLERANCE:
                faults.append("the block of %r shows %r, not the grey %d of its negative" % (colour, seen, wanted))
    if faults:
        raise Failure("%s: %s" % (stage, "; ".join(faults)))


def effects_road(program, tests, work, keep, display):
    folder = os.path.join(work, "road")
    os.makedirs(folder)
    made = subprocess.run([tests, "--gtest_filter=EffectsRoadDesignTest.*"], timeout=120, capture_output=True,
                          text=True, env=dict(os.environ, THREADWICK_EFFECTS_ROAD_DIR=folder))
    if "SKIPPED" in made.stdout and "PASSED  ] 0" in made.stdout:
        raise SystemExit(77)
    if made.returncode != 0:
        raise Failure("the effects' design could not be made: %s" % made.stdout[-2000:])
    layout = read_layout(os.path.join(folder, "layout.txt"))
    env = program_env(display, os.path.join(work, "effects"))
    session = Session(program, env, work, keep, "effects", SCREEN, args=[os.path.join(folder, "effects.gen")])
    try:
        main = session.wait_design("effects", "design window of the effects' design", seconds=90)
        clear_dialogs(session)
        road = DesignRoad(session, main)
        road.hide_tool_pad()
        road.keys("alt+minus", "x")
        road.keys("alt+v", "1")
        area = (max(main.x, 0), max(main.y, 0), min(main.x + main.width, SCREEN[0]),
                min(main.y + main.height, SCREEN[1]))
        fault = None
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            shot = road.settle("opened")
            try:
                check_effects_design(shot, area, layout, "the effects' design at 100 %")
                fault = None
                break
            except Failure as error:
                fault = error
        if fault:
            raise fault
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app)


def background_road(program, work, keep, display):
    tile = read_tile(TILE)
    env = program_env(display, work)
    write_preferences(env, {"BkgOpt": 0, "BkgImg": windows_path(TILE)})
    session = Session(program, env, work, keep, "background", SCREEN)
    try:
        main = session.new_blank_design(session.wait_launcher(), 0, "Shirt")
        road = DesignRoad(session, main)
        fault = None
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            session.answer_dialogs()
            shot = road.settle("design")
            try:
                check_tiles(shot, workspace_box(road, shot, tile), tile, "a new design")
                fault = None
                break
            except Failure as error:
                fault = error
        if fault:
            raise fault
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app)


def run(program, tests, work, keep):
    if not os.path.isfile(TILE):
        raise SystemExit(77)
    xvfb, display = start_xvfb(*SCREEN)
    try:
        background_road(program, work, keep, display)
        effects_road(program, tests, work, keep, display)
    finally:
        stop_processes(xvfb)


def main():
    return run_script(__doc__, "background and effects", run, arguments=2, tools=SCRIPT_TOOLS + ("convert",))


if __name__ == "__main__":
    sys.exit(main())
