#!/usr/bin/python3
"""Reads a saved workbook with openpyxl (an independent reader) and prints
what the tests check as JSON: per sheet the chosen cells (value, cached value,
number format, font, alignment, borders), merges, hyperlinks, row breaks,
column widths, row heights, page set-up, and the package's pictures and
defined names.

usage: verify_xlsx.py FILE SHEET[:CELL,CELL,...] ...
"""
import json
import sys
import warnings
import zipfile

import openpyxl

warnings.simplefilter("ignore")


def side(border_side):
    return border_side.style if border_side is not None and border_side.style else None


def cell_info(cell, cached):
    return {
        "value": cell.value if not hasattr(cell.value, "isoformat") else cell.value.isoformat(),
        "cached": cached.value if not hasattr(cached.value, "isoformat") else cached.value.isoformat(),
        "type": cell.data_type,
        "number_format": cell.number_format,
        "bold": bool(cell.font.b),
        "size": cell.font.sz,
        "halign": cell.alignment.horizontal,
        "quote_prefix": bool(cell.quotePrefix),
        "borders": {
            "left": side(cell.border.left),
            "right": side(cell.border.right),
            "top": side(cell.border.top),
            "bottom": side(cell.border.bottom),
        },
    }


def main():
    path = sys.argv[1]
    wb = openpyxl.load_workbook(path)
    cached_wb = openpyxl.load_workbook(path, data_only=True)
    result = {
        "sheets": wb.sheetnames,
        "active": wb.active.title if wb.active is not None else None,
        "template": wb.template,
        "defined_names": sorted(wb.defined_names.keys()) if hasattr(wb.defined_names, "keys") else [],
        "sheet": {},
    }
    with zipfile.ZipFile(path) as z:
        names = z.namelist()
        result["parts"] = sorted(names)
        result["media"] = sorted(n for n in names if n.startswith("xl/media/"))
        result["pictures"] = sum(z.read(n).count(b"r:embed=")
                                 for n in names if n.startswith("xl/drawings/") and n.endswith(".xml"))
    for request in sys.argv[2:]:
        name, _, cells = request.partition(":")
        ws = wb[name]
        cws = cached_wb[name]
        info = {
            "cells": {},
            "merges": sorted(str(r) for r in ws.merged_cells.ranges),
            "hyperlinks": {},
            "row_breaks": sorted(b.id for b in ws.row_breaks.brk),
            "col_widths": {k: v.width for k, v in ws.column_dimensions.items() if v.customWidth},
            "row_heights": {str(k): v.height for k, v in ws.row_dimensions.items() if v.height is not None},
            "print_area": ",".join(ws.print_area) if isinstance(ws.print_area, list) else ws.print_area,
            "print_title_rows": ws.print_title_rows,
            "scale": ws.page_setup.scale,
            "paper_size": ws.page_setup.paperSize,
            "orientation": ws.page_setup.orientation,
            "header": ws.oddHeader.center.text or ws.oddHeader.left.text or ws.oddHeader.right.text,
            "footer": ws.oddFooter.center.text or ws.oddFooter.left.text or ws.oddFooter.right.text,
            "max_row": ws.max_row,
        }
        for row in ws.iter_rows():
            for c in row:
                if c.hyperlink is not None:
                    info["hyperlinks"][c.coordinate] = {
                        "target": c.hyperlink.target,
                        "location": c.hyperlink.location,
                        "display": c.hyperlink.display,
                    }
        for ref in filter(None, cells.split(",")):
            info["cells"][ref] = cell_info(ws[ref], cws[ref])
        result["sheet"][name] = info
    json.dump(result, sys.stdout, ensure_ascii=False, default=str)


if __name__ == "__main__":
    main()
