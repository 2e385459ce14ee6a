#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb and
follows it from the splash to a new shirt design, checking a screenshot of
each stage.

Stages: the splash appears and closes; the main window with its menus and
toolbars is on screen; the new-design launcher opens (dialogs that come
first on a first run, such as the tip of the day or the sign-in, are
answered with Return); choosing the shirt kind and a blank page opens a
design window ("Shirt1" in the main window's title).

Usage: run_program_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick's
import is not installed. Every wait is bounded; Xvfb and the program are
always stopped. With THREADWICK_E2E_SHOTS set to a folder, the screenshot of
every stage is kept there."""

import os
import sys

from e2e_support import (POLL, Failure, StageMissed, alive_check, program_env, program_windows, run_script, screenshot,
                         send_keys, start_program, start_xvfb, stop_processes, wait_for)

SCREEN = (1024, 768)
LAUNCHER_TITLE = "Start a New Design"
PROGRAM_TITLE = "Threadwick"
# Windows that may come before the launcher on a first run; Return takes
# their default button.
DIALOGS_TO_ANSWER = ("Tip of the Day", "User Sign In", "Online Survey")
PAGE_SETUP_TITLE = "Page Setup"


class SplashMissed(StageMissed):
    """The splash went before a screenshot could show it drawn."""


class Screen:
    """The program's windows and screenshots on the private display."""

    def __init__(self, env, work, keep):
        self.env, self.work, self.keep = env, work, keep

    def windows(self):
        """The program's mapped top-level windows, with names and geometry."""
        return program_windows(self.env)

    def find(self, predicate):
        return next((w for w in self.windows() if predicate(w)), None)

    def main_window(self):
        return self.find(lambda w: w.width >= SCREEN[0] * 3 // 4 and w.height >= SCREEN[1] * 3 // 4)

    def key(self, wid, *keys):
        send_keys(self.env, wid, *keys)

    def shot(self, stage):
        """A screenshot of the root window as (width, height, rgb bytes)."""
        return screenshot(self.env, os.path.join(self.keep, stage + ".ppm") if self.keep else None)


def colours_in(shot, left, top, width, height, step=2):
    """The distinct colours in a rectangle of a screenshot (sampled)."""
    shot_width, shot_height, pixels = shot
    seen = set()
    for y in range(max(top, 0), min(top + height, shot_height), step):
        row = y * shot_width
        for x in range(max(left, 0), min(left + width, shot_width), step):
            offset = (row + x) * 3
            seen.add(pixels[offset:offset + 3])
    return seen


def run(program, work, keep):
    xvfb, display = start_xvfb(*SCREEN)
    app = None
    try:
        env = program_env(display, work)
        screen = Screen(env, work, keep)
        app = start_program(program, env)
        alive = alive_check(app)

        # Stage 1: the splash, a window of its own before the main window.
        def splash():
            alive()
            windows = screen.windows()
            return next((w for w in windows if w.width < SCREEN[0] // 2 and w.height < SCREEN[1] // 2
                         and not w.name), None)
        splash_window = wait_for("the splash", splash, 20, interval=0.02)

        def splash_drawn():
            alive()
            shot = screen.shot("1-splash")
            if len(colours_in(shot, splash_window.x, splash_window.y, splash_window.width,
                              splash_window.height)) >= 4:
                return True
            if not any(w.wid == splash_window.wid for w in screen.windows()):
                raise SplashMissed("the splash closed before it was drawn")
            return False
        wait_for("the splash picture", splash_drawn, 10, interval=0.02)
        wait_for("the splash to close",
                 lambda: alive() or not any(w.wid == splash_window.wid for w in screen.windows()), 20)

        # Stage 2: the main window with menus and toolbars, once painted.
        # Menu bar and toolbars show many colours in the top band (text,
        # icons), unlike a flat fill.
        def main_drawn():
            alive()
            window = screen.main_window()
            if not window:
                return None
            shot = screen.shot("2-main")
            top = max(window.y, 0)
            return window if len(colours_in(shot, window.x, top, window.width, 90, step=1)) >= 6 else None
        main = wait_for("the main window with menus and toolbars", main_drawn, 30, interval=0.2)
        if PROGRAM_TITLE not in main.name:
            raise Failure("main window title %r lacks %r" % (main.name, PROGRAM_TITLE))

        # Stage 3: the launcher, once the first-run dialogs are answered.
        def launcher():
            alive()
            windows = screen.windows()
            found = next((w for w in windows if w.name == LAUNCHER_TITLE), None)
            if found:
                return found
            for w in windows:
                if w.name in DIALOGS_TO_ANSWER:
                    screen.key(w.wid, "Return")
                    break
            return None
        launch = wait_for("the launcher", launcher, 60, interval=0.2)
        wait_for("the launcher's picture",
                 lambda: len(colours_in(screen.shot("3-launcher"), launch.x, launch.y, launch.width,
                                        launch.height)) >= 6, 30, interval=POLL)

        # Stage 4: the shirt kind from a blank page opens a design window.
        # The kind list is the first list; the shirt is its first entry.
        screen.key(launch.wid, "alt+w", "Home", "alt+b", "Return")

        def design():
            alive()
            current = screen.main_window()
            if current and "Shirt" in current.name:
                return current
            for w in screen.windows():
                # Page setup of the blank design, or a late first-run dialog:
                # take the default.
                if w.name in DIALOGS_TO_ANSWER + (PAGE_SETUP_TITLE,):
                    screen.key(w.wid, "Return")
                    break
            return None
        main = wait_for("a shirt design window", design, 60, interval=0.3)

        # The design page is white on the grey workspace, once painted.
        def page_drawn():
            alive()
            return (255, 255, 255) in {tuple(c) for c in colours_in(screen.shot("4-design"), main.x, main.y + 100,
                                                                      main.width, main.height - 140, step=4)}
        try:
            wait_for("the page", page_drawn, 30, interval=0.1)
        except Failure:
            raise Failure("no page drawn in the design window")
        if "Shirt1" not in main.name:
            raise Failure("main window title %r does not name the new design Shirt1" % main.name)
        if any(w.name == LAUNCHER_TITLE for w in screen.windows()):
            raise Failure("the launcher is still open")
    finally:
        stop_processes(app, xvfb)


def main():
    return run_script(__doc__, "program", run)


if __name__ == "__main__":
    sys.exit(main())
