"""Oracles for files the office engines write, shared by their tests.

convert_with_soffice  LibreOffice headless opens and converts the files
package_diff          what changed between two zip packages, part by part
part_xml              one part of a zip package, parsed by lxml
bookmark_texts        the texts of a document's bookmarks, read by python-docx
"""
import os
import pathlib
import shutil
import subprocess
import tempfile
import zipfile

import docx
import pytest
from lxml import etree

FIXTURES = pathlib.Path(__file__).resolve().parents[1] / "office" / "fixtures"
W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"
# Every sheet of a workbook to its own "<stem>-<sheet>.csv", UTF-8, comma separated.
CSV_ALL_SHEETS = 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1'


def convert_with_soffice(paths, fmt, timeout=240):
    """Converts `paths` (distinct file stems) to `fmt` ("txt", "pdf", CSV_ALL_SHEETS,
    ...) in one LibreOffice run with a fresh profile. Returns {path: [outputs]}:
    the files named after the path's stem in a new temporary folder, which the
    caller may remove. Skips the test when soffice is missing; fails when the
    run fails, times out or leaves a path without a non-empty output."""
    soffice = shutil.which("soffice")
    if soffice is None:
        pytest.skip("LibreOffice (soffice) is not installed")
    folder = tempfile.mkdtemp(prefix="soffice-")
    profile = os.path.join(folder, "profile")
    command = [soffice, "--headless", "--norestore", f"-env:UserInstallation=file://{profile}",
               "--convert-to", fmt, "--outdir", os.path.join(folder, "out"), *paths]
    # LibreOffice runs uninstrumented even where the tests run under the sanitizers.
    environment = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}
    run = subprocess.run(command, capture_output=True, text=True, timeout=timeout, env=environment)
    assert run.returncode == 0, run.stderr
    produced = os.listdir(os.path.join(folder, "out")) if os.path.isdir(os.path.join(folder, "out")) else []
    outputs = {}
    for path in paths:
        stem = os.path.splitext(os.path.basename(path))[0]
        outputs[path] = sorted(os.path.join(folder, "out", name) for name in produced
                               if os.path.splitext(name)[0] == stem or name.startswith(stem + "-"))
        assert outputs[path], f"{path}: no output\n{run.stdout}{run.stderr}"
        assert all(os.path.getsize(output) > 0 for output in outputs[path]), outputs[path]
    return outputs


def read_parts(path):
    """The entries of a zip package inflated, as a dict in entry order."""
    with zipfile.ZipFile(path) as archive:
        return {info.filename: archive.read(info) for info in archive.infolist()}


def part_xml(path, part):
    """The part `part` of the zip package at `path`, parsed."""
    with zipfile.ZipFile(path) as archive:
        return etree.fromstring(archive.read(part))


def package_diff(before, after):
    """Compares two packages (paths) part by part after inflation: a dict of the
    sets "changed", "added", "removed" and "order_kept", false when the entries
    both hold are stored in another order."""
    old, new = read_parts(before), read_parts(after)
    return {
        "changed": {name for name in new if name in old and new[name] != old[name]},
        "added": set(new) - set(old),
        "removed": set(old) - set(new),
        "order_kept": [name for name in old if name in new] == [name for name in new if name in old],
    }


def bookmark_texts(path):
    """{bookmark: the text it encloses} over the body of the document at `path`."""
    enclosing, texts = {}, {}
    body = docx.Document(str(path)).element.body
    for element in body.iter(W + "bookmarkStart", W + "bookmarkEnd", W + "t"):
        if element.tag == W + "bookmarkStart":
            enclosing[element.get(W + "id")] = element.get(W + "name")
            texts[element.get(W + "name")] = ""
        elif element.tag == W + "bookmarkEnd":
            enclosing.pop(element.get(W + "id"), None)
        else:
            for name in enclosing.values():
                texts[name] += element.text or ""
    return texts
