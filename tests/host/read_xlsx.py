"""Prints an XLSX file as the export tests compare it: the sheet's title and
frozen cell, then one line per cell that holds a value:
row<TAB>column<TAB>type<TAB>value<TAB>number format<TAB>bold. Text is shown as
a spreadsheet program reads it: "_xHHHH_" is the character of that code
(openpyxl 3.0 hands the stored text back as it is)."""
import re
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
print("sheet", sheet.title, sep="\t")
print("title", book.properties.title, sep="\t")
print("freeze", sheet.freeze_panes, sep="\t")
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None:
            continue
        value = cell.value
        if isinstance(value, str):
            value = re.sub("_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), value)
        if cell.is_date:
            value = value.strftime("%Y-%m-%d")
        kind = "date" if cell.is_date else cell.data_type
        print(cell.row, cell.column, kind, repr(value), cell.number_format,
              int(bool(cell.font and cell.font.b)), sep="\t")
