#!/usr/bin/python3
"""Runs e2e_window on the SDL back end under a private Xvfb, clicks and types
into it with xdotool, and checks its message log and a screenshot; then a
move and a click sent together, from a strip that holds the capture while
the pointer is over it onto a button, press the button.

Usage: run_window_test.py <path of e2e_window>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool or ImageMagick's
import is not installed. Every wait is bounded; Xvfb and the program are
always stopped."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile

from e2e_support import (Failure, die_with_parent, screenshot, start_checks, start_xvfb, stop_processes,
                         wait_for)

FRAME = (200, 30, 30)
CHILD_CLICKED = (20, 40, 220)
CLICK_IN_CHILD = (30, 40)  # client coordinates of the child
TYPED = "hi!"
BUTTON_ID = 101


def read_log(path):
    try:
        with open(path, encoding="latin-1") as f:
            return [line.split() for line in f.read().splitlines() if line.strip()]
    except FileNotFoundError:
        return []


def screen_pixel(env, x, y):
    """The colour at a screen point, from a screenshot of the root window."""
    width, _, data = screenshot(env)
    offset = (y * width + x) * 3
    return tuple(data[offset:offset + 3])


def close_to(a, b):
    return all(abs(p - q) <= 8 for p, q in zip(a, b))


def run(program, work):
    xvfb, display = start_xvfb(800, 600)
    app = None
    try:
        env = dict(os.environ, DISPLAY=display, THREADWICK_BACKEND="sdl", SDL_VIDEODRIVER="x11",
                   THREADWICK_HOME=os.path.join(work, "home"), XAUTHORITY=os.path.join(work, "no-xauthority"))
        os.makedirs(env["THREADWICK_HOME"], exist_ok=True)
        log = os.path.join(work, "messages.log")
        app = subprocess.Popen([program, log], env=env, preexec_fn=die_with_parent, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

        def ready_line():
            line = next((l for l in read_log(log) if l[0] == "ready"), None)
            if not line and app.poll() is not None:
                raise Failure("e2e_window ended early: " + app.stderr.read().decode(errors="replace"))
            return line
        ready = wait_for("the window", ready_line, 15)
        child_x, child_y, frame_x, frame_y = (int(v) for v in ready[1:5])

        # The window is mapped once xdotool can find it by its title.
        def window_id():
            found = subprocess.run(["xdotool", "search", "--name", "^Threadwick E2E$"], env=env,
                                   capture_output=True, text=True, timeout=5)
            ids = found.stdout.split()
            return ids[0] if found.returncode == 0 and ids else None
        wid = wait_for("the window to be mapped", window_id, 10)

        def xdotool(*args):
            subprocess.run(["xdotool", *args], env=env, check=True, timeout=10,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        click = (child_x + CLICK_IN_CHILD[0], child_y + CLICK_IN_CHILD[1])
        xdotool("mousemove", "--sync", str(click[0]), str(click[1]))
        xdotool("click", "1")
        wait_for("the click", lambda: any(l[:2] == ["child", "WM_LBUTTONDOWN"] for l in read_log(log)), 10)
        xdotool("windowfocus", "--sync", wid)
        xdotool("type", "--delay", "30", TYPED)

        def typed():
            chars = [chr(int(l[2])) for l in read_log(log) if l[1] == "WM_CHAR"]
            return "".join(chars) if len(chars) >= len(TYPED) else None
        wait_for("the typed text", typed, 10)

        # What the window painted, once it has presented the click.
        probe_child = (child_x + 150, child_y + 100)
        probe_frame = (frame_x + 5, frame_y + 5)
        def painted():
            return (close_to(screen_pixel(env, *probe_child), CHILD_CLICKED) and
                    close_to(screen_pixel(env, *probe_frame), FRAME))
        try:
            wait_for("the painted colours", painted, 10)
        except Failure:
            raise Failure("screenshot shows %s in the child and %s in the frame" %
                          (screen_pixel(env, *probe_child), screen_pixel(env, *probe_frame)))

        # A move and a click that come together: the strip under the pointer
        # holds the capture until a move leaves it, and the click after the
        # move onto the button presses the button.
        hover = (int(ready[7]), int(ready[8]))
        press = (int(ready[5]), int(ready[6]))
        xdotool("mousemove", "--sync", str(hover[0]), str(hover[1]))
        try:
            wait_for("the strip to hold the capture", lambda: close_to(screen_pixel(env, *hover), CHILD_CLICKED), 10)
        except Failure:
            raise Failure("the strip under the pointer shows %s" % (screen_pixel(env, *hover),))
        # The program reads no input for a while: both come in one batch.
        pause = log + ".pause"
        open(pause, "w").close()
        wait_for("the program to pause", lambda: not os.path.exists(pause), 10)
        xdotool("mousemove", str(press[0]), str(press[1]), "click", "1")
        try:
            wait_for("the button's command",
                     lambda: any(l[:3] == ["top", "WM_COMMAND", str(BUTTON_ID)] for l in read_log(log)), 10)
        except Failure:
            raise Failure("the click with the move to the button did not press it: %s" %
                          [l for l in read_log(log) if l[0] == "hover"])

        # A quit request from the desktop closes the program the way the user would.
        app.send_signal(signal.SIGTERM)
        try:
            app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure("e2e_window did not end after SIGTERM")
        if app.returncode != 0:
            raise Failure("e2e_window ended with %d: %s" % (app.returncode, app.stderr.read().decode(errors="replace")))

        lines = read_log(log)
        downs = [l for l in lines if l[:2] == ["child", "WM_LBUTTONDOWN"]]
        if len(downs) != 1 or (int(downs[0][3]), int(downs[0][4])) != CLICK_IN_CHILD:
            raise Failure("expected one WM_LBUTTONDOWN at %s in the child, got %s" % (CLICK_IN_CHILD, downs))
        chars = [(l[0], chr(int(l[2]))) for l in lines if l[1] == "WM_CHAR"]
        if chars != [("child", c) for c in TYPED]:
            raise Failure("expected WM_CHAR %r to the child, got %s" % (TYPED, chars))
        ending = [l[1] for l in lines if l[0] == "top" and l[1] in ("WM_QUERYENDSESSION", "WM_CLOSE", "WM_DESTROY")]
        if ending != ["WM_QUERYENDSESSION", "WM_CLOSE", "WM_DESTROY"]:
            raise Failure("expected WM_QUERYENDSESSION, WM_CLOSE, WM_DESTROY at the end, got %s" % ending)
    finally:
        stop_processes(app, xvfb)


def main():
    code = start_checks(__doc__)
    if code is not None:
        return code
    work = tempfile.mkdtemp(prefix="threadwick-e2e-")
    try:
        run(os.path.abspath(sys.argv[1]), work)
        print("e2e: window test passed")
        return 0
    except (Failure, subprocess.SubprocessError, OSError) as error:
        print("e2e: FAILED: %s" % error, file=sys.stderr)
        try:
            with open(os.path.join(work, "messages.log"), encoding="latin-1") as f:
                sys.stderr.write(f.read())
        except OSError:
            pass
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
