"""Prints an XLSX file as the export tests compare it: the sheet's title and
frozen cell, then one line per cell that holds a value:
row<TAB>column<TAB>type<TAB>value<TAB>number format<TAB>bold."""
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
        if cell.is_date:
            value = value.strftime("%Y-%m-%d")
        kind = "date" if cell.is_date else cell.data_type
        print(cell.row, cell.column, kind, repr(value), cell.number_format,
              int(bool(cell.font and cell.font.b)), sep="\t")
