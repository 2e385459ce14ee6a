#!/usr/bin/python3
"""The whole program on the SDL back end under a private Xvfb, where a slow
machine made it die or hide.

- A display that no server answers: the program says "cannot open display"
  and ends within a second with a non-zero code, before it takes the
  single-instance lock; a start right after on the real display shows its
  main window, and SIGTERM ends that copy with exit code 0 and nothing left
  in the run and temporary folders.
- While busy processes load every core, windows closed by a key one after
  another: the launcher (Escape), the Insert CD prompt that a pre-designed
  selection brings without a CD (Escape), and Page Setup of a blank design
  (Return, then the design is closed with Ctrl+F4), thirty times; the
  program must survive every cycle and still draw its main window. Then
  Alt, F, X ends it with exit code 0 and nothing left behind.

Each poll lists the program's windows with one xdotool run and each key
goes with one more: under the busy load starting a process is what costs,
and the roads wait for the windows themselves, never for a fixed time.

Usage: run_robustness_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick's
import is not installed. Every wait is bounded; Xvfb, the program and the
busy processes are always stopped. With THREADWICK_E2E_SHOTS set to a folder,
the screenshots are kept there."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from e2e_support import (Failure, die_with_parent, listed_windows, send_keys, shots_folder, start_checks, start_xvfb,
                         stop_processes, wait_for)
from run_program_test import SCREEN, Screen, colours_in

CYCLES = 30
LAUNCHER_TITLE = "Start a New Design"
INSERT_CD_TITLE = "Insert CD"
PAGE_SETUP_TITLE = "Page Setup"
PROGRAM_TITLE = "Threadwick"
# Windows that may come between the roads on a first run; Return takes their
# default button.
DIALOGS_TO_ANSWER = ("Tip of the Day", "User Sign In", "Online Survey")
# Milliseconds between keys that go to one window. Alt, F, X opens a menu
# between its keys, and the server routes a key to the window focused when
# it comes: those keys keep a typist's pace.
KEY_DELAY = 12
MENU_KEY_DELAY = 60
# Seconds between looks at the windows: each look is one short process.
POLL = 0.03


class QuickScreen(Screen):
    """The screen with a window listing of one xdotool run (search, then
    the geometry and name of every window found) and keys of one run."""

    def windows(self):
        return listed_windows(self.env)

    def key(self, wid, *keys, delay=KEY_DELAY):
        send_keys(self.env, wid, *keys, delay=delay)


def unused_display():
    for number in range(4700, 4800):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and not os.path.exists("/tmp/.X%d-lock" % number):
            return ":%d" % number
    raise Failure("no free display number")


def listing(folder):
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


def left_behind(home):
    return [os.path.join("run", n) for n in listing(os.path.join(home, "run"))] + \
           [os.path.join("temp", n) for n in listing(os.path.join(home, "temp"))]


def load_every_core():
    """One busy process per core, each spinning until stopped."""
    return [subprocess.Popen([sys.executable, "-c", "while True: pass"], preexec_fn=die_with_parent)
            for _ in range(os.cpu_count() or 1)]


def named(windows, title):
    return next((w for w in windows if w.name == title), None)


def main_in(windows):
    return next((w for w in windows if w.name.endswith(PROGRAM_TITLE) and w.width >= SCREEN[0] * 3 // 4), None)


class Program:
    """A running copy and the roads through its windows."""

    def __init__(self, program, env, screen):
        self.screen = screen
        self.process = subprocess.Popen([program], env=env, preexec_fn=die_with_parent,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def alive(self):
        if self.process.poll() is not None:
            raise Failure("the program ended (%d): %s" %
                          (self.process.returncode, self.process.stderr.read().decode(errors="replace")))

    def look(self):
        """The program's windows now, once it is known to be running."""
        self.alive()
        return self.screen.windows()

    def window(self, title):
        return named(self.look(), title)

    def main(self):
        return main_in(self.look())

    def answer_first_run_dialog(self, windows):
        for w in windows:
            if w.name in DIALOGS_TO_ANSWER:
                self.screen.key(w.wid, "Return")
                return True
        return False

    def wait_window(self, title, seconds=30):
        def found():
            windows = self.look()
            w = named(windows, title)
            if not w:
                self.answer_first_run_dialog(windows)
            return w
        return wait_for("the %s window" % title, found, seconds, interval=POLL)

    def wait_gone(self, title, seconds=30):
        wait_for("the %s window to close" % title, lambda: not self.window(title), seconds, interval=POLL)

    def idle_main_in(self, windows):
        """The main window when it has no design and nothing in front of it."""
        w = main_in(windows)
        if not w or w.name != PROGRAM_TITLE or self.answer_first_run_dialog(windows):
            return None
        others = [o for o in windows if o.wid != w.wid and o.name]
        return w if not others else None

    def wait_idle_main(self, seconds=30):
        return wait_for("the main window with nothing open", lambda: self.idle_main_in(self.look()), seconds,
                        interval=POLL)

    def open_launcher(self):
        # On a first start the launcher comes by itself after the first-run
        # dialogs; later, Ctrl+N brings it.
        def ready_in(windows):
            return named(windows, LAUNCHER_TITLE) or self.idle_main_in(windows)
        ready = wait_for("the launcher or the main window with nothing open", lambda: ready_in(self.look()), 30,
                         interval=POLL)
        if ready.name == LAUNCHER_TITLE:
            return ready
        self.screen.key(ready.wid, "ctrl+n")
        return self.wait_window(LAUNCHER_TITLE)

    def launcher_road(self):
        launcher = self.open_launcher()
        self.screen.key(launcher.wid, "Escape")
        self.wait_gone(LAUNCHER_TITLE)

    def insert_cd_road(self):
        launcher = self.open_launcher()
        self.screen.key(launcher.wid, "alt+p", "Return")
        prompt = self.wait_window(INSERT_CD_TITLE)
        self.screen.key(prompt.wid, "Escape")
        self.wait_gone(INSERT_CD_TITLE)

    def page_setup_road(self):
        launcher = self.open_launcher()
        self.screen.key(launcher.wid, "alt+b", "Return")
        setup = self.wait_window(PAGE_SETUP_TITLE)
        self.screen.key(setup.wid, "Return")
        self.wait_gone(PAGE_SETUP_TITLE)
        design = wait_for("a design window", lambda: (lambda w: w if w and w.name != PROGRAM_TITLE else None)(
            self.main()), 30, interval=POLL)
        self.screen.key(design.wid, "ctrl+F4")
        self.wait_idle_main()


def check_main_drawn(program, screen, stage):
    def drawn():
        w = program.main()
        if not w:
            return None
        shot = screen.shot(stage)
        return w if len(colours_in(shot, w.x, max(w.y, 0), w.width, 90, step=1)) >= 6 else None
    return wait_for("the main window drawn with its menus and toolbars", drawn, 30, interval=0.2)


def display_that_does_not_answer(program, work, env, screen):
    home = os.path.join(work, "home-nodisplay")
    os.makedirs(home)
    bad = dict(env, THREADWICK_HOME=home, DISPLAY=unused_display())
    bad.pop("SDL_VIDEODRIVER", None)
    began = time.monotonic()
    try:
        result = subprocess.run([program], env=bad, capture_output=True, timeout=10, preexec_fn=die_with_parent)
    except subprocess.TimeoutExpired:
        raise Failure("with a display that does not answer the program kept running")
    took = time.monotonic() - began
    message = result.stderr.decode(errors="replace")
    if result.returncode == 0 or "cannot open display" not in message or took > 1.0:
        raise Failure("with a display that does not answer: exit code %d after %.1f s, saying %r" %
                      (result.returncode, took, message))
    if listing(os.path.join(home, "run")):
        raise Failure("the copy without a display made %s" % listing(os.path.join(home, "run")))

    # A start right after on the real display is the first copy and shows
    # its window; SIGTERM then ends it cleanly.
    app = Program(program, dict(env, THREADWICK_HOME=home), screen)
    try:
        check_main_drawn(app, screen, "1-after-no-display")
        app.process.send_signal(signal.SIGTERM)
        try:
            code = app.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure("SIGTERM did not end the program on the SDL back end")
        if code != 0:
            raise Failure("SIGTERM ended the program with exit code %d" % code)
        if left_behind(home):
            raise Failure("SIGTERM left %s" % ", ".join(left_behind(home)))
    finally:
        stop_processes(app.process)


def cycles_under_load(program, work, env, screen):
    home = os.path.join(work, "home-cycles")
    os.makedirs(home)
    app = Program(program, dict(env, THREADWICK_HOME=home), screen)
    busy = []
    try:
        check_main_drawn(app, screen, "2-start")
        busy = load_every_core()
        for cycle in range(CYCLES):
            for road in (app.launcher_road, app.insert_cd_road, app.page_setup_road):
                try:
                    road()
                except Failure as error:
                    raise Failure("cycle %d, %s: %s" % (cycle + 1, road.__name__, error))
        stop_processes(*busy)
        busy = []
        main = check_main_drawn(app, screen, "3-after-cycles")
        shot = screen.shot("3-after-cycles")
        # The workspace under the toolbars is drawn, not left black.
        if (0, 0, 0) in {tuple(c) for c in colours_in(shot, main.x + 20, main.y + 150, main.width - 40, 200,
                                                       step=8)}:
            raise Failure("the workspace is not drawn after the cycles")
        screen.key(app.wait_idle_main().wid, "alt", "f", "x", delay=MENU_KEY_DELAY)
        try:
            code = app.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure("Alt, F, X did not end the program")
        if code != 0:
            raise Failure("Alt, F, X ended the program with exit code %d: %s" %
                          (code, app.process.stderr.read().decode(errors="replace")))
        if left_behind(home):
            raise Failure("the program left %s" % ", ".join(left_behind(home)))
    finally:
        stop_processes(*busy)
        stop_processes(app.process)


def main():
    code = start_checks(__doc__)
    if code is not None:
        return code
    keep = shots_folder()
    program = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="threadwick-e2e-robustness-")
    xvfb = None
    try:
        xvfb, display = start_xvfb(*SCREEN)
        env = dict(os.environ, DISPLAY=display, THREADWICK_BACKEND="sdl", SDL_VIDEODRIVER="x11",
                   XAUTHORITY=os.path.join(work, "no-xauthority"))
        env.pop("WAYLAND_DISPLAY", None)
        screen = QuickScreen(env, work, keep)
        display_that_does_not_answer(program, work, env, screen)
        cycles_under_load(program, work, env, screen)
        print("e2e: robustness test passed")
        return 0
    except (Failure, subprocess.SubprocessError, OSError) as error:
        print("e2e: FAILED: %s" % error, file=sys.stderr)
        return 1
    finally:
        stop_processes(xvfb)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
