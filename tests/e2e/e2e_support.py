"""What the end-to-end tests share: a private Xvfb, bounded waits and
screenshots of the root window."""

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


def screenshot(env, path):
    """A screenshot of the root window saved at path (8-bit PPM), read back
    as (width, height, rgb bytes)."""
    subprocess.run(["import", "-window", "root", "-depth", "8", path], env=env, check=True, timeout=20,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(path, "rb") as f:
        data = f.read()
    # P6 header: magic, width, height, maximum, each after white space.
    fields = []
    pos = 0
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
    pos += 1
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise Failure("screenshot is not an 8-bit PPM")
    return int(fields[1]), int(fields[2]), data[pos:]


def start_checks(doc):
    """The common start of a test script: its usage, and the tools it needs.
    Answers the exit code to end with (2 wrong usage, 77 skipped), or None
    to go on. A test runner's SIGTERM still runs the script's clean-up."""
    if len(sys.argv) != 2:
        print(doc, file=sys.stderr)
        return 2
    missing = [tool for tool in ("Xvfb", "xdotool", "import") if not shutil.which(tool)]
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
    """Runs run(program, work, keep) from a new home folder and answers the
    exit code. The splash is on screen for about a second and a half; on a
    machine too slow to photograph it in that time (StageMissed) the whole
    run is tried once more, from a new home folder, before the stage counts
    as failed."""
    keep = shots_folder()
    for attempt in (1, 2):
        work = tempfile.mkdtemp(prefix="threadwick-e2e-%s-" % name)
        try:
            run(os.path.abspath(sys.argv[1]), work, keep)
            print("e2e: %s test passed" % name)
            return 0
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


def program_env(display, work):
    """The program's environment on the private display: the SDL back end
    and a home folder of its own in work."""
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    return dict(os.environ, DISPLAY=display, THREADWICK_BACKEND="sdl", SDL_VIDEODRIVER="x11",
                THREADWICK_HOME=home, XAUTHORITY=os.path.join(work, "no-xauthority"))


def start_program(program, env):
    return subprocess.Popen([program], env=env, preexec_fn=die_with_parent, stdout=subprocess.DEVNULL,
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
