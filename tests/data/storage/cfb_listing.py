"""Prints a compound file's tree as another reader sees it, one line per
element, so that a test can compare it with ours:

    <path> TAB <R|D|S> TAB <size> TAB <class id or -> TAB <FNV-1a 64 of the bytes or ->

Path components are joined with '/', characters outside printable ASCII
(and the backslash) written as \\uXXXX; lines are sorted. Class ids are
printed for the root and storages only, and only by the olefile reader.

    cfb_listing.py olefile FILE...   -- read with python3-olefile
    cfb_listing.py gsf FILE...       -- read with `gsf list` and `gsf cat`

With several files each listing follows a line "#FILE <path>".

Exit status 3 when the reader is not installed.
"""

import shutil
import subprocess
import sys


def escape(name):
    out = []
    for ch in name:
        if 0x20 <= ord(ch) < 0x7F and ch != "\\":
            out.append(ch)
        else:
            out.append("\\u%04x" % ord(ch))
    return "".join(out)


def fnv(data):
    h = 0xCBF29CE484222325
    for b in data:
        h ^= b
        h = (h * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def clsid_text(text):
    return "{%s}" % (text.upper() if text else "00000000-0000-0000-0000-000000000000")


def with_olefile(path):
    try:
        import olefile
    except ImportError:
        sys.exit(3)
    ole = olefile.OleFileIO(path)
    lines = ["\tR\t0\t%s\t-" % clsid_text(ole.root.clsid)]
    for entry in ole.listdir(streams=True, storages=True):
        name = "/".join(escape(part) for part in entry)
        if ole.get_type(entry) == olefile.STGTY_STORAGE:
            lines.append("%s\tD\t0\t%s\t-" % (name, clsid_text(ole.getclsid(entry))))
        else:
            data = ole.openstream(entry).read()
            lines.append("%s\tS\t%d\t-\t%s" % (name, len(data), fnv(data)))
    ole.close()
    return lines


def with_gsf(path):
    if not shutil.which("gsf"):
        sys.exit(3)
    listing = subprocess.run(["gsf", "list", path], capture_output=True, check=True).stdout
    lines = ["\tR\t0\t-\t-"]
    for raw in listing.decode("utf-8").splitlines()[1:]:
        kind = raw[0]
        fields = raw[1:].split()
        # "d|f [date time] size name with spaces"
        rest = raw[1:].lstrip()
        if len(fields) > 2 and fields[0].count("-") == 2:
            rest = rest.split(None, 2)[2]
        size_text, name = rest.split(" ", 1)
        if name == "*root*":
            continue
        shown = "/".join(escape(part) for part in name.split("/"))
        if kind == "d":
            lines.append("%s\tD\t0\t-\t-" % shown)
        else:
            data = subprocess.run(["gsf", "cat", path, name], capture_output=True, check=True).stdout
            lines.append("%s\tS\t%d\t-\t%s" % (shown, len(data), fnv(data)))
            if int(size_text) != len(data):
                lines.append("%s\tsize listed as %s" % (shown, size_text))
    return lines


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("olefile", "gsf"):
        sys.exit("usage: cfb_listing.py olefile|gsf FILE...")
    reader = with_olefile if sys.argv[1] == "olefile" else with_gsf
    for path in sys.argv[2:]:
        if len(sys.argv) > 3:
            print("#FILE " + path)
        for line in sorted(reader(path)):
            print(line)


main()
