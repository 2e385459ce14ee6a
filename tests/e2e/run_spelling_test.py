#!/usr/bin/python3
"""Spelling, replacing and Find Clipart on a real display: the whole program
on the SDL back end under a private Xvfb.

- The helper makes a shirt design through the program's own save: the
  front holds the wrapped text "Teh cat sat. teh end", the back the block
  text "recieve the cat". The program opens it from its command line.
- Tools > Spell Check: the first word not known is "Teh"; "the" typed as
  the replacement and Change All; the next is "recieve", changed to
  "receive" with Change; the check ends with its message.
- Edit > Replace Text: "cat" by "dog", Replace All, and the message that
  ends it.
- File > Save, the program left and started again with the file: the
  helper reads the file and finds "The dog sat. the end" on the front and
  "receive the dog" on the back.
- Insert > Picture > From Find Clipart: the test drive D: (a folder of the
  test holding pictures of the outside test files) as Look in, type PNG,
  Find, Open folder, a picture of that folder chosen in the picture file
  dialog: the picture shows on the surface.

Usage: run_spelling_test.py <path of threadwick> <path of e2e_spell_design>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or
ImageMagick's import is not installed, or the outside test files are
missing. Every wait is bounded; Xvfb and the program are always stopped.
With THREADWICK_E2E_SHOTS set to a folder, the screenshots are kept there."""

import os
import shutil
import subprocess
import sys

from e2e_support import (POLL, DesignRoad, Failure, Session, changed_box, choose_picture_file, clear_dialogs,
                         make_shirt_design, press, program_env, run_script, start_xvfb, stop_processes, wait_for,
                         written_file)

SCREEN = (1024, 768)
DESIGN_NAME = "Spelling"
EXTENSION = ".shr"
TESTDATA = os.environ.get("THREADWICK_TESTDATA") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared", "testdata")
SPELL_TITLE = "Check Spelling"
REPLACE_TITLE = "Search & Replace Text"
CLIPART_TITLE = "Find Clipart"
# The picture type list follows the picture filter: All Picture files, BMP,
# DIB, EMF, GIF, ICO, JPG, PCD, PCT, PCX, PNG.
PNG_ROW = 10
PICTURE = "bin-libsixel-examples__basn2c08.png"
EXPECTED = [(0, 1, "The dog sat. the end"), (1, 0, "receive the dog")]


class Road(DesignRoad):
    def covered(self):
        return [w for w in self.session.windows() if w.wid != self.main.wid and w.name != "Tool Pad"]

    def settle(self, stage, quiet=0.5, answer=True):
        return super().settle(stage, quiet, answer)


def message_box(session, what):
    """The program's small message window, once it is up."""
    def found():
        session.alive()
        return next((w for w in session.windows() if w.name == "Threadwick" and w.width < SCREEN[0] // 2), None)
    return wait_for(what, found, 60, interval=POLL)


def answer_message(session, what):
    box = message_box(session, what)
    session.wait_ready(box, what.replace(" ", "-"))
    session.key(box.wid, "Return")
    session.wait_gone(box.wid, "the message %r to close" % what)


def spell_check(session, main):
    press(session, main, "alt+t", "s")
    dialog = session.wait_window(SPELL_TITLE)
    session.wait_ready(dialog, "spell-teh")
    # The replacement's edit has the focus with the engine's first
    # suggestion; "the" is typed over it and changed everywhere.
    session.key(dialog.wid, "alt+t", "ctrl+a")
    session.type_text("the")
    session.key(dialog.wid, "alt+h")
    # The dialog shows the next word.
    session.settle("spell-recieve")
    session.key(dialog.wid, "alt+t", "ctrl+a")
    session.type_text("receive")
    session.key(dialog.wid, "alt+c")
    answer_message(session, "spelling complete")
    session.wait_gone(dialog.wid, "the Check Spelling dialog to close")


def replace_text(session, main):
    press(session, main, "alt+e", "x")
    dialog = session.wait_window(REPLACE_TITLE)
    session.wait_ready(dialog, "replace-dialog")
    session.key(dialog.wid, "alt+n", "ctrl+a")
    session.type_text("cat")
    session.key(dialog.wid, "alt+p", "ctrl+a")
    session.type_text("dog")
    session.shot("replace")
    session.key(dialog.wid, "alt+a")
    answer_message(session, "replace complete")
    session.wait_gone(dialog.wid, "the Replace dialog to close")


def saved_texts(helper, path, work):
    out = os.path.join(work, "texts")
    os.makedirs(out, exist_ok=True)
    env = dict(os.environ, THREADWICK_BACKEND="headless", THREADWICK_SPELL_ROAD_FILE=path,
               THREADWICK_SPELL_ROAD_OUT=out, THREADWICK_HOME=os.path.join(work, "helper-home"))
    done = subprocess.run([helper, "--gtest_filter=*WritesTheSavedTexts*"], env=env, capture_output=True,
                          text=True, timeout=120)
    if done.returncode != 0:
        raise Failure("the helper could not read %s: %s" % (path, done.stdout[-2000:]))
    texts = []
    with open(os.path.join(out, "texts.txt"), encoding="cp1252") as lines:
        for line in lines:
            surface, wrapped, text = line.rstrip("\n").split(" ", 2)
            texts.append((int(surface), int(wrapped), text))
    return texts


def make_drive(work):
    """A drive of pictures from the outside test files, in folders of its
    own, one of them nested."""
    drive = os.path.join(work, "drive")
    for kind, folder in (("png", "art/png"), ("bmp", "art/bitmaps/bmp"), ("wmf", "wmf")):
        shutil.copytree(os.path.join(TESTDATA, kind), os.path.join(drive, folder))
    return drive


def find_clipart(session, road, drive):
    press(session, road.main, "alt+i", "p", "c")
    dialog = session.wait_window(CLIPART_TITLE)
    session.wait_ready(dialog, "clipart")
    # Look in: the test drive, typed; the picture type PNG.
    session.key(dialog.wid, "alt+l", "ctrl+a")
    session.type_text("D:")
    session.key(dialog.wid, "alt+i", "Home", *(["Down"] * PNG_ROW))
    session.shot("clipart-chosen")
    session.key(dialog.wid, "alt+f")

    # The walk shows its progress in a window of its own until it ends; it
    # has begun once the screen shows it or what it found.
    def walked():
        session.alive()
        return not any(w.wid not in (road.main.wid, dialog.wid) and w.name != "Tool Pad"
                       for w in session.windows())
    session.settle("clipart-walking")
    wait_for("the walk of the drive to end", walked, 120, interval=POLL)
    session.settle("clipart-found")
    session.key(dialog.wid, "alt+o")
    choose_picture_file(session, os.path.join(drive, "art", "png", PICTURE))
    session.wait_gone(dialog.wid, "Find Clipart to close")


def run(program, helper, work, keep):
    if not os.path.isfile(os.path.join(TESTDATA, "png", PICTURE)):
        raise SystemExit(77)
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    path = os.path.join(folder, DESIGN_NAME + EXTENSION)
    make_shirt_design(helper, path, work)
    drive = make_drive(work)

    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        env["THREADWICK_DRIVES"] = "D=%s:fixed:CLIPART" % drive
        session = Session(program, env, work, keep, "spelling", SCREEN, args=(path,))
        main = session.wait_design(DESIGN_NAME, "design window opened from the command line")
        clear_dialogs(session)
        road = Road(session, main)
        road.settle("opened")
        spell_check(session, main)
        replace_text(session, main)
        made = os.stat(path).st_mtime_ns
        road.keys("ctrl+s")
        written_file(path, "File > Save to write the design", since=made)
        road.settle("saved", answer=False)
        session.quit(answer_save=None)
        stop_processes(session.app)

        texts = saved_texts(helper, path, work)
        if texts != EXPECTED:
            raise Failure("the saved design holds %r, not %r" % (texts, EXPECTED))

        session = Session(program, env, work, keep, "clipart", SCREEN, args=(path,))
        main = session.wait_design(DESIGN_NAME, "design window opened again")
        clear_dialogs(session)
        road = Road(session, main)
        before = road.settle("reopened")
        find_clipart(session, road, drive)
        after = road.settle("inserted")
        box, _ = changed_box(before, after, road.page(before))
        if box is None:
            raise Failure("nothing came on the page after choosing the picture in Find Clipart")
        print("e2e: the texts read %r; the picture from Find Clipart shows at %r" % (texts, box))
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    return run_script(__doc__, "spelling", run, arguments=2)


if __name__ == "__main__":
    sys.exit(main())
