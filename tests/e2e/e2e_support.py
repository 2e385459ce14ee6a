"""What the end-to-end tests share: a private Xvfb, bounded waits,
screenshots of the root window, a month calendar found in one, and a run of
the program driven through its windows as a user drives it.

Waits are for what the program shows (a window up or gone, the keyboard's
window, the screen answering an input and keeping still, a file written),
each with an upper bound far above what an idle machine needs: a loaded one
only waits longer. The windows, the keyboard's window and the screen are
looked at over a connection of this process to the display; with
THREADWICK_E2E_NO_XLIB set (or without libX11) xdotool and ImageMagick's
import answer instead. THREADWICK_E2E_TRACE prints what each wait cost."""

import calendar
import ctypes
import ctypes.util
import datetime
import os
import select
import shutil
import signal
import sys
import subprocess
import tempfile
import time

PR_SET_PDEATHSIG = 1


class Failure(Exception):
    pass


def die_with_parent():
    """Run in the child before exec: a killed test run takes Xvfb and the
    program with it."""
    try:
        import ctypes
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)
    except (OSError, AttributeError):
        pass


def wait_for(what, check, seconds, interval=0.05):
    """Calls check() until it returns something true, for at most `seconds`."""
    deadline = time.monotonic() + seconds
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(interval)


def start_xvfb(width, height):
    """Xvfb on a display number it picks itself (-displayfd), so that
    parallel runs and a desktop already running never collide."""
    read_end, write_end = os.pipe()
    screen = "%dx%dx24" % (width, height)
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"],
        pass_fds=[write_end], preexec_fn=die_with_parent, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 10
    os.set_blocking(read_end, False)
    while not number.endswith(b"\n"):
        if xvfb.poll() is not None or time.monotonic() > deadline:
            os.close(read_end)
            raise Failure("Xvfb did not start")
        try:
            chunk = os.read(read_end, 16)
            if not chunk:
                time.sleep(0.01)
            number += chunk
        except BlockingIOError:
            time.sleep(0.01)
    os.close(read_end)
    display = ":" + number.decode().strip()
    # A server of an earlier attempt may have had the same number.
    forget_display(display)
    return xvfb, display


def ppm_fields(data):
    """An 8-bit binary PPM's width, height and pixel bytes: P6, width,
    height, maximum, then the pixels, with comments between the fields."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise Failure("the picture is not an 8-bit PPM")
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def screen_pixels(env):
    """The root window of env's display as (width, height, 8-bit RGB
    bytes): asked over this process's connection, else through
    ImageMagick's import."""
    display = x_display(env)
    if display:
        pixels = display.rgb()
        if pixels:
            return pixels
    done = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True,
                          timeout=60, check=True)
    return ppm_fields(done.stdout)


def write_ppm(path, shot):
    """A screenshot (width, height, rgb bytes) saved as an 8-bit binary PPM."""
    width, height, pixels = shot
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(pixels)


def screenshot(env, path=None):
    """A screenshot of the root window as (width, height, rgb bytes), also
    saved at path (8-bit PPM) when one is given."""
    shot = screen_pixels(env)
    if path:
        write_ppm(path, shot)
    return shot


SCRIPT_TOOLS = ("Xvfb", "xdotool", "import")


def start_checks(doc, arguments=1, tools=SCRIPT_TOOLS):
    """The common start of a test script: its usage (the program, then any
    further paths), and the tools it needs. Answers the exit code to end
    with (2 wrong usage, 77 skipped), or None to go on. A test runner's
    SIGTERM still runs the script's clean-up."""
    if len(sys.argv) != arguments + 1:
        print(doc, file=sys.stderr)
        return 2
    missing = [tool for tool in tools if not shutil.which(tool)]
    if missing:
        print("e2e: skipped, not installed: " + ", ".join(missing))
        return 77
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    return None


class StageMissed(Failure):
    """The machine was too slow to photograph a passing state (the splash)."""


def shots_folder():
    """Where screenshots are kept when THREADWICK_E2E_SHOTS names a folder."""
    keep = os.environ.get("THREADWICK_E2E_SHOTS")
    if keep:
        os.makedirs(keep, exist_ok=True)
    return keep


def run_with_one_retry(name, run):
    """Runs run(program, [further paths,] work, keep) from a new home folder
    and answers the exit code; a run that ends with SystemExit(77) found
    the outside test files missing and is skipped. The splash is on screen for about a second and a half; on a
    machine too slow to photograph it in that time (StageMissed) the whole
    run is tried once more, from a new home folder, before the stage counts
    as failed."""
    keep = shots_folder()
    for attempt in (1, 2):
        work = tempfile.mkdtemp(prefix="threadwick-e2e-%s-" % name)
        try:
            run(*[os.path.abspath(path) for path in sys.argv[1:]], work, keep)
            print("e2e: %s test passed" % name)
            return 0
        except SystemExit as ended:
            if ended.code == 77:
                print("e2e: skipped, the outside test files are missing")
            return ended.code
        except StageMissed as error:
            if attempt == 2:
                print("e2e: FAILED: %s" % error, file=sys.stderr)
                return 1
            print("e2e: %s; trying once more" % error, file=sys.stderr)
        except (Failure, subprocess.SubprocessError, OSError) as error:
            print("e2e: FAILED: %s" % error, file=sys.stderr)
            return 1
        finally:
            shutil.rmtree(work, ignore_errors=True)
    return 1


def run_script(doc, name, run, arguments=1, tools=SCRIPT_TOOLS):
    """The whole of a test script's main: start_checks, then
    run_with_one_retry. Answers the exit code."""
    code = start_checks(doc, arguments, tools)
    if code is not None:
        return code
    return run_with_one_retry(name, run)


def program_env(display, work):
    """The program's environment on the private display: the SDL back end
    and a home folder of its own in work."""
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    return dict(os.environ, DISPLAY=display, THREADWICK_BACKEND="sdl", SDL_VIDEODRIVER="x11",
                THREADWICK_HOME=home, XAUTHORITY=os.path.join(work, "no-xauthority"))


def start_program(program, env, args=()):
    """The program started on the display of env, with args on its command
    line."""
    return subprocess.Popen([program, *args], env=env, preexec_fn=die_with_parent, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)


def alive_check(app):
    """A check that fails with the program's own words once it has ended."""
    def alive():
        if app.poll() is not None:
            raise Failure("the program ended early (%d): %s" %
                          (app.returncode, app.stderr.read().decode(errors="replace")))
    return alive


def stop_processes(*processes):
    """Ends what is still running: politely first, then for good. All are
    asked at once: the program, asked to end while a design is open, asks
    about it as it would a user, and goes when its display does."""
    running = [process for process in processes if process and process.poll() is None]
    for process in running:
        process.send_signal(signal.SIGTERM)
    deadline = time.monotonic() + 5
    for process in running:
        try:
            process.wait(timeout=max(deadline - time.monotonic(), 0.1))
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=10)


# ---- The private display seen from this process (libX11) ----------------------------------------
#
# A look at the windows, at the keyboard's window or at the screen through
# xdotool or ImageMagick's import starts a process or several; on a machine
# whose every core is busy, starting them is what a wait costs. The same
# questions asked over one connection of this process cost a few round
# trips to the server. Where libX11 cannot be loaded the tools answer.

class _WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("window_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class _ClassHint(ctypes.Structure):
    _fields_ = [("res_name", ctypes.c_void_p), ("res_class", ctypes.c_void_p)]


class _Image(ctypes.Structure):
    """The leading fields of an XImage, as far as the pixels' layout."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


IS_VIEWABLE = 2
Z_PIXMAP = 2
LSB_FIRST = 0
ALL_PLANES = ctypes.c_ulong(-1).value


def load_xlib(extra=None):
    """libX11 with the calls used here declared, and those of extra (name:
    (result type, argument types)), or None."""
    path = ctypes.util.find_library("X11")
    if not path:
        return None
    try:
        x = ctypes.CDLL(path)
    except OSError:
        return None
    display, window, ulong = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong
    signatures = {
        "XOpenDisplay": (display, [ctypes.c_char_p]),
        "XConnectionNumber": (ctypes.c_int, [display]),
        "XDefaultScreen": (ctypes.c_int, [display]),
        "XDisplayWidth": (ctypes.c_int, [display, ctypes.c_int]),
        "XDisplayHeight": (ctypes.c_int, [display, ctypes.c_int]),
        "XDefaultRootWindow": (window, [display]),
        "XQueryTree": (ctypes.c_int, [display, window, ctypes.POINTER(window), ctypes.POINTER(window),
                                      ctypes.POINTER(ctypes.POINTER(window)), ctypes.POINTER(ctypes.c_uint)]),
        "XGetWindowAttributes": (ctypes.c_int, [display, window, ctypes.POINTER(_WindowAttributes)]),
        "XGetClassHint": (ctypes.c_int, [display, window, ctypes.POINTER(_ClassHint)]),
        "XInternAtom": (ulong, [display, ctypes.c_char_p, ctypes.c_int]),
        "XGetWindowProperty": (ctypes.c_int, [display, window, ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
                                              ulong, ctypes.POINTER(ulong), ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(ulong), ctypes.POINTER(ulong),
                                              ctypes.POINTER(ctypes.c_void_p)]),
        "XGetInputFocus": (ctypes.c_int, [display, ctypes.POINTER(window), ctypes.POINTER(ctypes.c_int)]),
        "XGetImage": (ctypes.POINTER(_Image), [display, window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                               ctypes.c_uint, ulong, ctypes.c_int]),
        "XDestroyImage": (ctypes.c_int, [ctypes.POINTER(_Image)]),
        "XFree": (ctypes.c_int, [ctypes.c_void_p]),
        "XSetErrorHandler": (ctypes.c_void_p, [ctypes.c_void_p]),
    }
    signatures.update(extra or {})
    try:
        for name, (result, arguments) in signatures.items():
            function = getattr(x, name)
            function.restype, function.argtypes = result, arguments
    except AttributeError:
        return None
    return x


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
# A window that goes between two questions about it answers BadWindow; the
# question then fails and the window is left out, where the default
# handler would end this process.
_ignore_errors = _ERROR_HANDLER(lambda display, event: 0)
_xlib = None
_xlib_loaded = False
_displays = {}


def _libx11():
    global _xlib, _xlib_loaded
    if not _xlib_loaded:
        _xlib_loaded = True
        if not os.environ.get("THREADWICK_E2E_NO_XLIB"):
            _xlib = load_xlib()
        if _xlib:
            _xlib.XSetErrorHandler(ctypes.cast(_ignore_errors, ctypes.c_void_p))
    return _xlib


class XDisplay:
    """This process's connection to a private display."""

    def __init__(self, x, name, handle):
        self.x, self.name, self.handle = x, name, handle
        self.fd = x.XConnectionNumber(handle)
        self.root = x.XDefaultRootWindow(handle)
        screen = x.XDefaultScreen(handle)
        self.size = (x.XDisplayWidth(handle, screen), x.XDisplayHeight(handle, screen))
        self.net_wm_name = x.XInternAtom(handle, b"_NET_WM_NAME", 0)
        self.wm_name = x.XInternAtom(handle, b"WM_NAME", 0)
        self.dead = False

    def check(self):
        """Fails once the server has gone: a question over a closed
        connection would end this process inside libX11."""
        if not self.dead:
            poller = select.poll()
            poller.register(self.fd, select.POLLHUP | select.POLLERR)
            if any(events & (select.POLLHUP | select.POLLERR | select.POLLNVAL) for _, events in poller.poll(0)):
                self.dead = True
        if self.dead:
            raise Failure("the display %s went away" % self.name)

    def _text_property(self, wid, atom):
        kind, size, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        if self.x.XGetWindowProperty(self.handle, wid, atom, 0, 4096, 0, 0, ctypes.byref(kind), ctypes.byref(size),
                                     ctypes.byref(count), ctypes.byref(after), ctypes.byref(data)) != 0:
            return None
        try:
            if not data.value or size.value != 8:
                return None
            return ctypes.string_at(data.value, count.value)
        finally:
            if data.value:
                self.x.XFree(data)

    def windows(self, classname):
        """The viewable top-level windows whose class hint's name holds
        classname (as xdotool's search --onlyvisible --classname finds
        them), bottom to top; a window gone meanwhile is left out."""
        self.check()
        x, handle = self.x, self.handle
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not x.XQueryTree(handle, self.root, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                            ctypes.byref(count)):
            raise Failure("cannot list the windows of %s" % self.name)
        ids = [children[n] for n in range(count.value)]
        if children:
            x.XFree(children)
        wanted = classname.lower().encode()
        found = []
        for wid in ids:
            attributes = _WindowAttributes()
            if not x.XGetWindowAttributes(handle, wid, ctypes.byref(attributes)) or \
                    attributes.map_state != IS_VIEWABLE:
                continue
            hint = _ClassHint()
            if not x.XGetClassHint(handle, wid, ctypes.byref(hint)):
                continue
            res_name = ctypes.string_at(hint.res_name) if hint.res_name else b""
            for field in (hint.res_name, hint.res_class):
                if field:
                    x.XFree(field)
            if wanted not in res_name.lower():
                continue
            # The name as xdotool's getwindowname reads it: the EWMH name,
            # else the ICCCM one.
            name = self._text_property(wid, self.net_wm_name) or self._text_property(wid, self.wm_name) or b""
            found.append(Window(str(wid), name.decode("utf-8", errors="replace"), attributes.x, attributes.y,
                                attributes.width, attributes.height))
        return found

    def focus(self):
        self.check()
        wid, revert = ctypes.c_ulong(), ctypes.c_int()
        self.x.XGetInputFocus(self.handle, ctypes.byref(wid), ctypes.byref(revert))
        return str(wid.value) if wid.value > 1 else None

    def rgb(self):
        """The root window's pixels as 8-bit RGB, or None when the server
        keeps them in a layout other than 32-bit little-endian BGRX."""
        self.check()
        width, height = self.size
        image = self.x.XGetImage(self.handle, self.root, 0, 0, width, height, ALL_PLANES, Z_PIXMAP)
        if not image:
            raise Failure("no picture of the screen of %s" % self.name)
        try:
            fields = image.contents
            if fields.bits_per_pixel != 32 or fields.byte_order != LSB_FIRST or \
                    (fields.red_mask, fields.green_mask, fields.blue_mask) != (0xFF0000, 0xFF00, 0xFF):
                return None
            stride = fields.bytes_per_line
            raw = ctypes.string_at(fields.data, stride * height)
        finally:
            self.x.XDestroyImage(image)
        if stride != width * 4:
            raw = b"".join(raw[y * stride:y * stride + width * 4] for y in range(height))
        pixels = bytearray(width * height * 3)
        pixels[0::3] = raw[2::4]
        pixels[1::3] = raw[1::4]
        pixels[2::3] = raw[0::4]
        return width, height, bytes(pixels)


def x_display(env):
    """This process's connection to the display of env, or None where
    libX11 is missing or the display does not answer it."""
    name = env.get("DISPLAY")
    if not name:
        return None
    if name in _displays:
        return _displays[name]
    x = _libx11()
    handle = None
    if x:
        # The connection is made as the tools' would be: with the
        # authority file of env.
        saved = os.environ.get("XAUTHORITY")
        try:
            if env.get("XAUTHORITY"):
                os.environ["XAUTHORITY"] = env["XAUTHORITY"]
            handle = x.XOpenDisplay(name.encode())
        finally:
            if saved is None:
                os.environ.pop("XAUTHORITY", None)
            else:
                os.environ["XAUTHORITY"] = saved
    _displays[name] = XDisplay(x, name, handle) if handle else None
    return _displays[name]


def forget_display(name):
    """Leaves a connection to a display that has ended (a new server may
    take its number). Its socket is closed, never spoken over again."""
    display = _displays.pop(name, None)
    if display:
        display.dead = True
        try:
            os.close(display.fd)
        except OSError:
            pass


# ---- The program's windows on the private display ----------------------------------------------

# Seconds between looks at the windows or the screen while waiting.
POLL = 0.03
# Milliseconds between keys that go to one window in one run: a menu that
# the first opens hears the next.
KEY_DELAY = 60


class Window:
    """A mapped top-level window of the program: id, name and geometry."""

    def __init__(self, wid, name, x, y, width, height):
        self.wid, self.name = wid, name
        self.x, self.y, self.width, self.height = x, y, width, height

    def __repr__(self):
        return "%r %dx%d+%d+%d" % (self.name, self.width, self.height, self.x, self.y)


def xdotool(env, *args, check=False, timeout=30):
    """Runs xdotool on the display of `env`; its output, stripped."""
    done = subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=timeout, check=check)
    return done.stdout.strip()


def parse_listing(text):
    """The windows of "getwindowgeometry --shell %@ getwindowname %@"
    output: a block of six fields per window, then one name a line; None
    when the two do not match."""
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    geometries = []
    while lines and lines[0].startswith("WINDOW="):
        fields = dict(line.split("=", 1) for line in lines[:6] if "=" in line)
        del lines[:6]
        try:
            geometries.append((fields["WINDOW"], int(fields["X"]), int(fields["Y"]), int(fields["WIDTH"]),
                               int(fields["HEIGHT"])))
        except (KeyError, ValueError):
            return None
    if not geometries or len(lines) != len(geometries):
        return None
    return [Window(wid, name, x, y, width, height) for (wid, x, y, width, height), name in zip(geometries, lines)]


def listed_windows(env, classname="threadwick"):
    """The program's windows as xdotool lists them: all in one run (search,
    then the geometry and name of every window found), or, while windows
    keep going between the search and the look at them, one look per
    window, leaving out those gone meanwhile."""
    for _ in range(5):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", classname,
                                "getwindowgeometry", "--shell", "%@", "getwindowname", "%@"],
                               env=env, capture_output=True, text=True, timeout=30)
        if found.returncode != 0 and not found.stdout and not found.stderr:
            return []  # no window
        listed = parse_listing(found.stdout) if found.returncode == 0 else None
        if listed is not None:
            return listed
    result = []
    for wid in xdotool(env, "search", "--onlyvisible", "--classname", classname).split():
        name = subprocess.run(["xdotool", "getwindowname", wid], env=env, capture_output=True, text=True,
                              timeout=30).stdout.rstrip("\n")
        shell = xdotool(env, "getwindowgeometry", "--shell", wid)
        geometry = dict(line.split("=", 1) for line in shell.splitlines() if "=" in line)
        try:
            result.append(Window(wid, name, int(geometry["X"]), int(geometry["Y"]), int(geometry["WIDTH"]),
                                 int(geometry["HEIGHT"])))
        except (KeyError, ValueError):
            continue
    return result


def program_windows(env, classname="threadwick"):
    """The program's mapped top-level windows, with names and geometry; a
    window gone while being looked at is left out."""
    display = x_display(env)
    if display:
        return display.windows(classname)
    return listed_windows(env, classname)


def focused_window(env):
    """The id of the window that has the X keyboard focus, or None when no
    window has it."""
    display = x_display(env)
    if display:
        return display.focus()
    done = subprocess.run(["xdotool", "getwindowfocus", "-f"], env=env, capture_output=True, text=True, timeout=30)
    wid = done.stdout.strip()
    return wid if done.returncode == 0 and wid.isdigit() and int(wid) > 1 else None


def send_keys(env, wid, *keys, delay=KEY_DELAY):
    """Focuses the window wid and types keys to it, in one xdotool run.
    Without a window manager on the private display windowactivate has
    nobody to ask: focusing the window is what it would do. When the window
    went before it took the focus, the keys go where the focus is, as a
    typist's would."""
    done = subprocess.run(["xdotool", "windowfocus", "--sync", wid, "key", "--delay", str(delay), *keys], env=env,
                          capture_output=True, text=True, timeout=60)
    if done.returncode != 0:
        xdotool(env, "key", "--delay", str(delay), *keys, check=True)


def colours_in(shot, left, top, width, height, step=2):
    """The distinct colours in a rectangle of a screenshot (sampled)."""
    shot_width, shot_height, pixels = shot
    seen = set()
    for y in range(max(top, 0), min(top + height, shot_height), step):
        row = y * shot_width
        for x in range(max(left, 0), min(left + width, shot_width), step):
            offset = (row + x) * 3
            seen.add(bytes(pixels[offset:offset + 3]))
    return seen


def pixel_at(shot, x, y):
    """The colour of one screenshot pixel as an (r, g, b) tuple."""
    width, _, pixels = shot
    offset = (y * width + x) * 3
    return tuple(pixels[offset:offset + 3])


def count_pixels(shot, left, top, width, height, predicate):
    """How many pixels of a rectangle satisfy predicate((r, g, b))."""
    shot_width, shot_height, pixels = shot
    count = 0
    for y in range(max(top, 0), min(top + height, shot_height)):
        row = y * shot_width
        for x in range(max(left, 0), min(left + width, shot_width)):
            offset = (row + x) * 3
            if predicate(tuple(pixels[offset:offset + 3])):
                count += 1
    return count


# ---- A month calendar in a screenshot ------------------------------------------------------------

# Pixels a calendar line may lie off its computed place: the view rounds
# logical units to pixels once for the frame and once for each line.
CALENDAR_TOLERANCE = 2


def is_dark(pixel):
    return sum(pixel) < 240


def is_white(pixel):
    return pixel[0] >= 250 and pixel[1] >= 250 and pixel[2] >= 250


class Shot:
    """A screenshot with the pixel tests the calendar check needs."""

    def __init__(self, shot):
        self.width, self.height, self.pixels = shot

    def __iter__(self):
        """Unpacks as the (width, height, rgb bytes) it was made from."""
        return iter((self.width, self.height, self.pixels))

    def at(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])

    def longest_run(self, fixed, start, end, horizontal):
        """The longest run of dark pixels along a row (or column)."""
        best = run = 0
        for n in range(start, end):
            pixel = self.at(n, fixed) if horizontal else self.at(fixed, n)
            run = run + 1 if is_dark(pixel) else 0
            best = max(best, run)
        return best

    def count(self, left, top, right, bottom, test):
        return sum(1 for y in range(top, bottom) for x in range(left, right) if test(self.at(x, y)))


def longest_stretch(values):
    """The first and last of the longest stretch of consecutive numbers."""
    best, start = None, None
    for n, value in enumerate(values):
        if n == 0 or value != values[n - 1] + 1:
            start = value
        if best is None or value - start > best[1] - best[0]:
            best = (start, value)
    return best


# Each byte value mapped to 1 where a channel of that value passes a test.
WHITE_CHANNEL = bytes(1 if value >= 250 else 0 for value in range(256))


def row_mask(shot, y, left, right, channel_test):
    """One byte for each pixel of row y from left to right (exclusive): 1
    where all three channels pass channel_test (a table of WHITE_CHANNEL's
    kind), else 0. Worked out on whole rows at once, a screenshot's worth
    of pixels takes a moment where one pixel at a time takes seconds."""
    start = (y * shot.width + left) * 3
    passed = shot.pixels[start:start + (right - left) * 3].translate(channel_test)
    both = int.from_bytes(passed[0::3], "little") & int.from_bytes(passed[1::3], "little") & \
        int.from_bytes(passed[2::3], "little")
    return both.to_bytes(right - left, "little")


def column_counts(masks, width):
    """For each of width columns, how many of the masks (of row_mask) hold a
    1 there."""
    counts = [0] * width
    # Up to 255 rows add up without a byte overflowing into its neighbour.
    for first in range(0, len(masks), 255):
        total = sum(int.from_bytes(mask, "little") for mask in masks[first:first + 255])
        for n, count in enumerate(total.to_bytes(width, "little")):
            counts[n] += count
    return counts


def page_box(shot, window, covered=()):
    """The white page inside the design window: the longest stretch of rows
    that hold some white, and within it the longest stretch of columns that
    are white for a tenth of those rows or more (the calendar's lines cross
    the page, but its margins stay white). The white of the windows in
    covered (the tool pad's list floats over the design) is not the page's."""
    left, top = max(window.x, 0), max(window.y, 0)
    right, bottom = min(window.x + window.width, shot.width), min(window.y + window.height, shot.height)
    if right <= left or bottom <= top:
        return None
    masks = {}
    for y in range(top, bottom):
        mask = row_mask(shot, y, left, right, WHITE_CHANNEL)
        over = [(max(w.x, left), min(w.x + w.width, right)) for w in covered if w.y <= y < w.y + w.height]
        if any(start < end for start, end in over):
            mask = bytearray(mask)
            for start, end in over:
                if start < end:
                    mask[start - left:end - left] = bytes(end - start)
            mask = bytes(mask)
        masks[y] = mask
    # Every second pixel of a row counted.
    rows = longest_stretch([y for y in range(top, bottom) if masks[y][0::2].count(1) * 2 >= 40])
    if rows is None:
        return None
    counts = column_counts([masks[y] for y in range(rows[0], rows[1] + 1, 2)], right - left)
    columns = longest_stretch([left + n for n, count in enumerate(counts) if count * 2 >= (rows[1] - rows[0]) // 10])
    if columns is None:
        return None
    return columns[0], rows[0], columns[1] + 1, rows[1] + 1


def line_positions(shot, box, horizontal, share):
    """Rows (or columns) of the box crossed by a dark run of at least share
    of the box's extent, merged into one position per line."""
    left, top, right, bottom = box
    if horizontal:
        found = [y for y in range(top, bottom) if shot.longest_run(y, left, right, True) >= (right - left) * share]
    else:
        found = [x for x in range(left, right) if shot.longest_run(x, top, bottom, False) >= (bottom - top) * share]
    lines = []
    for n in found:
        if lines and n - lines[-1][-1] <= 1:
            lines[-1].append(n)
        else:
            lines.append([n])
    return [(group[0] + group[-1]) / 2 for group in lines]


def expected_lines(left, top, right, bottom):
    """Screen positions of the grid lines of the month layout (y down here;
    the layout's fractions are of the height from the top)."""
    height, width = bottom - top, right - left
    title_bottom = top + height * 15 / 100
    grid_top = title_bottom + height * 7 / 100
    rows = [grid_top + (bottom - grid_top) * r / 6 for r in range(1, 6)]
    columns = [left + width * c / 7 for c in range(1, 7)]
    return title_bottom, grid_top, rows, columns


class CalendarGrid:
    """Where a month calendar's lines were found on the screen: the white
    page round it and its frame as (left, top, right, bottom), the inner
    horizontal lines from the title band's edge down and the six inner
    vertical lines."""

    def __init__(self, page, frame, rows, columns):
        self.page, self.frame, self.rows, self.columns = page, frame, rows, columns

    def on_page(self):
        """The page's size and every line measured from the page's corner:
        the same for the same design at the same zoom, wherever its window
        lies (a new design window is placed below and right of the last)."""
        x, y = self.page[0], self.page[1]
        left, top, right, bottom = self.frame
        return [self.page[2] - x, self.page[3] - y, left - x, top - y, right - x, bottom - y] + \
            [r - y for r in self.rows] + [c - x for c in self.columns]

    def differs_from(self, other, tolerance=CALENDAR_TOLERANCE):
        """None when other's page has this one's size and every line of
        other lies where this grid's does on it, else what moved."""
        if len(self.rows) != len(other.rows) or len(self.columns) != len(other.columns):
            return "%d rows and %d columns against %d and %d" % (len(other.rows), len(other.columns),
                                                                 len(self.rows), len(self.columns))
        moved = [(a, b) for a, b in zip(self.on_page(), other.on_page()) if abs(a - b) > tolerance]
        return None if not moved else "page size and lines from the page's corner (was, now): %r" % moved

    def __repr__(self):
        return "page %r frame %r rows %r columns %r" % (self.page, self.frame, self.rows, self.columns)


def read_calendar(shot, window, covered=()):
    """(None, CalendarGrid) when the window shows this month's calendar laid
    out as computed, else (what is wrong, None).

    The calendar's frame is the outermost long dark lines on the white page;
    inside it the horizontal grid lines must lie where the month layout puts
    them and the vertical lines at the six inner boundaries of seven equal
    columns, with the month's title in the band and a weekday name above
    each column. The cells before the month's 1st (weeks start on Sunday)
    and after its last day are empty, those two days' cells are not. The
    windows in covered float over the design window."""
    page = page_box(shot, window, covered)
    if page is None:
        return "no white page in the design window", None
    # The frame: the outermost long lines on the page.
    horizontal = line_positions(shot, page, True, 0.3)
    if len(horizontal) < 2:
        return "no calendar frame on the page (horizontal lines %r)" % horizontal, None
    top, bottom = int(horizontal[0]), int(horizontal[-1])
    # A selected calendar's side handles split its side lines in two halves.
    vertical = line_positions(shot, (page[0], top, page[2], bottom + 1), False, 0.45)
    if len(vertical) < 2:
        return "no calendar frame on the page (vertical lines %r)" % vertical, None
    left, right = int(vertical[0]), int(vertical[-1])
    if right - left < 140 or bottom - top < 140:
        return "the calendar frame %r is too small" % ((left, top, right, bottom),), None

    title_bottom, grid_top, rows, columns = expected_lines(left, top, right, bottom)
    frame = (left, top, right + 1, bottom + 1)
    # The frame's own lines are left out by place, not by order: the handles
    # of a selected calendar sit on them and may break them into pieces too
    # short to count.
    found_rows = [y for y in line_positions(shot, frame, True, 0.8) if top + 1 < y < bottom - 1]
    wanted_rows = [title_bottom, grid_top] + rows
    if len(found_rows) != len(wanted_rows) or any(abs(a - b) > CALENDAR_TOLERANCE
                                                  for a, b in zip(found_rows, wanted_rows)):
        return "horizontal grid lines at %r, computed %r" % (found_rows, [round(y, 1) for y in wanted_rows]), None
    # Inner columns run from the title band's edge to the bottom.
    found_columns = [x for x in line_positions(shot, (left, int(title_bottom) + 1, right + 1, bottom), False, 0.8)
                     if left + 1 < x < right - 1]
    if len(found_columns) != 6 or any(abs(a - b) > CALENDAR_TOLERANCE for a, b in zip(found_columns, columns)):
        return "vertical grid lines at %r, computed %r" % (found_columns, [round(x, 1) for x in columns]), None
    # No column line crosses the title band, which holds the month's title.
    band = (left + 3, top + 3, right - 2, int(title_bottom) - 2)
    if line_positions(shot, band, False, 0.9):
        return "a vertical line crosses the title band", None
    if shot.count(*band, is_dark) < 20:
        return "no title in the title band", None
    # A weekday name above each of the seven columns.
    edges = [left] + [int(x) for x in columns] + [right]
    for c in range(7):
        if shot.count(edges[c] + 2, int(title_bottom) + 2, edges[c + 1] - 1, int(grid_top) - 1, is_dark) < 3:
            return "no weekday name above column %d" % c, None
    # This month's days: empty cells round them, numbers in the first and
    # the last day's cells.
    today = datetime.date.today()
    first_column = today.replace(day=1).isoweekday() % 7
    days = calendar.monthrange(today.year, today.month)[1]
    row_edges = [int(grid_top)] + [int(y) for y in rows] + [bottom]

    def ink(position):
        row, column = divmod(position, 7)
        return shot.count(edges[column] + 3, row_edges[row] + 3, edges[column + 1] - 2, row_edges[row + 1] - 2,
                          is_dark)
    for position in list(range(first_column)) + list(range(first_column + days, 42)):
        if ink(position):
            return "cell %d, outside %s, is not empty" % (position, today.strftime("%B %Y")), None
    for day in (1, days):
        if ink(first_column + day - 1) < 3:
            return "the cell of %s %d shows no day" % (today.strftime("%B"), day), None
    return None, CalendarGrid(page, (left, top, right, bottom), found_rows, found_columns)


def check_calendar(shot, window):
    """None when the window shows this month's calendar laid out as
    computed, else what is wrong."""
    return read_calendar(shot, window)[0]


# ---- One run of the whole program, driven as a user drives it ------------------------------------

LAUNCHER_TITLE = "Start a New Design"
PAGE_SETUP_TITLE = "Page Setup"
CALENDAR_SETUP_TITLE = "Calendar"
# Windows that may come up on a first run (before the launcher, or over a
# new design); Return takes their default button.
TIP_TITLE = "Tip of the Day"
# The first start asks for the user's return address; Escape declines it
# (Return would only be told that a user name is needed).
RETURN_ADDRESS_TITLE = "Return Address"
DIALOGS_TO_ANSWER = (TIP_TITLE, "User Sign In", "Online Survey", RETURN_ADDRESS_TITLE)
# The Calendar kind's place in the launcher's list.
CALENDAR_KIND = 3
SAVE_AS_TITLE = "Save As"


def windows_path(path):
    """The program's name for a Linux path: drive C: is the root."""
    return "C:" + path.replace("/", "\\")


def write_preferences(env, values):
    """A profile of the program's own form in the home folder of env holding
    only these Preferences values (name: int for a dword, str for a
    string); everything else takes its default."""
    def quoted(text):
        return "".join(ch if 0x20 <= ord(ch) <= 0x7E and ch not in '%"' else "%%%02x" % ord(ch) for ch in text)
    keys = ["Software", "Software\\Velmora Technology", "Software\\Velmora Technology\\Threadwick",
            "Software\\Velmora Technology\\Threadwick\\1.0", "Software\\Velmora Technology\\Threadwick\\1.0\\Preferences"]
    lines = ["threadwick-registry 1"] + ['key "%s"' % key for key in keys]
    for name, value in values.items():
        if isinstance(value, int):
            lines.append('  value "%s" dword 0x%08x' % (name, value))
        else:
            lines.append('  value "%s" sz "%s%%00"' % (name, quoted(value)))
    lines.append("end")
    config = os.path.join(env["THREADWICK_HOME"], "config")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "registry"), "w") as f:
        f.write("\n".join(lines) + "\n")


def same_place(before, after, window):
    """Whether two screenshots show the same pixels where window lies."""
    left, right = max(window.x, 0), min(window.x + window.width, after.width)
    if right <= left:
        return True
    for y in range(max(window.y, 0), min(window.y + window.height, after.height)):
        start, end = (y * after.width + left) * 3, (y * after.width + right) * 3
        if before.pixels[start:end] != after.pixels[start:end]:
            return False
    return True


# Seconds the screen must keep still for a window to count as painted:
# longer than the pauses between the windows the program paints after one
# input, shorter than the caret's blink (530 ms), which would never let
# the screen keep still for longer.
QUIET = 0.3
# Seconds between screenshots while waiting for the screen to keep still.
SCREEN_POLL = 0.05
# Upper bounds: for the screen to answer an input (an input whose answer
# does not show costs all of it: such a wait is asked for without an
# answer), for it to keep still (a screen that never does is taken as it
# is), and for a key to be heard.
ANSWER_WITHIN = 8.0
STILL_WITHIN = 15.0
HEARD_WITHIN = 10.0
# A window answered is not answered again for this long: a second Return
# while it closes would reach the window under it.
ANSWER_AGAIN = 10.0
# The program's double-click time is 500 ms, counted from when it takes a
# press from its queue.
DOUBLE_CLICK = 0.6
TRACE = bool(os.environ.get("THREADWICK_E2E_TRACE"))


def trace(text):
    """What a wait cost, on stderr, when THREADWICK_E2E_TRACE is set."""
    if TRACE:
        print("e2e trace: " + text, file=sys.stderr)


class DesignRoad:
    """A design window's page and the mouse on it, for the roads that draw and drag on it."""

    def __init__(self, session, main):
        self.session, self.env, self.main = session, session.env, main

    def covered(self):
        """The program's smaller windows float over the design (the tool pad)."""
        return [w for w in self.session.windows() if w.wid != self.main.wid]

    def settle(self, stage, quiet=QUIET, answer=True):
        """A screenshot once the view has painted (see Session.settle)."""
        return self.session.settle(stage, quiet, answer)

    def page(self, shot):
        found = page_box(shot, self.main, self.covered())
        if found is None:
            raise Failure("no white page in the design window")
        return found

    def keys(self, *keys):
        self.session.key(self.main.wid, *keys)

    def hide_tool_pad(self):
        """View > Tool Pad hides the floating tool pad, which lies over the
        design, when it shows."""
        if self.session.window_named("Tool Pad"):
            self.keys("alt+v", "o")
            wait_for("the tool pad to go", lambda: not self.session.window_named("Tool Pad"), 30, interval=POLL)

    def move(self, x, y):
        xdotool(self.env, "mousemove", str(x), str(y), check=True)
        time.sleep(0.05)

    def drag(self, start, end, steps=8, modifier=None):
        """A left-button drag from start to end through steps moves, at a
        hand's pace, in one xdotool run."""
        chain = ["mousemove", str(start[0]), str(start[1]), "sleep", "0.05"]
        if modifier:
            chain += ["keydown", modifier]
        chain += ["mousedown", "1"]
        for n in range(1, steps + 1):
            chain += ["mousemove", str(start[0] + (end[0] - start[0]) * n // steps),
                      str(start[1] + (end[1] - start[1]) * n // steps), "sleep", "0.08"]
        chain += ["mouseup", "1"]
        if modifier:
            chain += ["keyup", modifier]
        self.session.pointer(chain)

    def click(self, point, button="1", modifier=None, repeat=1):
        chain = ["mousemove", str(point[0]), str(point[1]), "sleep", "0.05"]
        if modifier:
            chain += ["keydown", modifier]
        chain += ["click", "--repeat", str(repeat), "--delay", "80", button]
        if modifier:
            chain += ["keyup", modifier]
        self.session.pointer(chain)


class Session:
    """One run of the program on a private display: its process, its
    windows, keys sent to them and screenshots named after the stage (kept
    as <prefix>-<stage>.ppm when a shots folder is given)."""

    def __init__(self, program, env, work, keep, prefix, screen, args=()):
        self.env, self.work, self.keep, self.prefix, self.screen = env, work, keep, prefix, screen
        self.app = start_program(program, env, args)
        self.alive = alive_check(self.app)
        # The last screenshot, and the last one taken before the latest
        # input that no settle has waited for yet.
        self.last_shot = None
        self.before_input = None
        self.unsettled = False
        # Where and when the mouse was last pressed, and when the screen
        # first answered that.
        self.press_point = None
        self.pressed_at = 0.0
        self.press_answered_at = None
        # The windows answered with their time, and whether the tip of the
        # day was among them.
        self.answered = {}
        self.tip_answered = False

    def kept_path(self, stage):
        return os.path.join(self.keep, "%s-%s.ppm" % (self.prefix, stage)) if self.keep else None

    def shot(self, stage):
        self.last_shot = Shot(screenshot(self.env, self.kept_path(stage)))
        return self.last_shot

    def look(self):
        """A screenshot kept nowhere: one of many taken while waiting."""
        self.last_shot = Shot(screen_pixels(self.env))
        return self.last_shot

    def sent_input(self):
        """Input went to the program: the next settle waits for the screen to
        move on from the last screenshot taken before it."""
        self.before_input = self.last_shot
        self.unsettled = True

    def settle(self, stage, quiet=QUIET, answer=True):
        """A screenshot once the view has painted: once the screen has moved
        on from the last screenshot before the latest input (when input went
        since the last settle and answer says that it shows), then kept
        still for quiet seconds. The screenshot is kept as the stage."""
        self.alive()
        reference = self.before_input if answer and self.unsettled else None
        self.unsettled = False
        began = time.monotonic()
        now = self.look()
        if reference is not None and reference.pixels == now.pixels:
            deadline = began + ANSWER_WITHIN
            while now.pixels == reference.pixels and time.monotonic() < deadline:
                time.sleep(POLL)
                now = self.look()
            if now.pixels == reference.pixels:
                trace("%s-%s: the screen did not answer in %.0f s" % (self.prefix, stage, ANSWER_WITHIN))
        if reference is not None and reference.pixels != now.pixels and self.press_answered_at is None:
            self.press_answered_at = time.monotonic()
        still_since = time.monotonic()
        deadline = still_since + STILL_WITHIN
        while time.monotonic() - still_since < quiet and time.monotonic() < deadline:
            time.sleep(SCREEN_POLL)
            later = self.look()
            if later.pixels != now.pixels:
                now, still_since = later, time.monotonic()
        trace("%s-%s: settled in %.2f s" % (self.prefix, stage, time.monotonic() - began))
        if self.keep:
            write_ppm(self.kept_path(stage), (now.width, now.height, now.pixels))
        return now

    def past_double_click(self, point):
        """Waits until a press at point cannot complete a double click with
        the last press, which it would near the same place within the
        program's double-click time. The program times a press when it takes
        it from its queue: no later than when the screen answered it, when it
        did, and no earlier than when it was sent."""
        if self.press_point is None or any(abs(a - b) > 4 for a, b in zip(point, self.press_point)):
            return
        since = self.press_answered_at if self.press_answered_at is not None else self.pressed_at
        remaining = since + DOUBLE_CLICK - time.monotonic()
        if remaining > 0:
            time.sleep(remaining)

    def key(self, wid, *keys):
        send_keys(self.env, wid, *keys)
        self.sent_input()

    def keys_to_focus(self, *keys):
        """Types keys to the window that has the keyboard, focusing none."""
        xdotool(self.env, "key", "--delay", str(KEY_DELAY), *keys, check=True)
        self.sent_input()

    def type_text(self, text):
        """Types text into the window that has the focus."""
        xdotool(self.env, "type", "--delay", "30", "--", text, check=True)
        self.sent_input()

    def pointer(self, chain):
        """A chain of xdotool's mouse (and modifier key) commands, in one run.
        Its first press waits until it cannot make a double click with the
        last one: a double click is asked for within one chain."""
        presses, place = [], None
        for n, word in enumerate(chain):
            if word == "mousemove":
                numbers = [w for w in chain[n + 1:n + 4] if w.lstrip("-").isdigit()][:2]
                place = tuple(int(w) for w in numbers)
            elif word in ("click", "mousedown") and place is not None:
                presses.append(place)
        if presses:
            self.past_double_click(presses[0])
        xdotool(self.env, *chain, check=True)
        if presses:
            self.press_point, self.pressed_at, self.press_answered_at = presses[-1], time.monotonic(), None
        self.sent_input()

    def windows(self):
        return program_windows(self.env)

    def window_named(self, name):
        return next((w for w in self.windows() if w.name == name), None)

    def main_window(self):
        """The program's main window: the one that fills most of the screen."""
        return next((w for w in self.windows()
                     if w.width >= self.screen[0] * 3 // 4 and w.height >= self.screen[1] * 3 // 4), None)

    def answer(self, window, key):
        """Types key to window unless it was answered a moment ago and is
        still closing. The screen is looked at first: the next settle waits
        for what the window covered to be painted again."""
        if time.monotonic() - self.answered.get(window.wid, -ANSWER_AGAIN) >= ANSWER_AGAIN:
            self.answered[window.wid] = time.monotonic()
            self.look()
            self.key(window.wid, key)

    def answer_dialogs(self, names=DIALOGS_TO_ANSWER):
        """Takes the default button of the first window up whose name is one
        of names (once: it may take a moment to close); its name, or None
        when there was none."""
        for w in self.windows():
            if w.name in names:
                self.answer(w, "Escape" if w.name == RETURN_ADDRESS_TITLE else "Return")
                if w.name == TIP_TITLE:
                    self.tip_answered = True
                return w.name
        return None

    def wait_window(self, name, seconds=60):
        """The window named name, once it is mapped."""
        def found():
            self.alive()
            return self.window_named(name)
        return wait_for("the window %r" % name, found, seconds, interval=POLL)

    def wait_gone(self, wid, what, seconds=60):
        """Waits for the window wid to go; on failure the screen is kept as
        the stage "not-gone" and the windows up are named."""
        def gone():
            self.alive()
            return not any(w.wid == wid for w in self.windows())
        try:
            wait_for(what, gone, seconds, interval=POLL)
        except Failure:
            self.shot("not-gone")
            raise Failure("timed out waiting for %s; windows: %r" % (what, self.windows()))

    def wait_ready(self, window, stage, seconds=10):
        """The screenshot once window has the keyboard and has painted (see
        wait_drawn): keys typed before a window takes the keyboard reach the
        one that had it."""
        def focused():
            self.alive()
            return focused_window(self.env) == window.wid or not any(w.wid == window.wid for w in self.windows())
        try:
            wait_for("%r to take the keyboard" % window.name, focused, seconds, interval=POLL)
        except Failure:
            trace("%s-%s: %r never took the keyboard" % (self.prefix, stage, window.name))
        return self.wait_drawn(window, stage)

    def wait_drawn(self, window, stage):
        """The screenshot once window, which the latest input brought, has
        painted: its place on the screen shows other than it did before that
        input, then the screen keeps still. A window just mapped shows what
        was under it until the program paints it, later on a loaded machine."""
        self.alive()
        reference = self.before_input
        if reference is not None:
            began = time.monotonic()

            def painted():
                self.alive()
                return not same_place(reference, self.look(), window)
            try:
                wait_for("%r to paint" % window.name, painted, ANSWER_WITHIN, interval=POLL)
            except Failure:
                trace("%s-%s: %r showed as before for %.0f s" % (self.prefix, stage, window.name,
                                                                 time.monotonic() - began))
        return self.settle(stage, answer=False)

    def state(self):
        """The program's windows and the keyboard's window, as compared to
        tell that a key was heard."""
        return focused_window(self.env), tuple((w.wid, w.name, w.x, w.y, w.width, w.height) for w in self.windows())

    def press(self, key):
        """One key to the window that has the keyboard; returns once the
        program shows that it heard it: its windows, the keyboard's window
        or the screen changed, and then the windows kept still for a moment
        (a menu just up takes the keyboard). A key that shows nothing is
        waited for HEARD_WITHIN seconds."""
        before, screen = self.state(), self.look()
        xdotool(self.env, "key", key, check=True)
        self.sent_input()
        changed = [None]

        def heard():
            self.alive()
            changed[0] = self.state()
            return changed[0] != before or self.look().pixels != screen.pixels
        began = time.monotonic()
        try:
            wait_for("the program to hear %s" % key, heard, HEARD_WITHIN, interval=POLL)
        except Failure:
            trace("%s: %s showed nothing in %.0f s" % (self.prefix, key, HEARD_WITHIN))
            return
        deadline = time.monotonic() + 2
        while time.monotonic() < deadline:
            time.sleep(POLL)
            now = self.state()
            if now == changed[0]:
                break
            changed[0] = now
        trace("%s: %s heard in %.2f s" % (self.prefix, key, time.monotonic() - began))

    def wait_design(self, title_part, what, seconds=60, answer=DIALOGS_TO_ANSWER):
        """The main window once its title holds title_part, taking the
        default of any window named in answer meanwhile."""
        def design():
            self.alive()
            current = self.main_window()
            if current and title_part in current.name:
                return current
            self.answer_dialogs(answer)
            return None
        try:
            return wait_for(what, design, seconds, interval=POLL)
        except Failure:
            self.shot("no-design")
            raise Failure("no %s; windows: %r" % (what, self.windows()))

    def wait_launcher(self):
        """The launcher, once the main window is up and the first-run dialogs
        are answered."""
        def launcher():
            self.alive()
            found = self.window_named(LAUNCHER_TITLE)
            if found:
                return found
            self.answer_dialogs()
            return None
        return wait_for("the launcher", launcher, 90, interval=POLL)

    def new_blank_design(self, launch, kind, title):
        """The kind at place `kind` of the launcher's list from a blank page,
        Page Setup taking its default; the design's main window, once its
        title holds title."""
        # Keys sent the moment the launcher maps can arrive before it takes
        # the focus.
        self.wait_ready(launch, "launcher")
        # A mnemonic moves to the next control that has it after the focus:
        # from "blank page" Alt+W reaches "Design Wizard" first, then the kind
        # list, wherever the focus was at the start.
        self.key(launch.wid, "alt+b", "alt+w", "alt+w", "Home", *(["Down"] * kind), "alt+b", "Return")
        return self.wait_design(title, "%s design window" % title, answer=DIALOGS_TO_ANSWER + (PAGE_SETUP_TITLE,))

    def new_calendar_design(self, launch):
        """The Calendar kind from a blank page in the launcher, Page Setup
        taking its default, then the new calendar's set-up taking its own
        (this month); the design's main window."""
        main = self.new_blank_design(launch, CALENDAR_KIND, "Calendar1")
        setup = self.wait_window(CALENDAR_SETUP_TITLE)
        self.wait_ready(setup, "calendar-setup")
        self.key(setup.wid, "Return")
        self.wait_gone(setup.wid, "the calendar set-up to close")
        return main

    def wait_calendar(self, main, stage, seconds=60):
        """The grid of this month's calendar in the design window, once it is
        painted; the last fault when the time is up."""
        fault = ["not checked"]
        grid = [None]

        def calendar_shown():
            self.alive()
            # The tip of the day comes up over a design on a first run.
            name = self.answer_dialogs()
            if name:
                fault[0] = "%r stayed open over the design" % name
                return False
            # Smaller windows of the program (the tool pad) float over it.
            covered = [w for w in self.windows() if w.wid != main.wid]
            fault[0], grid[0] = read_calendar(self.shot(stage), main, covered)
            return fault[0] is None
        try:
            wait_for("the calendar", calendar_shown, seconds, interval=0.1)
        except Failure:
            raise Failure("the design window shows no month calendar: " + fault[0])
        return grid[0]

    def save_as(self, main, path):
        """File > Save As, the path typed over the proposed name, Return."""
        self.path_through_file_dialog(main, "a", SAVE_AS_TITLE, "save-as", path)

    def path_through_file_dialog(self, main, letter, title, stage, path):
        """File > letter opens the file dialog titled title; path, as the
        program names it, is typed over what its name field holds (the field
        has the focus), Return, and the dialog must close."""
        self.key(main.wid, "alt+f", letter)
        dialog = self.wait_window(title)
        self.shot(stage)
        self.key(dialog.wid, "End", "shift+Home")
        self.type_text(windows_path(path))
        self.key(dialog.wid, "Return")
        self.wait_gone(dialog.wid, "the %s dialog to close" % title)

    def quit(self, answer_save="n"):
        """File > Exit, answering a question about saving with answer_save
        (None: a design just saved must not be asked about); fails unless
        the program ends with 0."""
        main = self.main_window()
        if main is None:
            raise Failure("no main window to quit from; windows: %r" % self.windows())
        self.key(main.wid, "alt+f", "x")

        def ended():
            if self.app.poll() is not None:
                return True
            for w in self.windows():
                if w.name == "Threadwick" and w.width < self.screen[0] // 2:
                    if answer_save is None:
                        self.shot("question")
                        raise Failure("File > Exit asked a question over a saved design")
                    self.answer(w, answer_save)
            return False
        wait_for("the program to end", ended, 60, interval=POLL)
        if self.app.returncode != 0:
            raise Failure("the program ended with %d: %s" %
                          (self.app.returncode, self.app.stderr.read().decode(errors="replace")))


def press(session, window, *keys):
    """Keys one at a time, each once the program has shown that it heard the
    one before: a menu takes a moment to open before it hears the next key."""
    xdotool(session.env, "windowfocus", "--sync", window.wid)
    for key in keys:
        session.press(key)


# The picture file dialog and the picture browser share their title; the
# browser is far larger.
OPEN_TITLE = "Open"
PICTURE_HINT_TITLE = "Picture Preview"
BROWSER_WIDTH = 700


def insert_picture(session, road, path):
    """Insert > Picture > From Other Location and the file chosen there."""
    press(session, road.main, "alt+i", "p", "o")
    choose_picture_file(session, path)


def choose_picture_file(session, path):
    """The picture chooser just asked for: on to its file dialog through
    Single Preview (and the hint about the two, when it comes), the file's
    path typed into its name field and Return."""
    dialog = session.wait_window(OPEN_TITLE)
    if dialog.width >= BROWSER_WIDTH:
        session.wait_ready(dialog, "picture-browser")
        dialog = single_file_dialog(session, dialog)
    type_into_file_dialog(session, dialog, path)


def single_file_dialog(session, browser, seconds=60):
    """Single Preview from the picture browser (it must still listen), the
    hint about the two answered when it comes: the file dialog."""
    session.key(browser.wid, "alt+n")
    answered = []

    def file_dialog():
        session.alive()
        hint = session.window_named(PICTURE_HINT_TITLE)
        if hint:
            if hint.wid not in answered:
                answered.append(hint.wid)
                session.key(hint.wid, "Return")
            return None
        return next((w for w in session.windows() if w.name == OPEN_TITLE and w.width < BROWSER_WIDTH), None)
    return wait_for("the picture file dialog after Single Preview", file_dialog, seconds, interval=POLL)


def type_into_file_dialog(session, dialog, path):
    session.wait_ready(dialog, "file-dialog")
    session.key(dialog.wid, "End", "shift+Home")
    session.type_text(windows_path(path))
    session.key(dialog.wid, "Return")
    session.wait_gone(dialog.wid, "the file dialog to close")


def print_to_pdf(session, road, pdf, resolution=50, size=None):
    """File > Print, the print dialog's default (the PDF-file printer, the
    only one here), and the file's name asked for: the first page
    rasterised at resolution, or scaled to size (width, height)."""
    road.keys("ctrl+p")
    dialog = session.wait_window("Print")
    session.wait_ready(dialog, "print-dialog")
    session.key(dialog.wid, "Return")
    session.wait_gone(dialog.wid, "the print dialog to close")
    to_file = session.wait_window("Print to File")
    session.wait_ready(to_file, "print-to-file")
    session.key(to_file.wid, "End", "shift+Home")
    session.type_text(windows_path(pdf))
    session.key(to_file.wid, "Return")
    session.wait_gone(to_file.wid, "the Print to File dialog to close")
    written_file(pdf, "the printed PDF", seconds=120)
    prefix = pdf[:-4]
    scale = ["-scale-to-x", str(size[0]), "-scale-to-y", str(size[1])] if size else ["-r", str(resolution)]
    subprocess.run(["pdftoppm"] + scale + ["-f", "1", "-l", "1", pdf, prefix], check=True, timeout=60)
    return read_ppm(prefix + "-1.ppm")


# Text drawn on the screen set against a helper's headless drawing of the
# same design: the first-run windows cleared, ink found, and the helper's
# PPM picture read.


def written_file(path, what, seconds=60, since=None):
    """Waits for the program to write the file at path: there, not empty,
    newer than the modification time since (in nanoseconds) when one is
    given, and of one size and time for a moment (it is not being written
    still)."""
    seen = [None]

    def done():
        try:
            status = os.stat(path)
        except FileNotFoundError:
            return False
        now = (status.st_size, status.st_mtime_ns)
        if status.st_size == 0 or (since is not None and status.st_mtime_ns == since) or now != seen[0]:
            seen[0] = now
            return False
        return True
    wait_for(what, done, seconds, interval=0.2)


def make_shirt_design(helper, path, work):
    """The shirt design of misspelt texts that e2e_spell_design makes
    through the program's own save (front: wrapped "Teh cat sat. teh end",
    back: block "recieve the cat"), saved at path."""
    env = dict(os.environ, THREADWICK_BACKEND="headless", THREADWICK_SPELL_ROAD_MAKE=path,
               THREADWICK_HOME=os.path.join(work, "helper-home"))
    done = subprocess.run([helper, "--gtest_filter=*MakesTheShirtDesign*"], env=env, capture_output=True,
                          text=True, timeout=120)
    if done.returncode != 0 or not os.path.isfile(path):
        raise Failure("the helper could not make the design: %s" % done.stdout[-2000:])


def clear_dialogs(session, quiet=1.5, seconds=30):
    """Takes the default of the first-run windows until none has been up for
    quiet seconds: the tip of the day may come up a while after the design.
    It comes at every start; once it has been answered, a moment without
    any will do."""
    quiet_since = time.monotonic()
    deadline = quiet_since + seconds
    while time.monotonic() < deadline:
        session.alive()
        if session.answer_dialogs():
            quiet_since = time.monotonic()
        elif time.monotonic() - quiet_since >= (QUIET if session.tip_answered else quiet):
            return
        time.sleep(POLL)


def ink(pixel):
    """The text's default colour is black; the margin line is red and the
    page white."""
    return max(pixel) < 110


def paper_pixel(pixel):
    """The page's white, its red margin line and label, or text on it."""
    r, g, b = pixel
    return is_white(pixel) or (r > 150 and g < 120 and b < 120)


INK_CHANNEL = bytes(1 if value < 110 else 0 for value in range(256))


def ink_in(shot, box):
    """The ink pixels of a box as a set of (x, y) from the box's corner."""
    left, top, right, bottom = box
    found = set()
    for y in range(top, bottom):
        mask = row_mask(shot, y, left, right, INK_CHANNEL)
        start = mask.find(1)
        while start >= 0:
            found.add((start, y - top))
            start = mask.find(1, start + 1)
    return found


def bounds(points):
    if not points:
        return None
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def near_share(points, others):
    """The share of points that have a point of others within a pixel."""
    if not points:
        return 0.0
    hits = sum(1 for (x, y) in points if any((x + dx, y + dy) in others for dx in (-1, 0, 1) for dy in (-1, 0, 1)))
    return hits / len(points)


class Picture:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])


def read_ppm(path):
    with open(path, "rb") as f:
        return Picture(*ppm_fields(f.read()))


# ---- Pictures set against the screen -------------------------------------------------------------

def changed_box(before, after, box, change=24):
    """The bounding box (left, top, right, bottom) of the pixels of box whose
    colour moved by more than change in a channel between two shots, and
    their number; (None, 0) when none did."""
    left, top, right, bottom = box
    found, count = None, 0
    first, last = max(left, 0), min(right, after.width)
    for y in range(max(top, 0), min(bottom, after.height)):
        # Most rows are as they were: those are passed over whole.
        if before.pixels[(y * before.width + first) * 3:(y * before.width + last) * 3] == \
                after.pixels[(y * after.width + first) * 3:(y * after.width + last) * 3]:
            continue
        for x in range(first, last):
            if any(abs(a - b) > change for a, b in zip(before.at(x, y), after.at(x, y))):
                count += 1
                if found is None:
                    found = [x, y, x + 1, y + 1]
                else:
                    found = [min(found[0], x), min(found[1], y), max(found[2], x + 1), max(found[3], y + 1)]
    return (tuple(found) if found else None), count


def magick_picture(path, size=None):
    """ImageMagick's reading of a picture file (its first frame, transparent
    parts on white), stretched to size (width, height) when given."""
    command = ["convert", path + "[0]", "-background", "white", "-alpha", "remove", "-alpha", "off"]
    if size:
        command += ["-resize", "%dx%d!" % size]
    done = subprocess.run(command + ["-depth", "8", "ppm:-"], capture_output=True, timeout=60)
    if done.returncode != 0:
        raise Failure("ImageMagick cannot read %s: %s" % (path, done.stderr.decode(errors="replace")[-500:]))
    return Picture(*ppm_fields(done.stdout))


def mean_difference(shot, left, top, picture, step=1):
    """The mean difference per channel between picture and the part of the
    shot whose top-left corner is (left, top), every step-th pixel each way;
    a picture reaching off the shot differs by 255."""
    if left < 0 or top < 0 or left + picture.width > shot.width or top + picture.height > shot.height:
        return 255.0
    total, count = 0, 0
    for y in range(0, picture.height, step):
        for x in range(0, picture.width, step):
            a, b = shot.at(left + x, top + y), picture.at(x, y)
            total += abs(a[0] - b[0]) + abs(a[1] - b[1]) + abs(a[2] - b[2])
            count += 3
    return total / max(count, 1)


def locate(shot, picture, guess, reach=6):
    """Where the picture shows best in the shot within reach pixels of guess
    (its top-left corner): (left, top, mean difference per channel)."""
    best = None
    for dy in range(-reach, reach + 1):
        for dx in range(-reach, reach + 1):
            rough = mean_difference(shot, guess[0] + dx, guess[1] + dy, picture, step=4)
            if best is None or rough < best[0]:
                best = (rough, guess[0] + dx, guess[1] + dy)
    return best[1], best[2], mean_difference(shot, best[1], best[2], picture)
