"""Bookmarks written through "Word.Application" as a client writes them, then
read back by independent programs: python-docx, lxml and LibreOffice."""
import pathlib
import shutil

import docx
import pytest
from lxml import etree

import ovcbridge
from office_oracles import FIXTURES, W, convert_with_soffice, package_diff, read_parts

# bookmark: the text written into it
WRITES = {
    "Runs": "Written runs",
    "InLink": "new link",
    "InInsertion": "now inserted",
    "OneCell": "cell text",
    "InHeader": "head written",
}


def write_bookmarks(path):
    application = ovcbridge.CreateObject("Word.Application")
    try:
        document = application.Documents.Open(str(path))
        for name, text in WRITES.items():
            document.Bookmarks.Item(name).Range.Text = text
        document.Bookmarks.Add("Added", document.Bookmarks.Item("Inner").Range)
        document.Save()
        assert document.Saved
    finally:
        application.Quit()


def bookmark_names(path):
    names = set()
    for part, content in read_parts(path).items():
        if part.startswith("word/") and part.endswith(".xml"):
            root = etree.fromstring(content)
            names.update(start.get(W + "name") for start in root.iter(W + "bookmarkStart"))
    return names


@pytest.fixture
def written(tmp_path):
    original = tmp_path / "original.docx"
    shutil.copy(FIXTURES / "bookmarks.docx", original)
    target = tmp_path / "bookmarks.docx"
    shutil.copy(original, target)
    write_bookmarks(target)
    return original, target


def test_python_docx_reads_the_written_texts_and_untouched_parts_stay(written):
    original, target = written
    document = docx.Document(str(target))
    body = "\n".join(paragraph.text for paragraph in document.paragraphs)
    cells = [cell.text for table in document.tables for row in table.rows for cell in row.cells]
    header = "\n".join(p.text for section in document.sections for p in section.header.paragraphs)
    assert "Written runs" in body
    assert "cell text" in cells
    assert "head written" in header
    assert {"Runs", "OneCell", "InHeader", "Added", "Inner"} <= bookmark_names(target)
    diff = package_diff(original, target)
    assert diff["order_kept"] and not diff["added"] and not diff["removed"]
    assert diff["changed"] <= {"word/document.xml", "word/header1.xml", "docProps/core.xml"}


def test_libreoffice_shows_the_written_texts(written):
    _, target = written
    outputs = convert_with_soffice([str(target)], "txt")
    text = pathlib.Path(outputs[str(target)][0]).read_text(encoding="utf-8-sig")
    for value in ("Written runs", "new link", "now inserted", "cell text"):
        assert value in text


OFFICE = "{urn:oasis:names:tc:opendocument:xmlns:office:1.0}"


def comments(flat_document):
    """{comment: the text it covers} of a flat ODF text document."""
    found = {}
    for start in etree.parse(flat_document).iter(OFFICE + "annotation"):
        body = "".join(p.xpath("string()") for p in start.iter("{*}p"))
        covered, node = [start.tail or ""], start.getnext()
        while node is not None and node.get(OFFICE + "name") != start.get(OFFICE + "name"):
            covered.append(node.xpath("string()") + (node.tail or ""))
            node = node.getnext()
        found[body] = "".join(covered) if node is not None else None
    return found


def test_libreoffice_keeps_the_comment_after_a_written_bookmark(tmp_path):
    """LibreOffice ends a commented, bookmarked text with the bookmark's end,
    then the comment's end and reference: a write keeps the comment over it."""
    target = tmp_path / "writer.docx"
    shutil.copy(FIXTURES / "writer.docx", target)
    application = ovcbridge.CreateObject("Word.Application")
    try:
        document = application.Documents.Open(str(target))
        document.Unprotect()
        document.Bookmarks.Item("Note").Range.Text = "new words"
        document.Save()
    finally:
        application.Quit()
    [flat] = convert_with_soffice([str(target)], "fodt")[str(target)]
    assert comments(flat) == {"a comment": "new words"}
