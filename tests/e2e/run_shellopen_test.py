#!/usr/bin/python3
"""Designs opened from the desktop into the running program, on a real
display: the whole program on the SDL back end under a private Xvfb.

- The helper makes two shirt designs through the program's own save.
- The program starts without a file; its launcher is closed. By then it
  has made its file types known to the desktop in its data folder (the
  desktop entry with the program's full path).
- `gio open` of both designs (`xdg-open` of each where gio is missing),
  with the program's data folder as XDG_DATA_HOME: the desktop starts a
  copy of the program per design; each hands its design to the running
  copy and ends with 0, within a bounded wait.
- The running copy shows both designs in design windows of their own: the
  main window's title names the active one, and Ctrl+F6 brings the other
  forward (screenshots of both).

Usage: run_shellopen_test.py <path of threadwick> <path of e2e_spell_design>
Exit 0 on success, 1 on a failed check, 77 when Xvfb, xdotool, ImageMagick's
import, gio and xdg-open are not installed. Every wait is bounded; Xvfb and
the program are always stopped. With THREADWICK_E2E_SHOTS set to a folder,
the screenshots are kept there."""

import ctypes
import os
import shutil
import subprocess
import sys
import time

from e2e_support import (POLL, Failure, Session, clear_dialogs, make_shirt_design, program_env, run_script, start_xvfb,
                         stop_processes, wait_for)

SCREEN = (1024, 768)
NAMES = ("Team", "Club")
EXTENSION = ".shr"
PR_SET_CHILD_SUBREAPER = 36
# How long a copy started by the desktop may take to hand its design over
# and end.
HAND_OVER_SECONDS = 30


def adopt_orphans():
    """The copies the desktop starts are grandchildren of this script (gio
    ends before they do): as their subreaper it learns how they ended."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1)
    except (OSError, AttributeError):
        pass


def registered_entry(data):
    """The program's desktop entry in the data folder, once it is there."""
    path = os.path.join(data, "applications", "threadwick.desktop")
    packages = os.path.join(data, "mime", "packages")
    if not os.path.isfile(path) or not os.path.isdir(packages) or not os.listdir(packages):
        return None
    with open(path, encoding="utf-8", errors="replace") as entry:
        return entry.read()


def later_copies(program, folder):
    """The live copies of the program started on a design of folder."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as raw:
                args = raw.read().split(b"\0")
        except OSError:
            continue
        if args and os.path.realpath(args[0].decode(errors="replace")) == program and \
                any(folder.encode() in arg for arg in args[1:]):
            found.append(int(entry))
    return found


def reap_ended_copies(known, codes):
    """Collects the exit codes of the program's copies that ended as this
    script's adopted children (not the processes it started itself)."""
    me = os.getpid()
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in known:
            continue
        try:
            with open("/proc/%s/stat" % entry) as raw:
                stat = raw.read()
        except OSError:
            continue
        name = stat[stat.find("(") + 1:stat.rfind(")")]
        fields = stat[stat.rfind(")") + 2:].split()
        if name != "threadwick" or len(fields) < 2 or fields[0] != "Z" or int(fields[1]) != me:
            continue
        try:
            pid, status = os.waitpid(int(entry), os.WNOHANG)
        except ChildProcessError:
            continue
        if pid:
            codes.append(os.waitstatus_to_exitcode(status))


def open_from_desktop(paths, env):
    """gio open of all the designs, or xdg-open of each."""
    if shutil.which("gio"):
        commands = [["gio", "open", *paths]]
    else:
        commands = [["xdg-open", path] for path in paths]
    for command in commands:
        done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=30)
        if done.returncode != 0:
            raise Failure("%s failed (%d): %s" % (" ".join(command[:2]), done.returncode, done.stderr[-2000:]))


def wait_for_title(session, names, what):
    """The main window once its title names one of names; that name."""
    def titled():
        session.alive()
        session.answer_dialogs()
        main = session.main_window()
        return next((name for name in names if main and name in main.name), None)
    try:
        return wait_for(what, titled, 60, interval=POLL)
    except Failure:
        session.shot("no-title")
        raise Failure("no %s; windows: %r" % (what, session.windows()))


def run(program, helper, work, keep):
    program = os.path.realpath(program)
    folder = os.path.join(work, "designs")
    os.makedirs(folder)
    paths = [os.path.join(folder, name + EXTENSION) for name in NAMES]
    for path in paths:
        make_shirt_design(helper, path, work)
    adopt_orphans()

    xvfb, display = start_xvfb(*SCREEN)
    session = None
    try:
        env = program_env(display, work)
        home = env["THREADWICK_HOME"]
        data = os.path.join(home, "share")
        session = Session(program, env, work, keep, "shellopen", SCREEN)
        launch = session.wait_launcher()
        session.key(launch.wid, "Escape")
        session.wait_gone(launch.wid, "the launcher to close")
        clear_dialogs(session)
        if session.main_window() is None:
            raise Failure("no main window; windows: %r" % session.windows())
        session.shot("running")

        # The running copy made its types known at its start.
        entry = wait_for("the program's desktop entry in %s" % data, lambda: registered_entry(data), 60,
                         interval=0.1)
        if program not in entry:
            raise Failure("the desktop entry does not name %s:\n%s" % (program, entry))

        shell = dict(env, XDG_DATA_HOME=data, XDG_DATA_DIRS="/usr/share", XDG_CONFIG_HOME=os.path.join(home, "cfg"),
                     HOME=home, GIO_USE_VFS="local")
        started = time.monotonic()
        open_from_desktop(paths, shell)

        # Both designs arrive; the one handed over last is in front.
        wait_for_title(session, NAMES, "design window opened from the desktop")
        known = {session.app.pid, xvfb.pid}
        codes = []

        def handed_over():
            session.alive()
            reap_ended_copies(known, codes)
            return not later_copies(program, folder)
        wait_for("the copies the desktop started to end", handed_over, HAND_OVER_SECONDS, interval=0.1)
        took = time.monotonic() - started
        reap_ended_copies(known, codes)
        if any(code != 0 for code in codes):
            raise Failure("a copy the desktop started ended with %r" % codes)

        # The running copy opens what it was handed: once the screen has
        # kept still for a second, both designs are there.
        session.settle("handed-over", quiet=1.0, answer=False)
        clear_dialogs(session)
        first = wait_for_title(session, NAMES, "design window in front")
        session.shot("first-design")
        main = session.main_window()
        session.key(main.wid, "ctrl+F6")
        other = wait_for_title(session, [name for name in NAMES if name != first], "the other design window")
        session.shot("second-design")
        # gio may reap a copy itself; those this script adopted are counted.
        print("e2e: %s and %s open in the running copy; the copies the desktop started were gone %.1f s after "
              "the open (exit codes seen: %r)" % (first, other, took, codes))
        session.quit(answer_save="n")
    finally:
        stop_processes(session.app if session else None, xvfb)


def main():
    if not shutil.which("gio") and not shutil.which("xdg-open"):
        print("e2e: skipped, not installed: gio, xdg-open")
        return 77
    return run_script(__doc__, "shellopen", run, arguments=2)


if __name__ == "__main__":
    sys.exit(main())
