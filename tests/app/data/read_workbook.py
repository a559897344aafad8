# Prints what a spreadsheet program sees in a workbook, one fact a line,
# through openpyxl (a reader that shares no code with the writer):
#   sheet <title>
#   freeze <top-left cell of the scrolling part>
#   filter <range>
#   width <column> <width, whole characters>
#   cell <ref> <type> <value> [bold] [format <number format>]
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
for sheet in book.worksheets:
    print("sheet", sheet.title)
    print("freeze", sheet.freeze_panes)
    print("filter", sheet.auto_filter.ref)
    for letter, dimension in sorted(sheet.column_dimensions.items()):
        if dimension.width:
            print("width", letter, int(dimension.width))
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            line = ["cell", cell.coordinate, type(cell.value).__name__, repr(cell.value)]
            if cell.font is not None and cell.font.b:
                line.append("bold")
            if isinstance(cell.value, (int, float)):
                line += ["format", cell.number_format]
            print(" ".join(line))
