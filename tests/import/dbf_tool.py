"""Independent reader and writer of dBase files for the import tests.

  read FILE            prints the field names, then one line per record,
                       tab-separated, then 'LDID <byte 29>' and 'TYPES <name:type:len ...>'
  make FILE LAYOUT CP    creates a dBase III table (python3-dbf) with the given
                       field layout and code page; records as JSON lists on stdin
  recode FOLDER CP OLD NEW [OLD NEW ...]
                       in every .dbf of FOLDER, a character field that begins
                       with OLD begins with NEW instead (both encoded in code
                       page CP, of the same length in bytes); a school whose
                       codes hold characters beyond ASCII
"""
import json
import sys


def read(path):
    import dbfread
    with open(path, 'rb') as f:
        header = f.read(32)
    table = dbfread.DBF(path, char_decode_errors='strict')
    names = table.field_names
    print('\t'.join(names))
    for record in table:
        values = []
        for name in names:
            v = record[name]
            if v is None:
                v = ''
            elif isinstance(v, float) and v.is_integer():
                v = int(v)
            values.append(str(v))
        print('\t'.join(values))
    print('LDID %d' % header[29])
    print('TYPES ' + ' '.join('%s:%s:%d' % (f.name, f.type, f.length) for f in table.fields))


def make(path, layout, codepage):
    import dbf
    rows = json.load(sys.stdin)
    t = dbf.Table(path, layout, dbf_type='db3', codepage=codepage)
    t.open(dbf.READ_WRITE)
    for r in rows:
        t.append(tuple(r))
    t.close()


def recode(folder, codepage, pairs):
    import glob
    pairs = [(old.encode(codepage), new.encode(codepage)) for old, new in pairs]
    for old, new in pairs:
        if len(old) != len(new):
            raise SystemExit('recode: %r and %r differ in length' % (old, new))
    for path in glob.glob(folder + '/*.dbf'):
        with open(path, 'rb') as f:
            b = bytearray(f.read())
        count = int.from_bytes(b[4:8], 'little')
        header = int.from_bytes(b[8:10], 'little')
        length = int.from_bytes(b[10:12], 'little')
        fields, offset, pos = [], 1, 32
        while b[pos] != 0x0D:
            fields.append((chr(b[pos + 11]), offset, b[pos + 16]))
            offset += b[pos + 16]
            pos += 32
        for i in range(count):
            base = header + i * length
            for kind, at, size in fields:
                if kind != 'C':
                    continue
                value = bytes(b[base + at:base + at + size])
                for old, new in pairs:
                    if value.startswith(old):
                        value = new + value[len(old):]
                b[base + at:base + at + size] = value
        with open(path, 'wb') as f:
            f.write(bytes(b))


if __name__ == '__main__':
    if sys.argv[1] == 'read':
        read(sys.argv[2])
    elif sys.argv[1] == 'make':
        make(sys.argv[2], sys.argv[3], sys.argv[4])
    elif sys.argv[1] == 'recode':
        recode(sys.argv[2], sys.argv[3], list(zip(sys.argv[4::2], sys.argv[5::2])))
