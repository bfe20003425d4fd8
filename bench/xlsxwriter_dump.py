#!/usr/bin/python3
"""Writes the cells of a report dump (bench_report's child writes one) with
python3-xlsxwriter (Debian package) and prints the time the writing took,
reading the dump not included: "xlsxwriter_s=<seconds>".

A dump has one line per style, then one per cell, fields separated by tabs;
tab, line breaks and backslash inside a field are escaped with a backslash:
  S  id  number-format  bold  font-size  right-aligned  top-border  bottom-border
  C  row  column  kind(n s f b)  style-id  value       (row and column from 1)

usage: xlsxwriter_dump.py DUMP OUT.xlsx
"""
import re
import sys
import time

import xlsxwriter

ESCAPES = {"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}


def unescape(field):
    return re.sub(r"\\(.)", lambda m: ESCAPES[m.group(1)], field)


def read_dump(path):
    styles, cells = {}, []
    with open(path, encoding="utf-8", newline="\n") as dump:
        for line in dump:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == "S":
                styles[fields[1]] = {"num_format": unescape(fields[2]), "bold": fields[3] == "1",
                                     "font_size": float(fields[4]), "right": fields[5] == "1",
                                     "top": fields[6] == "1", "bottom": fields[7] == "1"}
            elif fields[0] == "C":
                cells.append((int(fields[1]) - 1, int(fields[2]) - 1, fields[3], fields[4],
                              unescape(fields[5])))
    return styles, cells


def write(styles, cells, out):
    wb = xlsxwriter.Workbook(out)
    ws = wb.add_worksheet()
    formats = {}
    for key, s in styles.items():
        f = wb.add_format({"num_format": s["num_format"], "font_size": s["font_size"]})
        if s["bold"]:
            f.set_bold()
        if s["right"]:
            f.set_align("right")
        if s["top"]:
            f.set_top(1)
        if s["bottom"]:
            f.set_bottom(1)
        formats[key] = f
    for row, column, kind, style, value in cells:
        f = formats[style]
        if kind == "n":
            ws.write_number(row, column, float(value), f)
        elif kind == "s":
            ws.write_string(row, column, value, f)
        elif kind == "f":
            ws.write_formula(row, column, value, f)
        else:
            ws.write_blank(row, column, None, f)
    wb.close()


def main():
    styles, cells = read_dump(sys.argv[1])
    start = time.perf_counter()
    write(styles, cells, sys.argv[2])
    print("xlsxwriter_s=%f" % (time.perf_counter() - start))


if __name__ == "__main__":
    main()
