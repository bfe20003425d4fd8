#!/usr/bin/python3
"""Writes the same 1,000,000 cells as bench_xlsx_write with python3-xlsxwriter
(Debian package), for comparison: time and peak memory.

usage: xlsxwriter_compare.py [OUT.xlsx] [ROWS] [--constant-memory]
"""
import resource
import sys
import time

import xlsxwriter


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    out = args[0] if args else "/tmp/bench_xlsxwriter.xlsx"
    rows = int(args[1]) if len(args) > 1 else 100000
    columns = 10
    start = time.perf_counter()
    wb = xlsxwriter.Workbook(out, {"constant_memory": "--constant-memory" in sys.argv})
    ws = wb.add_worksheet("Tannbuch")
    styles = [None, wb.add_format({"num_format": "0.000"}), wb.add_format({"bold": True}),
              wb.add_format({"bottom": 1, "num_format": "0.00"})]
    species = ["Fichte", "Tanne", "Kiefer", "Buche", "Eiche"]
    for r in range(1, rows + 1):
        for c in range(1, columns + 1):
            style = styles[(r + c) % 4]
            if c % 2 == 0:
                ws.write_number(r - 1, c - 1, r * 0.001 * c + 0.5, style)
            elif c == 9:
                ws.write_string(r - 1, c - 1, "Stamm %d" % r, style)
            else:
                ws.write_string(r - 1, c - 1, species[(r * c) % 5], style)
    wb.close()
    elapsed = time.perf_counter() - start
    peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print("cells:        %d" % (rows * columns))
    print("write+save:   %d ms" % (elapsed * 1000))
    print("peak memory:  %d MiB" % (peak // 1024))


if __name__ == "__main__":
    main()
