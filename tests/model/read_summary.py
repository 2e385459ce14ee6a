#!/usr/bin/python3
"""Prints the summary information of compound files as an independent
reader sees it: per file one line, the path, then title, author, comments,
last author and revision number as hexadecimal bytes (empty when missing),
separated by tabs. Exits with 3 when olefile is not installed."""
import sys

try:
    import olefile
except ImportError:
    sys.exit(3)

NAMES = ("title", "author", "comments", "last_saved_by", "revision_number")

for path in sys.argv[1:]:
    ole = olefile.OleFileIO(path)
    meta = ole.get_metadata()
    fields = [path]
    for name in NAMES:
        value = getattr(meta, name) or b""
        if isinstance(value, str):
            value = value.encode("cp1252")
        fields.append(value.hex())
    print("\t".join(fields))
    ole.close()
