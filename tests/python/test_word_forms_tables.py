"""Form fields and tables of fixture documents written through "Word.Application"
as a client writes them, then read by independent programs: python-docx and
LibreOffice."""
import pathlib
import shutil

import docx
import pytest

import ovcbridge
from office_oracles import FIXTURES, convert_with_soffice, package_diff

# bookmark around the fields, position among them, result written
RESULTS = [("Text1", 1, "Typed here"), ("Check1", 1, "0"), ("Drop1", 1, "blue"),
           ("Vector", 2, "second cell"), ("Empty", 1, "")]


@pytest.fixture(scope="module")
def written(tmp_path_factory):
    """fields.docx with the RESULTS written, tables.docx with a row and a column
    added to its second table and texts put in the new cells: {fixture: path}."""
    folder = tmp_path_factory.mktemp("written")
    paths = {name: folder / name for name in ("fields.docx", "tables.docx")}
    for name, path in paths.items():
        shutil.copyfile(FIXTURES / name, path)
    application = ovcbridge.CreateObject("Word.Application")
    document = application.Documents.Open(str(paths["fields.docx"]))
    for bookmark, position, result in RESULTS:
        document.Bookmarks.Item(bookmark).Range.Select()
        application.Selection.FormFields.Item(position).Result = result
    document.Save()
    document = application.Documents.Open(str(paths["tables.docx"]))
    table = document.Bookmarks.Item("TwoTables").Range.Tables.Item(1)
    table.Rows.Add()
    table.Columns.Add()
    table.Cell(4, 1).Range.Text = "new row"
    table.Cell(1, 3).Range.Text = "new column"
    document.Save()
    application.Quit()
    return paths


def test_python_docx_reads_the_written_results(written):
    document = docx.Document(written["fields.docx"])
    texts = [paragraph.text for paragraph in document.paragraphs]
    assert texts[0] == "Name: Typed here"
    assert texts[1] == "Empty: " + "\u2002" * 5
    assert [row.cells[0].text for row in document.tables[0].rows] == ["c1", "second cell", "c3"]


def test_python_docx_reads_the_added_row_and_column(written):
    table = docx.Document(written["tables.docx"]).tables[1]
    assert [[cell.text for cell in row.cells] for row in table.rows] == [
        ["x1", "x2", "new column"], ["y1", "y2", ""], ["z1z1", "z2\n", ""], ["new row", "", ""]]


def test_only_the_main_part_and_core_properties_change(written):
    for name, path in written.items():
        diff = package_diff(FIXTURES / name, path)
        assert diff["changed"] <= {"word/document.xml", "docProps/core.xml"}, name
        assert not diff["added"] and not diff["removed"] and diff["order_kept"], name


def test_libreoffice_shows_the_written_texts(written):
    outputs = convert_with_soffice([str(path) for path in written.values()], "txt")
    shown = {pathlib.Path(path).name: pathlib.Path(files[0]).read_text(encoding="utf-8-sig")
             for path, files in outputs.items()}
    shutil.rmtree(pathlib.Path(next(iter(outputs.values()))[0]).parents[1])
    assert "Typed here" in shown["fields.docx"] and "second cell" in shown["fields.docx"]
    assert "new row" in shown["tables.docx"] and "new column" in shown["tables.docx"]
