"""Writes a number to the cell of every defined name of a workbook and saves it (openpyxl)."""
import sys

import openpyxl

path = sys.argv[1]
book = openpyxl.load_workbook(path)
for index, name in enumerate(book.defined_names.definedName):
    for sheet, cell in name.destinations:
        book[sheet][cell.replace("$", "")].value = index * 0.5
book.save(path)
