"""An AutoRun over a Bridge whose files are a 97-2003 workbook and document:
host values written into both, values held or calculated in the files read
back into the host, both files saved in their own format and then converted
once more by LibreOffice for openpyxl and python-docx."""
import shutil
import sys

import openpyxl
import pytest

import ovcbridge
from conftest import BUILD
from office_oracles import FIXTURES, bookmark_texts, convert_with_soffice

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
COMPOUND_FILE = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"


@pytest.fixture
def autorun(plant, tmp_path):
    """AutoRun over copies of plant.xls and forms.doc, both saved: (host values
    before, after, the saved workbook and document)."""
    routes = [route for route, _, _ in LINKS if route != "HeadCurve"]
    before = pump_plant.host_values(plant, pump_plant.PUMPS[PUMP], routes)
    host = pump_plant.open_host(plant)
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Create()
    bridge.CaseOID = pump_plant.DESIGN_CASE
    links = pump_plant.add_linkset(bridge, "Legacy files", PUMP)
    for route, written, read in LINKS:
        pump_plant.add_link(links, route, written, read)
    files = [tmp_path / "plant.xls", tmp_path / "forms.doc"]
    for path in files:
        shutil.copyfile(FIXTURES / path.name, path)
        bridge.AddApp(str(path))
    try:
        bridge.AutoRun(False)
        assert bridge.LinkErrorCount == 0
        for index in range(bridge.CountApps):
            bridge.ItemApp(index).Save()
    finally:
        bridge.FinalCleanUp()
        host.FinalCleanUp()
    after = pump_plant.host_values(plant, pump_plant.PUMPS[PUMP], routes)
    return before, after, *files


def test_autorun_over_legacy_files_moves_values_both_ways_and_saves_them_as_legacy_files(autorun):
    before, after, workbook, document = autorun
    assert after == {**before, "Power": pytest.approx(sum(HEAD_CURVE[:3])), "Description": "c3"}
    assert [path.read_bytes()[:8] for path in (workbook, document)] == [COMPOUND_FILE] * 2
    (converted_workbook,) = convert_with_soffice([str(workbook)], "xlsx")[str(workbook)]
    book = openpyxl.load_workbook(converted_workbook, data_only=True)
    sheet = book["Plant"]
    assert sheet["B2"].value == before["Flow"]
    assert tuple(sheet.cell(row, 2).value for row in range(3, 7)) == HEAD_CURVE
    assert book.defined_names.get("Temps").attr_text == "Plant!$B$3:$B$6"
    (converted_document,) = convert_with_soffice([str(document)], "docx")[str(document)]
    texts = bookmark_texts(converted_document)
    assert (texts["Text1"], texts["Cell3"]) == (PUMP, "c3")
