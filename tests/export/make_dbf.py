"""Writes a dBase table the way a foreign program would, for the export tests.

Usage: make_dbf.py LAYOUT.json
LAYOUT: {"path": host path, "fields": "NAME C(40); DNI N(10,0); FBAJA D",
       "rows": [[value, ...], ...], "type": "db3" (default) or "vfp"}
Text is written in Windows-1252; dates are "YYYY-MM-DD"; null leaves a field empty.
"""
import datetime
import json
import sys

import dbf


def convert(value, field_type):
    if value is None:
        return None
    if field_type == "D":
        return datetime.date.fromisoformat(value)
    return value


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        layout = json.load(f)
    table = dbf.Table(layout["path"], layout["fields"], codepage="cp1252", dbf_type=layout.get("type", "db3"))
    table.open(dbf.READ_WRITE)
    types = [table.field_info(name).field_type.symbol if hasattr(table.field_info(name).field_type, "symbol")
             else chr(table.field_info(name).field_type) for name in table.field_names]
    for row in layout["rows"]:
        values = {}
        for name, ftype, value in zip(table.field_names, types, row):
            converted = convert(value, ftype)
            if converted is not None:
                values[name] = converted
        table.append(values)
    table.close()
    keep_leading_blanks(layout["path"], types, layout["rows"])


def keep_leading_blanks(path, types, rows):
    """python3-dbf strips leading blanks from text; put them back in place."""
    with open(path, "r+b") as f:
        data = bytearray(f.read())
        header_length = int.from_bytes(data[8:10], "little")
        record_length = int.from_bytes(data[10:12], "little")
        offsets, lengths, offset = [], [], 1
        for i in range(len(types)):
            length = data[32 + 32 * i + 16]
            offsets.append(offset)
            lengths.append(length)
            offset += length
        for r, row in enumerate(rows):
            for i, (ftype, value) in enumerate(zip(types, row)):
                if ftype == "C" and isinstance(value, str) and value[:1] == " ":
                    raw = value.encode("cp1252")[:lengths[i]].ljust(lengths[i], b" ")
                    start = header_length + r * record_length + offsets[i]
                    data[start:start + lengths[i]] = raw
        f.seek(0)
        f.write(data)


if __name__ == "__main__":
    main()
