"""Independent reader and writer of dBase files for the import tests.

  read FILE            prints the field names, then one line per record,
                       tab-separated, then 'LDID <byte 29>' and 'TYPES <name:type:len ...>'
  make FILE LAYOUT CP    creates a dBase III table (python3-dbf) with the given
                       field layout and code page; records as JSON lists on stdin
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


if __name__ == '__main__':
    if sys.argv[1] == 'read':
        read(sys.argv[2])
    elif sys.argv[1] == 'make':
        make(sys.argv[2], sys.argv[3], sys.argv[4])
