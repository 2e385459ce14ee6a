#!/usr/bin/python3
"""How the real program starts and ends without a display, on the headless
back end and with a display that does not answer.

- SIGTERM, and in a second run SIGINT, end a running copy with exit code 0,
  leaving nothing of it in the run folder (lock, socket) or the temporary
  folder.
- A start removes the lock, socket and temporary compound files that copies
  which are no longer running left behind, and keeps those of a running one.
- With the SDL back end asked for and a display that no server answers, the
  program says "cannot open display" and ends at once with a non-zero code,
  before it makes its lock file; so it does with no display named and no
  back end asked for.

Usage: run_ending_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check. Every wait is bounded and the
program is always stopped."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from e2e_support import Failure, die_with_parent, stop_processes, wait_for

# The program's main window is up well within this on an idle machine; a
# slower start only means the signal comes during start-up, which must end
# the program just as cleanly.
SETTLE_SECONDS = 2.0


def own_start_time(pid):
    """The start time of a process from /proc/<pid>/stat (field 22)."""
    with open("/proc/%d/stat" % pid) as f:
        text = f.read()
    return int(text[text.rindex(")") + 2:].split()[19])


def listing(folder):
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


def unused_display():
    """A display number no X server listens on."""
    for number in range(4700, 4800):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and not os.path.exists("/tmp/.X%d-lock" % number):
            return ":%d" % number
    raise Failure("no free display number")


def start(program, home, **extra):
    env = dict(os.environ, THREADWICK_HOME=home, THREADWICK_BACKEND="headless", **extra)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return subprocess.Popen([program], env=env, preexec_fn=die_with_parent, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)


def ends_cleanly_on(program, work, signum):
    home = os.path.join(work, "home-%d" % signum)
    os.makedirs(home)
    run = os.path.join(home, "run")
    app = start(program, home)
    try:
        def socket_made():
            if app.poll() is not None:
                raise Failure("the program ended by itself (%d): %s" %
                              (app.returncode, app.stderr.read().decode(errors="replace")))
            return any(name.endswith(".sock") for name in listing(run))
        wait_for("the program's instance socket", socket_made, 20)
        time.sleep(SETTLE_SECONDS)
        if app.poll() is not None:
            raise Failure("the program ended by itself (%d)" % app.returncode)
        app.send_signal(signum)
        try:
            code = app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not end the program within 10 s" % signal.Signals(signum).name)
        if code != 0:
            raise Failure("%s ended the program with exit code %d: %s" %
                          (signal.Signals(signum).name, code, app.stderr.read().decode(errors="replace")))
        left = [os.path.join("run", n) for n in listing(run)] + \
               [os.path.join("temp", n) for n in listing(os.path.join(home, "temp"))]
        if left:
            raise Failure("%s left files behind: %s" % (signal.Signals(signum).name, ", ".join(left)))
    finally:
        stop_processes(app)


def start_removes_files_of_ended_copies(program, work):
    home = os.path.join(work, "home-stale")
    run = os.path.join(home, "run")
    temp = os.path.join(home, "temp")
    os.makedirs(run, mode=0o700)
    os.makedirs(temp, mode=0o700)
    # A process that has ended: its id, with a start time it never had.
    ended = subprocess.Popen(["true"])
    ended.wait()
    dead_tag = "%d-1" % ended.pid
    live_tag = "%d-%d" % (os.getpid(), own_start_time(os.getpid()))
    planted = {
        os.path.join(run, "KQ_gone-0123456789abcdef.lock"): False,
        os.path.join(run, "KQ_gone-0123456789abcdef.sock"): False,
        os.path.join(temp, "~stg.%s.AbCdEf" % dead_tag): False,
        os.path.join(temp, "~stg.%s.GhIjKl" % live_tag): True,
    }
    for path in planted:
        with open(path, "w") as f:
            f.write("left behind\n")
    app = start(program, home)
    try:
        wait_for("the program's instance socket",
                 lambda: app.poll() is not None or any(n.endswith(".sock") and "gone" not in n
                                                        for n in listing(run)), 20)
        for path, kept in planted.items():
            if os.path.exists(path) != kept:
                raise Failure("%s was %s" % (os.path.relpath(path, home), "removed" if not kept else "kept"))
    finally:
        if app.poll() is None:
            app.send_signal(signal.SIGTERM)
        stop_processes(app)


def refuses_without_display(program, work):
    home = os.path.join(work, "home-nodisplay")
    os.makedirs(home)
    cases = [
        ("THREADWICK_BACKEND=sdl and a display no server answers", {"THREADWICK_BACKEND": "sdl",
                                                                      "DISPLAY": unused_display()}),
        ("no display and no back end named", {}),
    ]
    for what, settings in cases:
        env = dict(os.environ, THREADWICK_HOME=home)
        for name in ("THREADWICK_BACKEND", "DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
            env.pop(name, None)
        env.update(settings)
        began = time.monotonic()
        try:
            result = subprocess.run([program], env=env, capture_output=True, timeout=10,
                                    preexec_fn=die_with_parent)
        except subprocess.TimeoutExpired:
            raise Failure("with %s the program kept running" % what)
        took = time.monotonic() - began
        message = result.stderr.decode(errors="replace")
        if result.returncode == 0:
            raise Failure("with %s the program ended with exit code 0" % what)
        if "cannot open display" not in message:
            raise Failure("with %s the program did not say it cannot open the display: %r" % (what, message))
        if took > 1.0:
            raise Failure("with %s the program took %.1f s to end" % (what, took))
        if listing(os.path.join(home, "run")):
            raise Failure("with %s the program made %s" % (what, listing(os.path.join(home, "run"))))


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    program = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="threadwick-ending-")
    try:
        refuses_without_display(program, work)
        ends_cleanly_on(program, work, signal.SIGTERM)
        ends_cleanly_on(program, work, signal.SIGINT)
        start_removes_files_of_ended_copies(program, work)
        print("ending: passed")
        return 0
    except (Failure, subprocess.SubprocessError, OSError) as error:
        print("ending: FAILED: %s" % error, file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
