"""Checks the nine interchange tables of an export against the school tables it
started from, read with dbfread (an independent reader) and recomputed here from
the rules of the export, in their plain form (one scan per record).

Usage: check_export.py STAGING_DIR KTEMP_DIR LANGUAGE
Prints one line per problem and exits 1 when there is any.
"""
import os
import re
import sys
from collections import defaultdict

import dbfread

problems = []


def problem(text):
    if len(problems) < 50:
        problems.append(text)


def find(folder, name):
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    raise SystemExit("missing %s in %s" % (name, folder))


def read(folder, name):
    table = dbfread.DBF(find(folder, name), encoding="cp1252", lowernames=True, char_decode_errors="strict")
    return table, [dict(r) for r in table]


def text(value):
    """A field as the table object reads it: trailing blanks removed."""
    if value is None:
        return ""
    if isinstance(value, str):
        return value.rstrip(" ")
    return str(value)


def integer(value):
    if value is None or value == "":
        return 0
    if isinstance(value, str):
        return int(value.strip())
    return int(round(value))


def cut(value, size):
    return value[:size].rstrip(" ")


def blank(value):
    return all(ord(c) <= 32 for c in value)


def text_to_float(value):
    m = re.fullmatch(r" *([+-]?)(\d*)(?:,(\d*))?(?:[eE][+-]?\d+)? *", value)
    if not m or not (m.group(2) or m.group(3)):
        raise ValueError(value)
    return float(value.strip().replace(",", "."))


def subject_hours(horsemte):
    first = horsemte[:2]
    if blank(first):
        return 1.0
    hours = text_to_float(first)
    return hours if hours > 0 else 1.0


def split_group(code):
    return code[1:4], code[0:1], code[-1:] if code else ""


def group_abbreviation(level, year, letter):
    return level[0:1] + level[2:3] + year + letter


def compare(table, expected, actual, fields):
    if len(expected) != len(actual):
        problem("%s: %d records, expected %d" % (table, len(actual), len(expected)))
    for i, (e, a) in enumerate(zip(expected, actual)):
        for f in fields:
            ev, av = e[f], a[f]
            if isinstance(ev, float):
                ok = av is not None and abs(float(av) - ev) < 1e-6
            elif isinstance(ev, bool):
                ok = av == ev
            else:
                ok = text(av) == ev
            if not ok:
                problem("%s record %d: %s is %r, expected %r" % (table, i + 1, f.upper(), av, ev))


def check_fields(table, declared, expected):
    got = [(f.name.upper(), f.type, f.length) for f in declared.fields]
    for (name, ftype, length), (gname, gtype, glength) in zip(expected, got):
        if name != gname or gtype not in ftype or (length and length != glength):
            problem("%s: field %s %s(%d), expected %s %s(%s)" % (table, gname, gtype, glength, name, ftype, length))
    if len(got) != len(expected):
        problem("%s: %d fields, expected %d" % (table, len(got), len(expected)))


NUMBER = "NFBIO"  # numeric types an integer or float field may take


def main():
    staging, ktemp, language = sys.argv[1], sys.argv[2], sys.argv[3]
    _, asignat = read(staging, "asignat.dbf")
    _, profesor = read(staging, "profesor.dbf")
    _, aulas = read(staging, "aulas.dbf")
    _, grupos = read(staging, "grupos.dbf")
    _, alumnos = read(staging, "alumnos.dbf")
    _, asigalum = read(staging, "asigalum.dbf")
    _, horgrup = read(staging, "horgrup.dbf")

    # Subject catalogue.
    name_field = "cliteasig" if language == "CASTELLANO" else "vliteasig"
    asigvalt_expected = []
    for s in asignat:
        code = text(s["codasig"])
        asigvalt_expected.append({
            "cod": cut(text(s["litresv"]), 4), "codlargo": cut(text(s["litresv"]), 8),
            "nombre": cut(text(s[name_field]), 40), "codvalen": cut(code, 10),
            "nhoras": subject_hours(text(s["horsemte"])), "nivel": cut(code[1:4], 5), "curso": cut(code[0:1], 3)})
    declared, asigvalt = read(ktemp, "ASIGVALT.DBF")
    check_fields("ASIGVALT", declared, [("COD", "C", 4), ("CODLARGO", "C", 8), ("NOMBRE", "C", 40),
                                        ("CODVALEN", "C", 10), ("NHORAS", NUMBER, 0), ("NIVEL", "C", 5),
                                        ("CURSO", "C", 3)])
    compare("ASIGVALT", asigvalt_expected, asigvalt, list(asigvalt_expected[0]) if asigvalt_expected else [])

    declared, asignomt = read(ktemp, "ASIGNOMT.DBF")
    check_fields("ASIGNOMT", declared, [("COD", "C", 4), ("CODLARGO", "C", 8), ("NOMBRE", "C", 40)])
    codes = [text(r["cod"]) for r in asignomt]
    if sorted(set(codes)) != sorted(codes) or set(codes) != {r["cod"] for r in asigvalt_expected}:
        problem("ASIGNOMT: codes %r are not the distinct catalogue codes" % codes[:10])
    if all(re.fullmatch(r"[0-9A-Z ]*", c) for c in codes) and codes != sorted(codes, key=lambda c: c.encode("cp1252")):
        problem("ASIGNOMT: codes not in index order")
    pairs = {(r["cod"], r["codlargo"], r["nombre"]) for r in asigvalt_expected}
    for r in asignomt:
        if (text(r["cod"]), text(r["codlargo"]), text(r["nombre"])) not in pairs:
            problem("ASIGNOMT: %r is no catalogue record" % r)

    # Course subject hours: catalogue records in subject code order.
    declared, asigcurt = read(ktemp, "ASIGCURT.DBF")
    check_fields("ASIGCURT", declared, [("NIVEL", "C", 5), ("CURSO", "C", 3), ("ASIG", "C", 4), ("HORAS", NUMBER, 0)])
    groups = defaultdict(list)
    for r in asigvalt_expected:
        groups[r["codvalen"]].append((r["nivel"], r["curso"], r["cod"], round(r["nhoras"], 6)))
    position = 0
    if len(asigcurt) != len(asigvalt_expected):
        problem("ASIGCURT: %d records, expected %d" % (len(asigcurt), len(asigvalt_expected)))
    keys = sorted(groups, key=lambda k: k.encode("cp1252"))
    if not all(re.fullmatch(r"[0-9A-Z ]*", k) for k in keys):
        # Only plain codes sort the same in every collation: compare contents.
        keys = [None]
        groups[None] = [g for k in list(groups) if k is not None for g in groups[k]]
    for key in keys:
        want = sorted(groups[key])
        got = sorted((text(r["nivel"]), text(r["curso"]), text(r["asig"]), round(float(r["horas"]), 6))
                     for r in asigcurt[position:position + len(want)])
        if want != got:
            problem("ASIGCURT: records %d.. are %r, expected %r (CODVALEN %s)" % (position + 1, got, want, key))
        position += len(want)

    # Teachers, numbered exactly as the plain algorithm does.
    written = [p for p in profesor if not (p["fbaja"] is not None and not blank(text(p["apenomprof"]))
                                           and integer(p["dni"]) != 0)]
    abrevs = []
    for p in written:
        name = text(p["apenomprof"])
        letters = "".join(name[i + 1:i + 2] for i, c in enumerate(name) if c == " ")
        abrevs.append(cut((name[:1] + letters)[:3], 4))
    for r in range(len(abrevs)):
        counter = 2
        for s in range(len(abrevs)):
            if s != r and abrevs[s] == abrevs[r]:
                abrevs[s] = cut(abrevs[s] + str(counter), 4)
                counter += 1
    declared, proft = read(ktemp, "PROFT.DBF")
    check_fields("PROFT", declared, [("ABREV", "C", 4), ("NOMBRE", "C", 40), ("DEPART", "C", 40), ("DNI", NUMBER, 0)])
    expected = [{"nombre": cut(text(p["apenomprof"]), 40), "depart": cut(text(p["departa"]), 40),
                 "dni": str(integer(p["dni"]))} for p in written]
    for e, p in zip(expected, proft):
        p["dni"] = str(integer(p["dni"]))
    compare("PROFT", expected, proft, ["nombre", "depart", "dni"])
    got = [text(p["abrev"]) for p in proft]
    if len(set(got)) != len(got):
        problem("PROFT: repeated abbreviations")
    seen = set()
    for i, (want, have) in enumerate(zip(abrevs, got)):
        if abrevs.count(want) == 1 or want not in seen:
            if want != have:
                problem("PROFT record %d: ABREV %r, expected %r" % (i + 1, have, want))
        seen.add(want)
    teacher_by_dni = {}
    for p in proft:
        teacher_by_dni.setdefault(integer(p["dni"]), text(p["abrev"]))

    # Rooms.
    declared, aulat = read(ktemp, "AULAT.DBF")
    check_fields("AULAT", declared, [("ABREV", "C", 4), ("NOMBRE", "C", 40), ("EDIFICIO", "C", 1), ("MAXALUM", NUMBER, 0)])
    compare("AULAT", [{"abrev": cut(text(a["codaula"]), 4), "nombre": cut(text(a["litaula"]), 40),
                       "edificio": "1", "maxalum": "0"} for a in aulas], aulat,
            ["abrev", "nombre", "edificio", "maxalum"])

    # Students.
    cod_by_codvalen = defaultdict(set)
    for r in asigvalt_expected:
        cod_by_codvalen[r["codvalen"]].add(r["cod"])
    declared, alumnost = read(ktemp, "ALUMNOST.DBF")
    fields = [("EXPED", "C", 20), ("NOMBRE", "C", 50), ("TURNO", "C", 1), ("NIVEL", "C", 5), ("CURSO", "C", 3),
              ("GRUPO", "C", 2), ("OPCION", "C", 1), ("REPITE", "L", 1)]
    for n in range(1, 51):
        fields += [("ASIG%d" % n, "C", 4), ("DIV%d" % n, "C", 1)]
    check_fields("ALUMNOST", declared, fields)
    expected = []
    enrolments = defaultdict(list)
    for e in asigalum:
        enrolments[text(e["codigo"])].append(text(e["codasig"]))
    for a in alumnos:
        code = text(a["codgrup"])
        level, year, letter = split_group(code)
        if not level or not year:
            continue
        shift = ""
        for g in grupos:
            gcode = text(g["codgrup"])
            if gcode == code or gcode[:4] == text(a["codcur"]):
                shift = text(g["turno"])
                break
        exped = cut(text(a["codigo"]), 20)
        record = {"exped": exped, "nombre": cut(text(a["apenom"]), 50), "turno": cut(shift, 1), "nivel": level,
                  "curso": year, "grupo": letter, "opcion": "", "repite": integer(a["repite"]) == 1,
                  "subjects": [cod_by_codvalen[c] for c in enrolments[exped] if c in cod_by_codvalen]}
        expected.append(record)
    compare("ALUMNOST", expected, alumnost, ["exped", "nombre", "turno", "nivel", "curso", "grupo", "opcion", "repite"])
    for i, (e, a) in enumerate(zip(expected, alumnost)):
        got = [text(a["asig%d" % n]) for n in range(1, 51)]
        want = e["subjects"] + [None] * (50 - len(e["subjects"]))
        for n, (w, g) in enumerate(zip(want, got)):
            if (w is None and g != "") or (w is not None and g not in w):
                problem("ALUMNOST record %d: ASIG%d is %r, expected one of %r" % (i + 1, n + 1, g, w))
        if any(text(a["div%d" % n]) for n in range(1, 51)):
            problem("ALUMNOST record %d: a DIV field is not empty" % (i + 1))

    # Groups and courses.
    grupost_expected, cursost_expected = [], []
    for g in grupos:
        shift = text(g["turno"])
        level, year, letter = split_group(text(g["codgrup"]))
        if not level or not year:
            continue
        if not any(r["turno"] == shift and r["nivel"] == level and r["curso"] == year and r["grupo"] == letter
                   for r in grupost_expected):
            grupost_expected.append({"abrev": group_abbreviation(level, year, letter), "turno": cut(shift, 1),
                                     "nivel": level, "curso": year, "grupo": letter,
                                     "descrip": cut(" ".join([shift, level, year, letter]), 40)})
        if not any(r["turno"] == shift and r["nivel"] == level and r["curso"] == year for r in cursost_expected):
            cursost_expected.append({"abrev": cut(shift + level[:1] + year, 3), "turno": cut(shift, 1),
                                     "nivel": level, "curso": year})
    declared, grupost = read(ktemp, "GRUPOST.DBF")
    check_fields("GRUPOST", declared, [("ABREV", "C", 4), ("TURNO", "C", 1), ("NIVEL", "C", 5), ("CURSO", "C", 3),
                                       ("GRUPO", "C", 2), ("DESCRIP", "C", 40)])
    compare("GRUPOST", grupost_expected, grupost, ["abrev", "turno", "nivel", "curso", "grupo", "descrip"])
    declared, cursost = read(ktemp, "CURSOST.DBF")
    check_fields("CURSOST", declared, [("ABREV", "C", 3), ("TURNO", "C", 1), ("NIVEL", "C", 5), ("CURSO", "C", 3)])
    compare("CURSOST", cursost_expected, cursost, ["abrev", "turno", "nivel", "curso"])

    # Teaching assignments.
    catalogue = {}
    for r in asigvalt_expected:
        catalogue.setdefault(r["codvalen"], r)
    asigt_expected = []
    seen = set()
    for h in horgrup:
        level, year, letter = split_group(text(h["codgrup"]))
        group = group_abbreviation(level, year, letter)
        subject = catalogue.get(text(h["codasig"]).strip("".join(chr(c) for c in range(33))))
        short, hours = (subject["cod"], subject["nhoras"]) if subject else ("", 1.0)
        lessons = int(round(hours)) if subject else 1
        teacher = teacher_by_dni.get(integer(h["dni"]), "")
        if (short, teacher, group) in seen:
            continue
        seen.add((short, teacher, group))
        asigt_expected.append({"casig": short, "cprof": teacher, "cgrup": group, "caula": "", "turno": "",
                               "nivel": level, "curso": year, "grupo": letter, "horas": hours,
                               "sesiones": "1" * min(max(lessons, 0), 20)})
    declared, asigt = read(ktemp, "ASIGT.DBF")
    check_fields("ASIGT", declared, [("CASIG", "C", 4), ("CPROF", "C", 4), ("CGRUP", "C", 4), ("CAULA", "C", 4),
                                     ("TURNO", "C", 1), ("NIVEL", "C", 5), ("CURSO", "C", 3), ("GRUPO", "C", 2),
                                     ("HORAS", NUMBER, 0), ("SESIONES", "C", 20)])
    compare("ASIGT", asigt_expected, asigt, list(asigt_expected[0]) if asigt_expected else [])

    for line in problems:
        print(line)
    counts = {"ASIGVALT": len(asigvalt), "ASIGNOMT": len(asignomt), "PROFT": len(proft), "AULAT": len(aulat),
              "ALUMNOST": len(alumnost), "ASIGCURT": len(asigcurt), "GRUPOST": len(grupost),
              "CURSOST": len(cursost), "ASIGT": len(asigt)}
    print(" ".join("%s=%d" % kv for kv in counts.items()))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
