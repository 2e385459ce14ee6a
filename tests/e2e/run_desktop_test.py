#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb with no
window manager and follows the roads where the desktop, not the program,
decides: stacking, the keyboard's window, the pointer's place and keys
that SDL sees differently from a real keyboard. Each stage is checked by a
screenshot and by what X says.

Stages:
1. The splash is above the main window and has no caption; the main
   window behind it is painted (not white) while the splash waits.
2. With the launcher up, a second copy starts and ends; the first copy's
   launcher has the keyboard (X focus, an active caption) and Escape,
   typed without focusing any window first, closes it.
3. Alt+F and Alt+V, typed as one chord, open their menus in the main window.
4. The pointer resting on a toolbar button shows one tip, with that
   button's name, just below the pointer, and the status bar shows the
   button's prompt; moving to the other toolbar moves the one tip along;
   away from the bars, the tip goes and the status bar says "Ready" again.

Usage: run_desktop_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick's
import is not installed. Every wait is bounded and retried; Xvfb and the
program are always stopped. With THREADWICK_E2E_SHOTS set to a folder, the
screenshot of every stage is kept there."""

import os
import subprocess
import sys
import time

from e2e_support import (POLL, Failure, StageMissed, alive_check, colours_in, count_pixels, focused_window, pixel_at,
                         program_env, program_windows, run_script, screenshot, send_keys, start_program, start_xvfb,
                         stop_processes, wait_for, xdotool)

SCREEN = (1024, 768)
LAUNCHER_TITLE = "Start a New Design"
PROGRAM_TITLE = "Threadwick"
DIALOGS_TO_ANSWER = ("Tip of the Day", "User Sign In", "Online Survey", "Return Address")
ACTIVE_CAPTION = (0, 0, 128)
INACTIVE_CAPTION = (128, 128, 128)
WHITE = (255, 255, 255)
# Buttons of the default (large) toolbars of a first start, in screen
# coordinates of the maximised main window: Print on the standard bar, and a
# drawing tool on the second bar.
PRINT_BUTTON = (88, 50)
SECOND_BAR_BUTTON = (150, 83)
PRINT_TIP = "Print"


def close_to(a, b, tolerance=24):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


# A window answered is not answered again for this long: a second key
# while it closes would reach the window under it.
ANSWER_AGAIN = 10.0


class Desktop:
    def __init__(self, env, work, keep):
        self.env, self.work, self.keep = env, work, keep
        self.answered = {}

    def windows(self):
        return program_windows(self.env)

    def find(self, predicate):
        return next((w for w in self.windows() if predicate(w)), None)

    def named(self, name):
        return self.find(lambda w: w.name == name)

    def main_window(self):
        return self.find(lambda w: w.width >= SCREEN[0] * 3 // 4 and w.height >= SCREEN[1] * 3 // 4)

    def keys(self, *keys):
        """Types keys to whichever window has the X keyboard focus: nothing
        focuses a window first, as nothing does for a user without a window
        manager."""
        xdotool(self.env, "key", "--delay", "80", *keys, check=True)

    def answer(self, window, key):
        """Focuses window and types key to it, unless that was done a moment
        ago and the window is still closing."""
        if time.monotonic() - self.answered.get(window.wid, -ANSWER_AGAIN) >= ANSWER_AGAIN:
            self.answered[window.wid] = time.monotonic()
            send_keys(self.env, window.wid, key, delay=80)

    def shot(self, stage):
        return screenshot(self.env, os.path.join(self.keep, "desktop-" + stage + ".ppm") if self.keep else None)


def check_splash(desk, alive):
    """Stage 1, while the splash and the main window are both up."""
    def both_up():
        alive()
        windows = desk.windows()
        splash = next((w for w in windows if w.width < SCREEN[0] // 2 and w.height < SCREEN[1] // 2
                       and not w.name), None)
        main = next((w for w in windows if w.width >= SCREEN[0] * 3 // 4), None)
        if main and not splash:
            raise StageMissed("the splash closed before the main window could be seen with it")
        return (splash, main) if splash and main else None
    splash, main = wait_for("the splash and the main window", both_up, 30, interval=0.02)

    seen = []

    def painted():
        alive()
        shot = desk.shot("1-splash")
        if not any(w.wid == splash.wid for w in desk.windows()):
            if seen:
                raise Failure("while the splash was up it showed: " + ", ".join(sorted(set(seen))))
            raise StageMissed("the splash closed before it was photographed over the main window")
        # The splash's picture is on top: many colours inside it.
        if len(colours_in(shot, splash.x, splash.y, splash.width, splash.height)) < 8:
            seen.append("no splash picture on top")
            return None
        # The main window's body beside the splash is painted, not white.
        body_top = main.y + 110
        body = [(main.x + 20, body_top, max(splash.x - main.x - 40, 0), 200),
                (splash.x + splash.width + 20, body_top, 200, 200)]
        for left, top, width, height in body:
            if width <= 0:
                continue
            white = count_pixels(shot, left, top, width, height, lambda c: c == WHITE)
            if white * 2 > width * height:
                seen.append("a white main window")
                return None
        return shot
    shot = wait_for("the splash over a painted main window", painted, 10, interval=0.05)

    # No caption strip: the splash's top rows are the picture, not a flat
    # band of a caption colour.
    band = colours_in(shot, splash.x + 4, splash.y + 3, splash.width - 8, 12, step=1)
    if len(band) == 1 and any(close_to(tuple(next(iter(band))), c, 2) for c in (ACTIVE_CAPTION, INACTIVE_CAPTION)):
        raise Failure("the splash has a caption strip")
    if splash.y + splash.height <= main.y or splash.x + splash.width <= main.x:
        raise Failure("the splash %r is not over the main window %r" % (splash, main))
    return splash


def reach_launcher(desk, alive):
    """Answers the first-run dialogs with Return until the launcher is up."""
    def launcher():
        alive()
        windows = desk.windows()
        found = next((w for w in windows if w.name == LAUNCHER_TITLE), None)
        if found:
            return found
        for w in windows:
            if w.name in DIALOGS_TO_ANSWER:
                desk.answer(w, "Escape" if w.name == "Return Address" else "Return")
                break
        return None
    return wait_for("the launcher", launcher, 60, interval=POLL)


def caption_colour(shot, window):
    """The colour of a captioned window's caption bar, beside its title."""
    return pixel_at(shot, window.x + window.width - 40, window.y + 8)


def check_second_start(desk, program, alive):
    """Stage 2: a second copy wakes the first, which keeps the keyboard."""
    launch = desk.named(LAUNCHER_TITLE)
    second = start_program(program, desk.env)
    try:
        code = second.wait(timeout=60)
    except subprocess.TimeoutExpired:
        raise Failure("the second copy did not end")
    if code != 0:
        raise Failure("the second copy ended with %d: %s" % (code, second.stderr.read().decode(errors="replace")))

    def forward():
        alive()
        if focused_window(desk.env) != launch.wid:
            return None
        shot = desk.shot("2-woken")
        return shot if close_to(caption_colour(shot, launch), ACTIVE_CAPTION) else None
    try:
        wait_for("the launcher with the keyboard and an active caption", forward, 30, interval=POLL)
    except Failure:
        shot = desk.shot("2-woken")
        raise Failure("after a second start the launcher has no keyboard (focus %s, caption %s)" %
                      (focused_window(desk.env), caption_colour(shot, launch)))

    # Escape reaches it without any window being focused first.
    desk.keys("Escape")
    wait_for("Escape to close the launcher", lambda: alive() or not desk.named(LAUNCHER_TITLE), 30, interval=POLL)


def close_dialogs(desk, alive):
    """Escape on what start-up still shows (Tip of the Day) until only the
    main window is left."""
    def only_main():
        alive()
        others = [w for w in desk.windows() if w.name and w.name != desk.main_window().name]
        if not others:
            return True
        desk.answer(others[0], "Escape")
        return False
    wait_for("the dialogs after the launcher to close", only_main, 60, interval=POLL)
    main = desk.main_window()
    xdotool(desk.env, "windowfocus", "--sync", main.wid)
    return main


def menu_popups(desk, main):
    return [w for w in desk.windows() if not w.name and w.wid != main.wid and w.height >= 30]


def check_alt_letter(desk, main, alive):
    """Stage 3: Alt+F and Alt+V typed as chords open their menus."""
    lefts = []
    for chord, stage in (("alt+f", "3-alt-f"), ("alt+v", "3-alt-v")):
        desk.keys(chord)
        try:
            popup = wait_for("the menu of " + chord, lambda: alive() or (menu_popups(desk, main) or [None])[0],
                             15, interval=POLL)
        except Failure:
            desk.shot(stage)
            raise Failure(chord + " opened no menu")
        # The menu stays open once the keys are let go.
        time.sleep(0.4)
        if not menu_popups(desk, main):
            desk.shot(stage)
            raise Failure(chord + " opened its menu, which then closed")
        try:
            wait_for("the menu of %s drawn" % chord,
                     lambda: alive() or len(colours_in(desk.shot(stage), popup.x, popup.y, popup.width,
                                                       popup.height)) >= 3, 15, interval=POLL)
        except Failure:
            raise Failure("the menu of %s is not drawn" % chord)
        if popup.y > main.y + 80:
            raise Failure("the menu of %s is not under the menu bar: %r" % (chord, popup))
        lefts.append(popup.x)
        desk.keys("Escape", "Escape")
        wait_for("the menu to close", lambda: alive() or not menu_popups(desk, main), 15, interval=POLL)
    if lefts[1] <= lefts[0]:
        raise Failure("Alt+V opened the menu at %d, not right of File's at %d" % (lefts[1], lefts[0]))


def tips(desk, main):
    """Small windows over the main window: tips, which take the text they
    show as their name."""
    return [w for w in desk.windows() if w.wid != main.wid and w.height < 40 and w.width < 400]


def dark_in_status(shot, main):
    """Dark (text) pixels in the left part of the status bar."""
    bottom = main.y + main.height - 4
    return count_pixels(shot, max(main.x, 0) + 2, bottom - 20, 360, 16, lambda c: max(c) < 80)


def check_tips(desk, main, alive):
    """Stage 4: one tip for the hovered button, below the pointer, and its
    prompt in the status bar."""
    # Away from the bars first: the idle prompt.
    xdotool(desk.env, "mousemove", str(SCREEN[0] // 2), str(SCREEN[1] // 2))
    idle_dark = dark_in_status(desk.shot("4-idle"), main)

    def hover(point, stage, want_name=None, not_name=None):
        # Two steps, so that the bar sees the pointer move over it.
        xdotool(desk.env, "mousemove", str(point[0] - 3), str(point[1]))
        xdotool(desk.env, "mousemove", str(point[0]), str(point[1]))

        def one_tip():
            alive()
            shown = tips(desk, main)
            if len(shown) != 1:
                return None
            if want_name and shown[0].name != want_name:
                return None
            if not_name and shown[0].name == not_name:
                return None
            return shown[0]
        try:
            tip = wait_for("one tip at " + stage, one_tip, 20, interval=POLL)
        except Failure:
            desk.shot(stage)
            raise Failure("over %s the tips are %r" % (stage, tips(desk, main)))
        if not (point[1] < tip.y <= point[1] + 32) or abs(tip.x - point[0]) > 40:
            raise Failure("the tip %r is not just below the pointer at %r" % (tip, point))

        # A window just mapped shows what was under it until it is painted.
        def drawn():
            alive()
            shot = desk.shot(stage)
            return shot if len(colours_in(shot, tip.x, tip.y, tip.width, tip.height, step=1)) >= 2 else None
        try:
            shot = wait_for("the tip drawn", drawn, 15, interval=POLL)
        except Failure:
            raise Failure("the tip %r is not drawn" % tip)
        return tip, shot

    hover(PRINT_BUTTON, "4-print", want_name=PRINT_TIP)
    try:
        wait_for("the prompt of Print",
                 lambda: alive() or dark_in_status(desk.shot("4-print"), main) > idle_dark * 3 // 2, 15,
                 interval=POLL)
    except Failure:
        raise Failure("the status bar does not show the prompt of Print")
    other, _ = hover(SECOND_BAR_BUTTON, "4-second-bar", not_name=PRINT_TIP)
    # Straight back: the one tip follows, with the right name.
    hover(PRINT_BUTTON, "4-print-again", want_name=PRINT_TIP)

    xdotool(desk.env, "mousemove", str(SCREEN[0] // 2), str(SCREEN[1] // 2))
    wait_for("the tip to go with the pointer", lambda: alive() or not tips(desk, main), 15, interval=POLL)

    def ready_again():
        alive()
        return dark_in_status(desk.shot("4-away"), main) <= idle_dark + 10
    try:
        wait_for("the status bar to say Ready again", ready_again, 15, interval=0.1)
    except Failure:
        raise Failure("the status bar keeps the prompt after the pointer left the bars")


def run(program, work, keep):
    xvfb, display = start_xvfb(*SCREEN)
    app = None
    try:
        env = program_env(display, work)
        desk = Desktop(env, work, keep)
        app = start_program(program, env)
        alive = alive_check(app)

        check_splash(desk, alive)
        main = wait_for("the main window", lambda: alive() or desk.main_window(), 60, interval=POLL)
        if PROGRAM_TITLE not in main.name:
            raise Failure("main window title %r lacks %r" % (main.name, PROGRAM_TITLE))
        reach_launcher(desk, alive)
        check_second_start(desk, program, alive)
        main = close_dialogs(desk, alive)
        check_alt_letter(desk, main, alive)
        check_tips(desk, main, alive)
    finally:
        stop_processes(app, xvfb)


def main():
    return run_script(__doc__, "desktop", run)


if __name__ == "__main__":
    sys.exit(main())
