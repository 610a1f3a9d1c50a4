"""Fixture workbooks written through "Excel.Application" as a client writes
them, then read by independent programs: openpyxl, lxml, LibreOffice."""
import csv
import datetime
import pathlib
import shutil

import openpyxl
import pytest

import ovcbridge
from office_oracles import CSV_ALL_SHEETS, FIXTURES, convert_with_soffice, package_diff, part_xml

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
LONG_NAME = "N" + "x" * 254
# A book name that needs quotes in references: blank, apostrophe, brackets.
QUOTED_BOOK = "It's [my] book.xlsx"
QUOTED_PREFIX = "'[It''s [my] book.xlsx]My Sheet'!"
SOURCE = {QUOTED_BOOK: "names.xlsx"}  # written under another name: its fixture
PUTS = ["'", "''x", "007", "1e3", "=A1*2", "1,000", "a\x01b\rc", "_x000D_", "x" * 32767, 2.5, True,
        datetime.datetime(2024, 3, 1)]

# fixture: [(range, value)], written in order, then saved; a range given as
# (text, rows, columns) is resized first, as a client shapes a vector
WRITES = {
    "chart.xlsx": [("Input", 99.5), ("Data!D8", datetime.datetime(2024, 3, 1))],
    "macro.xlsm": [("Input", "'=cmd"), ("Data!B3", "'007")],
    "names.xlsx": [("OnMySheet", 1.5), ("OnHidden", "hidden, written"), ("Quoted", True),
                   ("'My Sheet'!Rate", 7), ("RATE", 8), ("Multi", "1,000"), (LONG_NAME.upper(), -0.0),
                   ("OnVeryHidden", "very hidden, written")],
    QUOTED_BOOK: [(QUOTED_PREFIX + "B2", 42)],
    "cells.xlsx": [("SharedMaster", 1), ("Puts", [[value] for value in PUTS]), ("Merged", "top left"),
                   (("Errors", 3, 1), [[5], [6], [7]])],
    "date1904.xlsx": [("Plain", datetime.datetime(2024, 3, 1, 12))],
}

# fixture, sheet, cell, value openpyxl reads, its number format
EXPECTED = [
    ("chart.xlsx", "Data", "B2", 99.5, "General"),
    ("chart.xlsx", "Data", "B5", "=SUM(B2:B4)", "General"),
    # a new cell of LibreOffice's default style, whose format is a custom "General"
    ("chart.xlsx", "Data", "D8", datetime.datetime(2024, 3, 1), "mm-dd-yy"),
    ("macro.xlsm", "Data", "B2", "=cmd", "General"),
    ("macro.xlsm", "Data", "B3", "007", "General"),
    ("names.xlsx", "My Sheet", "B2", 1.5, "General"),
    ("names.xlsx", "Hidden", "A1", "hidden, written", "General"),
    ("names.xlsx", "It's", "C3", True, "General"),
    ("names.xlsx", "My Sheet", "B1", 7, "General"),
    ("names.xlsx", "Sheet1", "B1", 8, "General"),
    ("names.xlsx", "Sheet1", "A11", "1,000", "General"),
    ("names.xlsx", "Sheet1", "C10", 12, "General"),
    ("names.xlsx", "Sheet1", "B8", 0, "General"),
    ("names.xlsx", "VeryHidden", "A1", "very hidden, written", "General"),
    (QUOTED_BOOK, "My Sheet", "B2", 42, "General"),
    ("cells.xlsx", "Cells", "D1", 1, "General"),
    ("cells.xlsx", "Cells", "D2", "=A6*2", "General"),
    ("cells.xlsx", "Cells", "A3", "top left", "General"),
    ("cells.xlsx", "Cells", "M1", "", "General"),
    ("cells.xlsx", "Cells", "M2", "'x", "General"),
    ("cells.xlsx", "Cells", "M3", 7, "General"),  # "007" unquoted reads as a number
    ("cells.xlsx", "Cells", "M4", 1000, "General"),
    ("cells.xlsx", "Cells", "M5", "=A1*2", "General"),
    ("cells.xlsx", "Cells", "M6", "1,000", "General"),
    ("cells.xlsx", "Cells", "M11", True, "General"),
    ("cells.xlsx", "Cells", "M12", datetime.datetime(2024, 3, 1), "mm-dd-yy"),
    ("cells.xlsx", "Cells", "K3", 7, "General"),  # past the name, where Resize reaches
    ("date1904.xlsx", "Sheet", "A2", datetime.datetime(2024, 3, 1, 12), "m/d/yy h:mm"),
    ("date1904.xlsx", "Sheet", "A1", datetime.datetime(2024, 3, 1, 12), "yyyy-mm-dd hh:mm"),
]


@pytest.fixture(scope="module")
def written(tmp_path_factory):
    """The fixtures of WRITES, copied, written and saved: {fixture: path}."""
    folder = tmp_path_factory.mktemp("written")
    application = ovcbridge.CreateObject("Excel.Application")
    paths = {}
    for fixture, writes in WRITES.items():
        paths[fixture] = folder / fixture
        shutil.copyfile(FIXTURES / SOURCE.get(fixture, fixture), paths[fixture])
        workbook = application.Workbooks.Open(str(paths[fixture]))
        for where, value in writes:
            if isinstance(where, str):
                application.Range(where).Value = value
            else:
                application.Range(where[0]).Resize(where[1], where[2]).Value = value
        workbook.Save()
        workbook.Close(False)
    application.Quit()
    return paths


@pytest.mark.parametrize("fixture, sheet, cell, value, number_format", EXPECTED)
def test_openpyxl_reads_the_written_values(written, fixture, sheet, cell, value, number_format):
    book = openpyxl.load_workbook(written[fixture])
    read = book[sheet][cell]
    assert (read.value, type(read.value), read.number_format) == (value, type(value), number_format)


def test_texts_and_names_survive(written):
    cells = openpyxl.load_workbook(written["cells.xlsx"])["Cells"]
    # openpyxl shows inline strings as stored, escapes undecoded
    assert [cells[f"M{row}"].value for row in (7, 8, 9)] == ["a_x0001_b_x000D_c", "_x005F_x000D_", "x" * 32767]
    for fixture in WRITES:
        before, after = (openpyxl.load_workbook(path)
                         for path in (FIXTURES / SOURCE.get(fixture, fixture), written[fixture]))
        assert [(n.name, n.localSheetId, n.attr_text, n.hidden, n.comment) for n in after.defined_names.definedName] \
            == [(n.name, n.localSheetId, n.attr_text, n.hidden, n.comment) for n in before.defined_names.definedName]
        assert after.epoch == before.epoch


# Writes in the automatic calculation mode leave current results cached; only
# a workbook holding formulas the engine does not calculate asks for a full
# calculation on load.
ASKS_FULL_CALCULATION = {"cells.xlsx"}


@pytest.mark.parametrize("fixture", sorted(WRITES))
def test_written_workbooks_hold_current_results_and_keep_the_rest(written, fixture):
    calc = part_xml(written[fixture], "xl/workbook.xml").find(f"{MAIN}calcPr")
    asks = calc is not None and calc.get("fullCalcOnLoad") == "1"
    assert asks == (fixture in ASKS_FULL_CALCULATION)
    diff = package_diff(FIXTURES / SOURCE.get(fixture, fixture), written[fixture])
    assert diff["order_kept"] and not diff["removed"] and not diff["added"]
    assert all(name.startswith("xl/worksheets/sheet") or name in {
        "xl/workbook.xml", "xl/styles.xml", "docProps/core.xml"} for name in diff["changed"]), diff


def test_a_formula_over_a_written_input_caches_its_new_result(written):
    cached = openpyxl.load_workbook(written["chart.xlsx"], data_only=True)["Data"]["B5"].value
    assert cached == 99.5 + 20 + 30


# fixture, sheet, row, column (0-based), text LibreOffice shows
SHOWN = [
    ("chart.xlsx", "Data", 1, 1, "99.5"),
    ("macro.xlsm", "Data", 1, 1, "=cmd"),
    ("macro.xlsm", "Data", 2, 1, "007"),
    ("names.xlsx", "It's", 2, 2, "TRUE"),
    ("names.xlsx", "VeryHidden", 0, 0, "very hidden, written"),
    (QUOTED_BOOK, "My Sheet", 1, 1, "42"),
    ("cells.xlsx", "Cells", 2, 10, "7"),
    ("date1904.xlsx", "Sheet", 1, 0, "03/01/2024 12:00:00"),
]


def test_libreoffice_opens_the_written_workbooks_and_shows_the_values(written):
    outputs = convert_with_soffice([str(path) for path in written.values()], CSV_ALL_SHEETS)
    shown = {}
    for path, files in outputs.items():
        for file in files:
            sheet = pathlib.Path(file).stem[len(pathlib.Path(path).stem) + 1:]
            with open(file, newline="", encoding="utf-8") as f:
                shown[(pathlib.Path(path).name, sheet)] = list(csv.reader(f))
    shutil.rmtree(pathlib.Path(files[0]).parents[1])
    assert [shown[(fixture, sheet)][row][column] for fixture, sheet, row, column, _ in SHOWN] \
        == [text for *_, text in SHOWN]


@pytest.mark.parametrize("rows", [1, 3])
def test_a_vector_not_shaped_like_its_name_is_refused_and_writes_nothing(tmp_path, rows):
    path = tmp_path / "cells.xlsx"
    shutil.copyfile(FIXTURES / "cells.xlsx", path)
    application = ovcbridge.CreateObject("Excel.Application")
    workbook = application.Workbooks.Open(str(path))
    before = application.Range("Errors").Value()
    with pytest.raises(ovcbridge.ComError) as refused:
        application.Range("Errors").Value = [[row] for row in range(rows)]
    assert refused.value.hresult == ovcbridge.E_INVALIDARG
    assert "shape differs" in refused.value.description
    assert (application.Range("Errors").Value(), workbook.Saved) == (before, True)
    application.Quit()
