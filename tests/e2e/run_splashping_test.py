#!/usr/bin/python3
"""Starts the whole program on the SDL back end under a private Xvfb, with a
home folder a first run has set up (users made, the tip of the day off), and
plays the window manager while the splash is up: the main window must say
it takes _NET_WM_PING (WM_PROTOCOLS), and every ping sent to it from the
moment it is mapped until the splash closes must come back to the root
window within PING_WITHIN seconds. The first dialog (the launcher or the
sign-in) must still not map before the splash's minimum time has passed
since the program was started.

Usage: run_splashping_test.py <path of threadwick>
Exit 0 on success, 1 on a failed check, 77 when Xvfb or xdotool is not
installed or libX11 cannot be loaded. Every wait is bounded; Xvfb and the
program are always stopped."""

import ctypes
import os
import select
import sys
import time

from e2e_support import (Failure, Session, StageMissed, alive_check, load_xlib as load_support_xlib, program_env,
                         program_windows, run_script, start_program, start_xvfb, stop_processes, wait_for)

SCREEN = (1024, 768)
# How soon a ping must come back: a window manager asks every few seconds
# and gives up after a few more, but a program that answers at all answers
# in a few milliseconds.
PING_WITHIN = 0.2
# Seconds between pings while the splash is up.
PING_EVERY = 0.1
# The splash's shortest life before the first dialog, in seconds.
SPLASH_MINIMUM = 1.5
# Seconds between looks at the windows while the program starts: the ping
# clock starts when the main window is seen mapped.
LOOK_EVERY = 0.005

CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
PROFILE_KEY = "Software\\Velmora Technology\\Threadwick\\1.0"


class _ClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", _ClientMessageEvent), ("pad", ctypes.c_long * 24)]


def load_xlib():
    display, window, ulong = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong
    return load_support_xlib({
        "XCloseDisplay": (ctypes.c_int, [display]),
        "XSelectInput": (ctypes.c_int, [display, window, ctypes.c_long]),
        "XSendEvent": (ctypes.c_int, [display, window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_Event)]),
        "XFlush": (ctypes.c_int, [display]),
        "XPending": (ctypes.c_int, [display]),
        "XNextEvent": (ctypes.c_int, [display, ctypes.POINTER(_Event)]),
        "XGetWMProtocols": (ctypes.c_int, [display, window, ctypes.POINTER(ctypes.POINTER(ulong)),
                                           ctypes.POINTER(ctypes.c_int)]),
    })


class WindowManager:
    """The part of a window manager that pings: a connection of its own to
    the display, listening on the root window for the answers."""

    def __init__(self, x, display_name):
        self.x = x
        self.handle = x.XOpenDisplay(display_name.encode())
        if not self.handle:
            raise Failure("cannot open the display %s" % display_name)
        self.fd = x.XConnectionNumber(self.handle)
        self.root = x.XDefaultRootWindow(self.handle)
        self.wm_protocols = x.XInternAtom(self.handle, b"WM_PROTOCOLS", 0)
        self.net_wm_ping = x.XInternAtom(self.handle, b"_NET_WM_PING", 0)
        # An answer is sent to the root window for whoever listens to its
        # children's changes.
        x.XSelectInput(self.handle, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        x.XFlush(self.handle)
        self.stamp = 1000

    def close(self):
        self.x.XCloseDisplay(self.handle)

    def protocols(self, wid):
        atoms, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_int()
        if not self.x.XGetWMProtocols(self.handle, wid, ctypes.byref(atoms), ctypes.byref(count)):
            return []
        try:
            return [atoms[n] for n in range(count.value)]
        finally:
            if atoms:
                self.x.XFree(atoms)

    def ping(self, wid):
        """Sends a ping to wid; answers the stamp that its answer carries."""
        self.stamp += 1
        event = _Event()
        event.client.type = CLIENT_MESSAGE
        event.client.window = wid
        event.client.message_type = self.wm_protocols
        event.client.format = 32
        event.client.data[0] = self.net_wm_ping
        event.client.data[1] = self.stamp
        event.client.data[2] = wid
        self.x.XSendEvent(self.handle, wid, 0, 0, ctypes.byref(event))
        self.x.XFlush(self.handle)
        return self.stamp

    def answer(self, wid, stamp, seconds):
        """Whether the ping of stamp came back from wid within seconds."""
        deadline = time.monotonic() + seconds
        event = _Event()
        while True:
            while self.x.XPending(self.handle):
                self.x.XNextEvent(self.handle, ctypes.byref(event))
                c = event.client
                if event.type == CLIENT_MESSAGE and c.window == self.root and c.message_type == self.wm_protocols \
                        and c.data[0] == self.net_wm_ping and c.data[1] == stamp and c.data[2] == wid:
                    return True
            left = deadline - time.monotonic()
            if left <= 0:
                return False
            select.select([self.fd], [], [], left)


def write_profile(env):
    """A profile that keeps the tip of the day from showing at start."""
    keys = ["Software", "Software\\Velmora Technology", "Software\\Velmora Technology\\Threadwick", PROFILE_KEY,
            PROFILE_KEY + "\\Tip"]
    lines = ["threadwick-registry 1"] + ['key "%s"' % key for key in keys]
    lines.append('  value "StartUp" dword 0x00000000')
    lines.append("end")
    config = os.path.join(env["THREADWICK_HOME"], "config")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "registry"), "w") as f:
        f.write("\n".join(lines) + "\n")


def first_run(program, env, work):
    """A first start up to the launcher, its questions answered, so that the
    next start is a user's ordinary one."""
    session = Session(program, env, work, None, "splashping-first", SCREEN)
    try:
        session.wait_launcher()
    finally:
        stop_processes(session.app)


def is_main(w):
    return w.width >= SCREEN[0] * 3 // 4 and w.height >= SCREEN[1] * 3 // 4


def is_splash(w):
    return w.width < SCREEN[0] // 2 and w.height < SCREEN[1] // 2 and not w.name


def pinged_start(program, env, wm):
    started = time.monotonic()
    app = start_program(program, env)
    try:
        alive = alive_check(app)

        def main_up():
            alive()
            return next((w for w in program_windows(env) if is_main(w)), None)
        main = wait_for("the main window", main_up, 60, interval=LOOK_EVERY)
        mapped = time.monotonic()
        wid = int(main.wid)
        if wm.net_wm_ping not in wm.protocols(wid):
            raise Failure("the main window does not take _NET_WM_PING in WM_PROTOCOLS")

        # Pings until the splash has gone; the first goes out at once.
        answered_with_splash = 0
        slowest = 0.0
        while True:
            windows = program_windows(env)
            splash_up = any(is_splash(w) for w in windows)
            sent = time.monotonic()
            stamp = wm.ping(wid)
            if not wm.answer(wid, stamp, PING_WITHIN):
                raise Failure("a ping %.2f s after the main window mapped was not answered within %.0f ms "
                              "(splash up: %s)" % (sent - mapped, PING_WITHIN * 1000, splash_up))
            slowest = max(slowest, time.monotonic() - sent)
            if answered_with_splash == 0 and time.monotonic() - mapped > PING_WITHIN:
                raise Failure("the first ping was answered %.0f ms after the main window mapped"
                              % ((time.monotonic() - mapped) * 1000))
            if not splash_up:
                break
            answered_with_splash += 1
            others = [w for w in windows if not is_main(w) and not is_splash(w)]
            if others:
                raise Failure("%r mapped while the splash was up" % others)
            alive()
            time.sleep(max(sent + PING_EVERY - time.monotonic(), 0))
        if answered_with_splash == 0:
            raise StageMissed("the splash had gone before the first ping")

        def dialog_up():
            alive()
            return next((w for w in program_windows(env) if not is_main(w) and not is_splash(w)), None)
        dialog = wait_for("the first dialog", dialog_up, 60, interval=LOOK_EVERY)
        shown = time.monotonic() - started
        if shown < SPLASH_MINIMUM:
            raise Failure("%r mapped %.2f s after the start, before the splash's %.1f s"
                          % (dialog.name, shown, SPLASH_MINIMUM))
        print("e2e: %d pings answered while the splash was up, the slowest in %.0f ms; %r after %.2f s"
              % (answered_with_splash, slowest * 1000, dialog.name, shown))
    finally:
        stop_processes(app)


def run(program, work, keep):
    x = load_xlib()
    if not x:
        print("e2e: skipped, libX11 cannot be loaded")
        sys.exit(77)
    xvfb, display = start_xvfb(*SCREEN)
    wm = None
    try:
        env = program_env(display, work)
        write_profile(env)
        first_run(program, env, work)
        wm = WindowManager(x, display)
        pinged_start(program, env, wm)
    finally:
        if wm:
            wm.close()
        stop_processes(xvfb)


def main():
    return run_script(__doc__, "splashping", run, tools=("Xvfb", "xdotool"))


if __name__ == "__main__":
    sys.exit(main())
