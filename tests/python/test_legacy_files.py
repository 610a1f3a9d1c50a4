"""Workbooks and documents of the 97-2003 formats (.xls, .doc) read and written
through the Apps as any other file, the saved files then converted once more
by LibreOffice and read by openpyxl and python-docx."""
import datetime
import os
import shutil
import subprocess
import sys

import openpyxl
import pytest

import ovcbridge
from office_oracles import FIXTURES, W, bookmark_texts, convert_with_soffice, part_xml

pytestmark = pytest.mark.skipif(shutil.which("soffice") is None, reason="needs LibreOffice")

# location: value read from plant.xls, a merged block's cells row by row
PLANT_READS = {"Flow": 12.5, "Total": 64.5, "Title": ("Pump P-101A",) + (None,) * 5, "Limit": 100.0,
               "Commissioned": datetime.datetime(2004, 5, 6)}
# location: value written; the vector down its column
PLANT_WRITES = {"Flow": 15.0, "Title": "Pump P-101B", "Setpoint": 55.0,
                "Commissioned": datetime.datetime(2010, 1, 2)}
PLANT_VECTOR = ("Temps", (30.0, 31.0, 32.5))
# sheet, cell, value openpyxl reads from the saved file's conversion
PLANT_SAVED = [("Plant", "B2", 15.0), ("Spare", "B2", 7.0), ("Plant", "B3", 30.0),
               ("Plant", "B5", 32.5), ("Plant", "D1", "Pump P-101B"), ("Locked", "A1", 100.0),
               ("Locked", "A2", 55.0), ("Plant", "B7", datetime.datetime(2010, 1, 2)),
               ("Plant", "B8", 93.5)]

# bookmark of forms.doc: the form field result read, the one written
FORM_WRITES = {"Text1": ("Result", "Typed"), "Short": ("abc", "xyz"), "Cell3": ("c3", "third")}


def written_through_app(folder, fixture, locations, write):
    """Copies `fixture` into `folder`, reads `locations` through an App, lets
    write(app) write and saves: (the copy, {location: value read}, what write
    returned)."""
    path = folder / fixture
    shutil.copyfile(FIXTURES / fixture, path)
    app = ovcbridge.CreateObject("OVCBridgeSvcs.App")
    app.Path = str(path)
    try:
        read = {location: app.GetValue(location) for location in locations}
        written = write(app)
        app.Save()
    finally:
        app.TerminateApp(False)
    return path, read, written


def write_plant(app):
    """Writes PLANT_WRITES and PLANT_VECTOR; the refusal of the locked cell."""
    for location, value in PLANT_WRITES.items():
        app.SetValue(location, value)
    app.SetVectorValue(*PLANT_VECTOR, True)
    with pytest.raises(ovcbridge.ComError) as refusal:
        app.SetValue("Limit", 1.0)
    return refusal.value


@pytest.fixture(scope="module")
def plant(tmp_path_factory):
    """plant.xls read through an App, written and saved: (values read, refusal
    of the locked cell, the saved file converted to .xlsx)."""
    path, read, refusal = written_through_app(tmp_path_factory.mktemp("plant"), "plant.xls",
                                              PLANT_READS, write_plant)
    (converted,) = convert_with_soffice([str(path)], "xlsx")[str(path)]
    return read, refusal, converted


def test_every_location_of_a_legacy_workbook_reads_as_stored(plant):
    read, _, _ = plant
    assert read == PLANT_READS


def test_a_locked_cell_of_a_protected_sheet_is_refused(plant):
    assert plant[1].description == 'The application location "Limit" is locked'


@pytest.mark.parametrize("sheet, cell, value", PLANT_SAVED)
def test_openpyxl_reads_the_written_values_from_the_saved_workbook(plant, sheet, cell, value):
    book = openpyxl.load_workbook(plant[2], data_only=True)
    assert book[sheet][cell].value == value


def test_the_saved_workbook_keeps_names_merges_and_protection(plant):
    book = openpyxl.load_workbook(plant[2])
    names = {(n.name, n.localSheetId, n.attr_text) for n in book.defined_names.definedName}
    assert {("Flow", 1, "Spare!$B$2"), ("Flow", None, "Plant!$B$2")} <= names and len(names) == 8
    assert [str(merged) for merged in book["Plant"].merged_cells.ranges] == ["D1:F2"]
    assert book["Locked"].protection.sheet and not book["Locked"]["A2"].protection.locked
    assert book["Plant"]["B8"].value == "=SUM(B3:B5)"


def reachable_form_fields(application, document):
    """{bookmark: (start, end, names of the form fields its range holds)}."""
    reachable = {}
    for index in range(1, document.Bookmarks.Count + 1):
        bookmark = document.Bookmarks.Item(index)
        bookmark.Range.Select()
        fields = application.Selection.FormFields
        reachable[bookmark.Name] = (bookmark.Range.Start, bookmark.Range.End,
                                    [fields.Item(i).Name for i in range(1, fields.Count + 1)])
    return reachable


@pytest.fixture(scope="module")
def forms(tmp_path_factory):
    """forms.doc written through an App and saved, then opened, saved and opened
    again: (values read, form fields reached through bookmarks after the first
    and the second save, the saved file converted to .docx)."""
    path, read, _ = written_through_app(
        tmp_path_factory.mktemp("forms"), "forms.doc", FORM_WRITES,
        lambda app: [app.SetValue(location, written) for location, (_, written) in FORM_WRITES.items()])
    application = ovcbridge.CreateObject("Word.Application")
    try:
        document = application.Documents.Open(str(path))
        first = reachable_form_fields(application, document)
        document.Save()
        document.Close()
        second = reachable_form_fields(application, application.Documents.Open(str(path)))
    finally:
        application.Quit()
    (converted,) = convert_with_soffice([str(path)], "docx")[str(path)]
    return read, first, second, converted


def test_form_fields_of_a_legacy_document_read_as_stored(forms):
    assert forms[0] == {location: stored for location, (stored, _) in FORM_WRITES.items()}


TEXT_FIELDS = ["Text1", "Empty", "Short", "Disabled", "NotEnabled", "Locked", "Long", "Cell1",
               "Cell2", "Cell3"]


def test_each_text_form_field_is_reached_through_its_own_bookmark_save_after_save(forms):
    _, first, second, _ = forms
    assert {name: first[name][2] for name in TEXT_FIELDS} == {name: [name] for name in TEXT_FIELDS}
    assert second == first


def test_python_docx_reads_the_written_results_and_the_form_protection(forms):
    converted = forms[3]
    texts = bookmark_texts(converted)
    assert {location: texts[location] for location in FORM_WRITES} == \
        {location: written for location, (_, written) in FORM_WRITES.items()}
    protection = part_xml(converted, "word/settings.xml").find(f"{W}documentProtection")
    assert protection.get(f"{W}edit") == "forms"


def test_two_processes_open_legacy_files_at_once(tmp_path):
    script = ("import sys, ovcbridge\n"
              "app = ovcbridge.CreateObject('OVCBridgeSvcs.App')\n"
              "app.Path = sys.argv[1]\n"
              "print(app.GetValue(sys.argv[2]))\n"
              "app.TerminateApp(False)\n")
    runs = []
    for fixture, location in [("plant.xls", "Flow"), ("forms.doc", "Text1")]:
        shutil.copyfile(FIXTURES / fixture, tmp_path / fixture)
        runs.append(subprocess.Popen(
            [sys.executable, "-c", script, str(tmp_path / fixture), location],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
            env={**os.environ, "PYTHONPATH": os.pathsep.join(sys.path)}))
    outputs = [run.communicate(timeout=240) for run in runs]
    assert [run.returncode for run in runs] == [0, 0], outputs
    assert [out for out, _ in outputs] == ["12.5\n", "Result\n"]
