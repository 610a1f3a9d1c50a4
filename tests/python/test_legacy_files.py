"""Workbooks and documents of the 97-2003 formats (.xls, .doc) as the files of
a Bridge: read and written through its Apps and an AutoRun, saved in their own
format, then converted once more by LibreOffice and read by openpyxl and
python-docx."""
import datetime
import os
import shutil
import subprocess
import sys
import types

import openpyxl
import pytest

import ovcbridge
from conftest import BUILD
from office_oracles import FIXTURES, W, bookmark_texts, convert_with_soffice, part_xml

sys.path.insert(0, str(BUILD.parent / "examples"))
import pump_plant  # noqa: E402

pytestmark = pytest.mark.skipif(shutil.which("soffice") is None, reason="needs LibreOffice")

PUMP = "P-101A"
# the sample plant's head curve of P-101A, four values: one more than the
# three cells of Temps, whose name grows down over the fourth
HEAD_CURVE = (41.9, 56.7, 33.5, 29.5)
# route, write location, read location; Total sums the first three Temps cells
LINKS = [("Flow", "Flow", ""), ("HeadCurve", "Temps", ""), ("Power", "", "Total"),
         ("Tag", "Text1", ""), ("Description", "", "Cell3")]
ROUTES = [route for route, _, _ in LINKS if route != "HeadCurve"]
COMPOUND_FILE = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"

# location: value read from plant.xls before the AutoRun, a merged block's cells row by row
PLANT_READS = {"Flow": 12.5, "Total": 64.5, "Title": ("Pump P-101A",) + (None,) * 5, "Limit": 100.0,
               "Commissioned": datetime.datetime(2004, 5, 6)}
# location: value written through the App after the AutoRun
PLANT_WRITES = {"Title": "Pump P-101B", "Setpoint": 55.0, "Commissioned": datetime.datetime(2010, 1, 2)}
# sheet, cell, value openpyxl reads from the saved file's conversion: the
# host's Flow of PUMP in the global Flow, not in the Spare sheet's own
PLANT_SAVED = [("Plant", "B2", 380.2), ("Spare", "B2", 7.0), ("Plant", "D1", "Pump P-101B"),
               ("Locked", "A1", 100.0), ("Locked", "A2", 55.0),
               ("Plant", "B7", datetime.datetime(2010, 1, 2)),
               ("Plant", "B8", pytest.approx(sum(HEAD_CURVE[:3])))]
TEXT_FIELDS = ["Text1", "Empty", "Short", "Disabled", "NotEnabled", "Locked", "Long", "Cell1",
               "Cell2", "Cell3"]


def copied(folder, fixture):
    shutil.copyfile(FIXTURES / fixture, folder / fixture)
    return folder / fixture


def bridge_over(folder):
    """A new Bridge of one LinkSet of LINKS on PUMP over copies of plant.xls and forms.doc."""
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Create()
    bridge.CaseOID = pump_plant.DESIGN_CASE
    links = pump_plant.add_linkset(bridge, "Legacy files", PUMP)
    for route, written, read in LINKS:
        pump_plant.add_link(links, route, written, read)
    for fixture in ("plant.xls", "forms.doc"):
        bridge.AddApp(str(copied(folder, fixture)))
    return bridge


@pytest.fixture(scope="module")
def autorun(tmp_path_factory):
    """PLANT_READS read through the Bridge's App of the workbook, an AutoRun,
    PLANT_WRITES and the locked cell Limit written through that App, both files
    saved."""
    folder = tmp_path_factory.mktemp("legacy")
    workspace = pump_plant.make_plant(folder / "plant.orvan")
    before = pump_plant.host_values(workspace, pump_plant.PUMPS[PUMP], ROUTES)
    host = pump_plant.open_host(workspace)
    bridge = bridge_over(folder)
    try:
        workbook = bridge.ItemApp(0)
        read = {location: workbook.GetValue(location) for location in PLANT_READS}
        bridge.AutoRun(False)
        errors = bridge.LinkErrorCount
        for location, value in PLANT_WRITES.items():
            workbook.SetValue(location, value)
        with pytest.raises(ovcbridge.ComError) as refusal:
            workbook.SetValue("Limit", 1.0)
        for index in range(bridge.CountApps):
            bridge.ItemApp(index).Save()
    finally:
        bridge.FinalCleanUp()
        host.FinalCleanUp()
    after = pump_plant.host_values(workspace, pump_plant.PUMPS[PUMP], ROUTES)
    workspace.Close()
    return types.SimpleNamespace(read=read, errors=errors, refusal=refusal.value, before=before,
                                 after=after, workbook=folder / "plant.xls",
                                 document=folder / "forms.doc")


def test_autorun_moves_values_both_ways_and_saves_legacy_files(autorun):
    assert (autorun.read, autorun.errors) == (PLANT_READS, 0)
    assert autorun.after == {**autorun.before, "Power": pytest.approx(sum(HEAD_CURVE[:3])),
                             "Description": "c3"}
    assert autorun.refusal.description == 'The application location "Limit" is locked'
    assert [path.read_bytes()[:8] for path in (autorun.workbook, autorun.document)] == \
        [COMPOUND_FILE] * 2


@pytest.fixture(scope="module")
def workbook(autorun):
    (converted,) = convert_with_soffice([str(autorun.workbook)], "xlsx")[str(autorun.workbook)]
    return converted


@pytest.mark.parametrize("sheet, cell, value", PLANT_SAVED)
def test_openpyxl_reads_the_written_values_from_the_saved_workbook(workbook, sheet, cell, value):
    assert openpyxl.load_workbook(workbook, data_only=True)[sheet][cell].value == value


def test_the_saved_workbook_keeps_names_merges_and_protection_and_grows_the_vector(workbook):
    book = openpyxl.load_workbook(workbook)
    assert tuple(book["Plant"].cell(row, 2).value for row in range(3, 7)) == HEAD_CURVE
    names = {(n.name, n.localSheetId, n.attr_text) for n in book.defined_names.definedName}
    assert {("Flow", 1, "Spare!$B$2"), ("Flow", None, "Plant!$B$2"),
            ("Temps", None, "Plant!$B$3:$B$6")} <= names and len(names) == 8
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
def document(autorun):
    """The document the AutoRun saved, opened, saved and opened again: (form
    fields reached through bookmarks after the first and the second save, the
    saved file converted to .docx)."""
    path = autorun.document
    application = ovcbridge.CreateObject("Word.Application")
    try:
        opened = application.Documents.Open(str(path))
        first = reachable_form_fields(application, opened)
        opened.Save()
        opened.Close()
        second = reachable_form_fields(application, application.Documents.Open(str(path)))
    finally:
        application.Quit()
    (converted,) = convert_with_soffice([str(path)], "docx")[str(path)]
    return first, second, converted


def test_each_text_form_field_is_reached_through_its_own_bookmark_save_after_save(document):
    first, second, _ = document
    assert {name: first[name][2] for name in TEXT_FIELDS} == {name: [name] for name in TEXT_FIELDS}
    assert second == first


def test_python_docx_reads_the_written_result_and_the_form_protection(document):
    converted = document[2]
    texts = bookmark_texts(converted)
    assert (texts["Text1"], texts["Cell3"]) == (PUMP, "c3")
    protection = part_xml(converted, "word/settings.xml").find(f"{W}documentProtection")
    assert protection.get(f"{W}edit") == "forms"


def test_two_processes_open_legacy_files_at_once(tmp_path):
    script = ("import sys, ovcbridge\n"
              "app = ovcbridge.CreateObject('OVCBridgeSvcs.App')\n"
              "app.Path = sys.argv[1]\n"
              "print(app.GetValue(sys.argv[2]))\n"
              "app.TerminateApp(False)\n")
    runs = [subprocess.Popen([sys.executable, "-c", script, str(copied(tmp_path, fixture)), location],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                             env={**os.environ, "PYTHONPATH": os.pathsep.join(sys.path)})
            for fixture, location in [("plant.xls", "Flow"), ("forms.doc", "Text1")]]
    outputs = [run.communicate(timeout=240) for run in runs]
    assert [run.returncode for run in runs] == [0, 0], outputs
    assert [out for out, _ in outputs] == ["12.5\n", "Result\n"]
