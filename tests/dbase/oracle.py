#!/usr/bin/python3
"""Independent dBase readers and writers for the round-trip tests.

  oracle.py write KIND PATH    writes a table with python3-dbf (KIND: db3, fp, vfp)
  oracle.py dbfread PATH [ENC] prints the live records as python3-dbfread reads them
  oracle.py dbf PATH           the same with python3-dbf

The printed form is the table object's text form: a line of field names, then
one line per live record, values joined by '|'; text without trailing blanks,
numbers in their shortest form, logicals T/F, dates YYYY-MM-DD, empty = ''.
"""
import datetime
import decimal
import sys


def canon(value):
    if value is None:
        return ''
    if isinstance(value, bool):
        return 'T' if value else 'F'
    if isinstance(value, (int,)):
        return str(value)
    if isinstance(value, (float, decimal.Decimal)):
        v = float(value)
        return str(int(v)) if v.is_integer() else repr(v)
    if isinstance(value, datetime.datetime):
        if value.time() == datetime.time(0):
            return value.strftime('%Y-%m-%d')
        return value.strftime('%Y-%m-%d %H:%M:%S')
    if isinstance(value, datetime.date):
        return value.strftime('%Y-%m-%d')
    if isinstance(value, bytes):
        value = value.decode('cp1252')
    return str(value).rstrip(' ').replace('\r\n', '\n').replace('\n', '\\n')


def emit(names, rows):
    print('|'.join(names))
    for row in rows:
        print('|'.join(canon(v) for v in row))


def read_dbfread(path, encoding=None):
    import dbfread
    table = dbfread.DBF(path, load=False, char_decode_errors='replace', encoding=encoding)
    keep = [n for n in table.field_names if n.upper() != '_NULLFLAGS']
    emit(keep, [[r[n] for n in keep] for r in table])


def read_dbf(path):
    import dbf
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    names = [n.upper() for n in table.field_names]
    rows = []
    for record in table:
        if dbf.is_deleted(record):
            continue
        values = []
        for name in table.field_names:
            v = record[name]
            if isinstance(v, str):
                v = v.rstrip(' ')
            values.append(v)
        rows.append(values)
    table.close()
    emit(names, rows)


def write(kind, path):
    import dbf
    layout = 'NOMBRE C(12); CANT N(6,0); PRECIO N(9,2); ACTIVO L; FECHA D; NOTAS M'
    if kind == 'vfp':
        layout += '; ENTERO I; DOBLE B; MONEDA Y; MOMENTO T; OPCIONAL C(5) NULL'
    table = dbf.Table(path, layout, dbf_type=kind, codepage='cp1252')
    table.open(dbf.READ_WRITE)
    rows = [
        ('Ñandú', 3, 1.5, True, datetime.date(2020, 1, 2), 'memo de prueba\r\nsegunda línea'),
        ('', 0, 0, False, None, ''),
        ('BORRADO', 9, 9.99, True, datetime.date(1999, 12, 31), 'x'),
        ('Árbol azul', -42, -1234.56, None, datetime.date(2024, 2, 29), 'á' * 700),
    ]
    for i, row in enumerate(rows):
        if kind == 'vfp':
            row = row + (i * 1000 - 1, i / 4, decimal.Decimal('12.3456') * i,
                         datetime.datetime(2021, 3, 4, 5, 6, 7 + i), None if i == 3 else 'op%d' % i)
        table.append(row)
    dbf.delete(table[2])
    table.close()


if __name__ == '__main__':
    command = sys.argv[1]
    if command == 'write':
        write(sys.argv[2], sys.argv[3])
    elif command == 'dbfread':
        read_dbfread(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else None)
    elif command == 'dbf':
        read_dbf(sys.argv[2])
    else:
        sys.exit('unknown command ' + command)
