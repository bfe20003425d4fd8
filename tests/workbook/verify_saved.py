#!/usr/bin/python3
"""Reads a saved workbook with openpyxl and prints, as JSON, what the saved
operations tests compare: the package (workbook content type, custom
document properties), the workbook (sheets, active sheet, template flag,
recalculation request) and per sheet every cell of the requested blocks
(value, cached result, type, number format, font, alignment, borders),
merges, hyperlinks, row breaks, column widths per column, page set-up,
print area and titles, header and footer, the selected tab and the
pictures of its drawing with their anchor cells; and the package's images.

Pictures are read with openpyxl's own drawing reader, so that they are seen
even where the imaging library openpyxl uses for picture contents is missing.

usage: verify_saved.py FILE [SHEET!A1:K20 | SHEET] ...
"""
import json
import sys
import warnings
import xml.etree.ElementTree as ElementTree
import zipfile

import openpyxl
from openpyxl.drawing.spreadsheet_drawing import SpreadsheetDrawing
from openpyxl.packaging.manifest import Manifest
from openpyxl.packaging.relationship import get_dependents, get_rels_path
from openpyxl.reader.workbook import WorkbookParser
from openpyxl.utils import get_column_letter
from openpyxl.utils.escape import unescape
from openpyxl.xml.constants import ARC_CONTENT_TYPES, XLSM, XLSX, XLTM, XLTX
from openpyxl.xml.functions import fromstring

warnings.simplefilter("ignore")


def plain(value):
    if hasattr(value, "isoformat"):
        return value.isoformat()
    return value


def edge(side):
    if side is None or not side.style:
        return None
    return {"style": side.style}


def cell_info(cell, cached):
    value = plain(cell.value)
    info = {
        "value": value,
        "cached": plain(cached.value),
        "type": cell.data_type,
        "number_format": cell.number_format,
        "bold": bool(cell.font.b),
        "size": cell.font.sz,
        "halign": cell.alignment.horizontal,
        "quote_prefix": bool(cell.quotePrefix),
        "borders": {
            "left": edge(cell.border.left),
            "right": edge(cell.border.right),
            "top": edge(cell.border.top),
            "bottom": edge(cell.border.bottom),
        },
    }
    if isinstance(value, str):
        info["text"] = unescape(value)
    return info


def pictures(archive, sheet_part):
    """The pictures of a sheet's drawings: anchor cell (0-based) and image part."""
    found = []
    rels_path = get_rels_path(sheet_part)
    if rels_path not in archive.namelist():
        return found
    for rel in get_dependents(archive, rels_path).find(SpreadsheetDrawing._rel_type):
        drawing = SpreadsheetDrawing.from_tree(fromstring(archive.read(rel.target)))
        drawing_rels = get_rels_path(rel.target)
        deps = get_dependents(archive, drawing_rels) if drawing_rels in archive.namelist() else None
        for blip in drawing._blip_rels:
            target = deps[blip.embed].target if deps is not None else None
            anchor = blip.anchor
            start = getattr(anchor, "_from", None)
            ext = getattr(anchor, "ext", None)
            found.append({
                "col": start.col if start is not None else None,
                "row": start.row if start is not None else None,
                "target": target,
                "png": target is not None and archive.read(target).startswith(b"\x89PNG"),
                "cx": ext.width if ext is not None else None,
                "cy": ext.height if ext is not None else None,
            })
    return found


def custom_properties(archive):
    name = "docProps/custom.xml"
    if name not in archive.namelist():
        return {}
    props = {}
    for prop in ElementTree.fromstring(archive.read(name)):
        value = prop[0] if len(prop) else None
        props[prop.get("name")] = value.text if value is not None else None
    return props


def workbook_part(archive):
    """The workbook part of the package and its content type, found as openpyxl finds it."""
    manifest = Manifest.from_tree(fromstring(archive.read(ARC_CONTENT_TYPES)))
    for content_type in (XLTM, XLTX, XLSM, XLSX):
        part = manifest.find(content_type)
        if part:
            return part.PartName[1:], part.ContentType
    return None, None


def sheet_info(ws, cws, part, archive, blocks):
    info = {
        "cells": {},
        "merges": sorted(str(r) for r in ws.merged_cells.ranges),
        "hyperlinks": {},
        "row_breaks": sorted(b.id for b in ws.row_breaks.brk),
        "col_widths": {},
        "scale": ws.page_setup.scale,
        "paper_size": ws.page_setup.paperSize,
        "fit_to_page": bool(ws.sheet_properties.pageSetUpPr.fitToPage)
        if ws.sheet_properties.pageSetUpPr is not None else False,
        "header": ws.oddHeader.center.text or ws.oddHeader.left.text or ws.oddHeader.right.text,
        "footer": ws.oddFooter.center.text or ws.oddFooter.left.text or ws.oddFooter.right.text,
        "tab_selected": bool(ws.sheet_view.tabSelected),
        "pictures": pictures(archive, part),
        "print_area": ",".join(ws.print_area) if isinstance(ws.print_area, list) else ws.print_area,
        "print_title_rows": ws.print_title_rows,
    }
    # A column entry may stand for a run of columns: give every column its width.
    for dim in ws.column_dimensions.values():
        if dim.width is None or dim.min is None:
            continue
        for column in range(dim.min, (dim.max or dim.min) + 1):
            info["col_widths"][get_column_letter(column)] = {"width": dim.width, "custom": bool(dim.customWidth)}
    for row in ws.iter_rows():
        for c in row:
            if c.hyperlink is not None:
                info["hyperlinks"][c.coordinate] = {
                    "target": c.hyperlink.target,
                    "location": c.hyperlink.location,
                }
    for block in blocks:
        for row in ws[block] if ":" in block else ((ws[block],),):
            for c in row:
                info["cells"][c.coordinate] = cell_info(c, cws[c.coordinate])
    return info


def main():
    path = sys.argv[1]
    wb = openpyxl.load_workbook(path)
    cached_wb = openpyxl.load_workbook(path, data_only=True)

    with zipfile.ZipFile(path) as archive:
        part, content_type = workbook_part(archive)
        parser = WorkbookParser(archive, part)
        parser.parse()
        parts = {sheet.name: rel.target for sheet, rel in parser.find_sheets()}
        calc = wb.calculation
        result = {
            "sheets": wb.sheetnames,
            "active": wb.active.title if wb.active is not None else None,
            "template": wb.template,
            "content_type": content_type,
            "full_calc_on_load": bool(calc.fullCalcOnLoad) if calc is not None else False,
            "media": sorted(n for n in archive.namelist() if n.startswith("xl/media/")),
            "custom_properties": custom_properties(archive),
            "sheet": {},
        }
        requests = {}
        for request in sys.argv[2:]:
            name, _, block = request.partition("!")
            requests.setdefault(name, [])
            if block:
                requests[name].append(block)
        for name, blocks in requests.items():
            result["sheet"][name] = sheet_info(wb[name], cached_wb[name], parts[name], archive, blocks)
    json.dump(result, sys.stdout, ensure_ascii=False, default=str)


if __name__ == "__main__":
    main()
