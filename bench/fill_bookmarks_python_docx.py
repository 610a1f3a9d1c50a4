"""Writes "value <i>" into the bookmarks Mark_0 .. Mark_<count - 1> of a document and saves it
(python-docx), one bookmark after the other, each found by its name as a client fills them.

Bookmarks over text get one run with the value in place of the runs between
their marks; bookmarks around a text form field get the value as the
field's result, the runs between its separate and end marks.
"""
import sys

import docx
from docx.oxml.ns import qn

FLD_CHAR = qn("w:fldChar")
TYPE = qn("w:fldCharType")


def field_result_runs(start):
    """The runs between the separate and end marks of the field after `start`, or None."""
    runs, inside = [], False
    for run in start.itersiblings(qn("w:r")):
        mark = run.find(FLD_CHAR)
        kind = None if mark is None else mark.get(TYPE)
        if kind == "separate":
            inside = True
        elif kind == "end":
            return runs if inside else None
        elif inside:
            runs.append(run)
    return None


def marked_runs(start):
    """The runs between a bookmark's start mark and its end mark in the same paragraph."""
    runs = []
    for sibling in start.itersiblings():
        if sibling.tag == qn("w:bookmarkEnd") and sibling.get(qn("w:id")) == start.get(qn("w:id")):
            break
        if sibling.tag == qn("w:r"):
            runs.append(sibling)
    return runs


def set_runs(runs, value):
    first = runs[0]
    for run in runs[1:]:
        run.getparent().remove(run)
    for child in list(first):
        if child.tag != qn("w:rPr"):
            first.remove(child)
    text = first.makeelement(qn("w:t"), {})
    text.text = value
    first.append(text)


def main(path, count):
    document = docx.Document(path)
    body = document.element.body
    for index in range(count):
        start = body.xpath(f'.//w:bookmarkStart[@w:name="Mark_{index}"]')[0]
        value = f"value {index}"
        runs = field_result_runs(start)
        if runs is None:
            runs = marked_runs(start)
        if runs:
            set_runs(runs, value)
    document.save(path)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
