"""What the end-to-end tests share: a private Xvfb, bounded waits,
screenshots of the root window, a month calendar found in one, and a run of
the program driven through its windows as a user drives it."""

import calendar
import datetime
import os
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
                time.sleep(0.05)
            number += chunk
        except BlockingIOError:
            time.sleep(0.05)
    os.close(read_end)
    return xvfb, ":" + number.decode().strip()


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


def screenshot(env, path):
    """A screenshot of the root window saved at path (8-bit PPM), read back
    as (width, height, rgb bytes)."""
    subprocess.run(["import", "-window", "root", "-depth", "8", path], env=env, check=True, timeout=20,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(path, "rb") as f:
        return ppm_fields(f.read())


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
    """Ends what is still running: politely first, then for good."""
    for process in processes:
        if process and process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=10)


# ---- The program's windows on the private display (xdotool) ------------------------------------

class Window:
    """A mapped top-level window of the program: id, name and geometry."""

    def __init__(self, wid, name, x, y, width, height):
        self.wid, self.name = wid, name
        self.x, self.y, self.width, self.height = x, y, width, height

    def __repr__(self):
        return "%r %dx%d+%d+%d" % (self.name, self.width, self.height, self.x, self.y)


def xdotool(env, *args, check=False):
    """Runs xdotool on the display of `env`; its output, stripped."""
    done = subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=10, check=check)
    return done.stdout.strip()


def program_windows(env, classname="threadwick"):
    """The program's mapped top-level windows, with names and geometry; a
    window gone while being looked at is left out."""
    result = []
    for wid in xdotool(env, "search", "--onlyvisible", "--classname", classname).split():
        name = subprocess.run(["xdotool", "getwindowname", wid], env=env, capture_output=True, text=True,
                              timeout=10).stdout.rstrip("\n")
        shell = xdotool(env, "getwindowgeometry", "--shell", wid)
        geometry = dict(line.split("=", 1) for line in shell.splitlines() if "=" in line)
        try:
            result.append(Window(wid, name, int(geometry["X"]), int(geometry["Y"]), int(geometry["WIDTH"]),
                                 int(geometry["HEIGHT"])))
        except (KeyError, ValueError):
            continue
    return result


def focused_window(env):
    """The id of the window that has the X keyboard focus, or None when no
    window has it."""
    done = subprocess.run(["xdotool", "getwindowfocus", "-f"], env=env, capture_output=True, text=True, timeout=10)
    wid = done.stdout.strip()
    return wid if done.returncode == 0 and wid.isdigit() and int(wid) > 1 else None


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


def page_box(shot, window, covered=()):
    """The white page inside the design window: the longest stretch of rows
    that hold some white, and within it the longest stretch of columns that
    are white for a tenth of those rows or more (the calendar's lines cross
    the page, but its margins stay white). The white of the windows in
    covered (the tool pad's list floats over the design) is not the page's."""
    left, top = max(window.x, 0), max(window.y, 0)
    right, bottom = min(window.x + window.width, shot.width), min(window.y + window.height, shot.height)

    def white(x, y):
        return is_white(shot.at(x, y)) and not any(w.x <= x < w.x + w.width and w.y <= y < w.y + w.height
                                                   for w in covered)
    rows = longest_stretch([y for y in range(top, bottom)
                            if sum(1 for x in range(left, right, 2) if white(x, y)) * 2 >= 40])
    if rows is None:
        return None
    columns = longest_stretch([x for x in range(left, right)
                               if sum(1 for y in range(rows[0], rows[1] + 1, 2) if white(x, y)) * 2
                               >= (rows[1] - rows[0]) // 10])
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
# Windows that may come up on a first run (before the launcher, or over a
# new design); Return takes their default button.
DIALOGS_TO_ANSWER = ("Tip of the Day", "User Sign In", "Online Survey")
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


class DesignRoad:
    """A design window's page and the mouse on it, for the roads that draw and drag on it."""

    def __init__(self, session, main):
        self.session, self.env, self.main = session, session.env, main

    def covered(self):
        """The program's smaller windows float over the design (the tool pad)."""
        return [w for w in self.session.windows() if w.wid != self.main.wid]

    def settle(self, stage, seconds=1.0, pause=0.3, patience=5):
        """A screenshot once two in a row agree (the view has painted)."""
        time.sleep(pause)
        last = self.session.shot(stage)
        deadline = time.monotonic() + seconds * patience
        while time.monotonic() < deadline:
            time.sleep(seconds / 2)
            now = self.session.shot(stage)
            if now.pixels == last.pixels:
                return now
            last = now
        return last

    def page(self, shot):
        found = page_box(shot, self.main, self.covered())
        if found is None:
            raise Failure("no white page in the design window")
        return found

    def keys(self, *keys):
        self.session.key(self.main.wid, *keys)

    def move(self, x, y):
        xdotool(self.env, "mousemove", str(x), str(y), check=True)
        time.sleep(0.05)

    def drag(self, start, end, steps=8, modifier=None):
        """A left-button drag from start to end through steps moves."""
        self.move(*start)
        if modifier:
            xdotool(self.env, "keydown", modifier, check=True)
        xdotool(self.env, "mousedown", "1", check=True)
        for n in range(1, steps + 1):
            self.move(start[0] + (end[0] - start[0]) * n // steps, start[1] + (end[1] - start[1]) * n // steps)
            time.sleep(0.03)
        xdotool(self.env, "mouseup", "1", check=True)
        if modifier:
            xdotool(self.env, "keyup", modifier, check=True)

    def click(self, point, button="1", modifier=None, repeat=1):
        self.move(*point)
        if modifier:
            xdotool(self.env, "keydown", modifier, check=True)
        xdotool(self.env, "click", "--repeat", str(repeat), "--delay", "80", button, check=True)
        if modifier:
            xdotool(self.env, "keyup", modifier, check=True)


class Session:
    """One run of the program on a private display: its process, its
    windows, keys sent to them and screenshots named after the stage (kept
    as <prefix>-<stage>.ppm when a shots folder is given)."""

    def __init__(self, program, env, work, keep, prefix, screen, args=()):
        self.env, self.work, self.keep, self.prefix, self.screen = env, work, keep, prefix, screen
        self.app = start_program(program, env, args)
        self.alive = alive_check(self.app)

    def shot(self, stage):
        path = os.path.join(self.work, "%s-%s.ppm" % (self.prefix, stage))
        result = screenshot(self.env, path)
        if self.keep:
            shutil.copy(path, os.path.join(self.keep, "%s-%s.ppm" % (self.prefix, stage)))
        return Shot(result)

    def key(self, wid, *keys):
        xdotool(self.env, "windowactivate", "--sync", wid)
        xdotool(self.env, "windowfocus", "--sync", wid)
        xdotool(self.env, "key", "--delay", "60", *keys, check=True)

    def type_text(self, text):
        """Types text into the window that has the focus."""
        xdotool(self.env, "type", "--delay", "30", text, check=True)

    def windows(self):
        return program_windows(self.env)

    def window_named(self, name):
        return next((w for w in self.windows() if w.name == name), None)

    def main_window(self):
        """The program's main window: the one that fills most of the screen."""
        return next((w for w in self.windows()
                     if w.width >= self.screen[0] * 3 // 4 and w.height >= self.screen[1] * 3 // 4), None)

    def answer_dialogs(self, names=DIALOGS_TO_ANSWER):
        """Takes the default button of the first window up whose name is one
        of names; its name, or None when there was none."""
        for w in self.windows():
            if w.name in names:
                self.key(w.wid, "Return")
                return w.name
        return None

    def wait_window(self, name, seconds=30):
        """The window named name, once it is mapped."""
        def found():
            self.alive()
            return self.window_named(name)
        return wait_for("the window %r" % name, found, seconds, interval=0.2)

    def wait_gone(self, wid, what, seconds=30):
        """Waits for the window wid to go; on failure the screen is kept as
        the stage "not-gone" and the windows up are named."""
        def gone():
            self.alive()
            return not any(w.wid == wid for w in self.windows())
        try:
            wait_for(what, gone, seconds, interval=0.2)
        except Failure:
            self.shot("not-gone")
            raise Failure("timed out waiting for %s; windows: %r" % (what, self.windows()))

    def wait_design(self, title_part, what, seconds=40, answer=DIALOGS_TO_ANSWER):
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
            return wait_for(what, design, seconds, interval=0.3)
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
        return wait_for("the launcher", launcher, 60, interval=0.2)

    def new_blank_design(self, launch, kind, title):
        """The kind at place `kind` of the launcher's list from a blank page,
        Page Setup taking its default; the design's main window, once its
        title holds title."""
        # Keys sent the moment the launcher maps can arrive before it takes
        # the focus.
        time.sleep(1.0)
        # A mnemonic moves to the next control that has it after the focus:
        # from "blank page" Alt+W reaches "Design Wizard" first, then the kind
        # list, wherever the focus was at the start.
        self.key(launch.wid, "alt+b", "alt+w", "alt+w", "Home", *(["Down"] * kind), "alt+b", "Return")
        return self.wait_design(title, "%s design window" % title, answer=DIALOGS_TO_ANSWER + (PAGE_SETUP_TITLE,))

    def new_calendar_design(self, launch):
        """The Calendar kind from a blank page in the launcher, Page Setup
        taking its default; the design's main window."""
        return self.new_blank_design(launch, CALENDAR_KIND, "Calendar1")

    def wait_calendar(self, main, stage, seconds=30):
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
            wait_for("the calendar", calendar_shown, seconds, interval=0.5)
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
                    self.key(w.wid, answer_save)
            return False
        wait_for("the program to end", ended, 30, interval=0.3)
        if self.app.returncode != 0:
            raise Failure("the program ended with %d: %s" %
                          (self.app.returncode, self.app.stderr.read().decode(errors="replace")))


def press(session, window, *keys):
    """Keys one at a time with a pause between them: a menu takes a moment
    to open before it hears the next key."""
    xdotool(session.env, "windowfocus", "--sync", window.wid)
    for key in keys:
        xdotool(session.env, "key", key, check=True)
        time.sleep(0.5)


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
        time.sleep(0.5)
        session.shot("picture-browser")
        session.key(dialog.wid, "alt+n")

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
        dialog = wait_for("the picture file dialog", file_dialog, 20, interval=0.3)
    time.sleep(0.5)
    session.shot("file-dialog")
    session.key(dialog.wid, "End", "shift+Home")
    session.type_text(windows_path(path))
    session.key(dialog.wid, "Return")
    session.wait_gone(dialog.wid, "the file dialog to close")


# Text drawn on the screen set against a helper's headless drawing of the
# same design: the first-run windows cleared, ink found, and the helper's
# PPM picture read.


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


def clear_dialogs(session):
    """Takes the default of the first-run windows (the tip of the day may
    come up a while after the design) until none came for a second and a
    half."""
    quiet = 0
    deadline = time.monotonic() + 15
    while quiet < 3 and time.monotonic() < deadline:
        quiet = 0 if session.answer_dialogs() else quiet + 1
        time.sleep(0.5)


def ink(pixel):
    """The text's default colour is black; the margin line is red and the
    page white."""
    return max(pixel) < 110


def paper_pixel(pixel):
    """The page's white, its red margin line and label, or text on it."""
    r, g, b = pixel
    return is_white(pixel) or (r > 150 and g < 120 and b < 120)


def ink_in(shot, box):
    """The ink pixels of a box as a set of (x, y) from the box's corner."""
    left, top, right, bottom = box
    return {(x - left, y - top) for y in range(top, bottom) for x in range(left, right) if ink(shot.at(x, y))}


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
    for y in range(max(top, 0), min(bottom, after.height)):
        for x in range(max(left, 0), min(right, after.width)):
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
