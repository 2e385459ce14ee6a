"""What the end-to-end tests share: a private Xvfb, bounded waits and
screenshots of the root window."""

import os
import shutil
import signal
import sys
import subprocess
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
