"""Prints a dBase table as JSON, read by dbfread (an independent reader).

Usage: read_dbf.py PATH
Output, UTF-8, one line each: the fields as NAME:TYPE:LENGTH:DECIMALS separated by
tabs, then one line per record with its values separated by tabs (backslash, tab
and newline escaped as \\, \t, \n). Numbers in their shortest form, booleans as
T or F, empty fields as nothing.
"""
import sys

import dbfread


def text(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "T" if value else "F"
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return str(value)


def main():
    table = dbfread.DBF(sys.argv[1], encoding="cp1252", char_decode_errors="strict")
    out = sys.stdout.buffer
    fields = ["%s:%s:%d:%d" % (f.name, f.type, f.length, f.decimal_count) for f in table.fields]
    out.write(("\t".join(fields) + "\n").encode("utf-8"))
    for record in table:
        values = [escape(text(v)) for v in record.values()]
        out.write(("\t".join(values) + "\n").encode("utf-8"))


def escape(value):
    return value.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


if __name__ == "__main__":
    main()
