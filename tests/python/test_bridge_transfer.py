"""Values moved between the sample plant and the pump-sizing files by the
Bridge's transfer operations, against the real host and office engines: the
saved files checked with openpyxl and python-docx, the host through its own
data service."""
import math
import os
import pathlib
import subprocess
import sys

import openpyxl
import pytest

import ovcbridge
from conftest import BUILD
from office_oracles import bookmark_texts

EXAMPLES = BUILD.parent / "examples"
sys.path.insert(0, str(EXAMPLES))
import pump_plant  # noqa: E402

INPUTS = {"Flow": "Flow", "SuctionPressure": "Suction", "DischargePressure": "Discharge"}
RESULTS = {"Power": "Power", "Stages": "Stages"}
ROUTES = (*INPUTS, *RESULTS)
# the data sheet of P-101A filled from the sample plant
DATA_SHEET = {"Tag": "P-101A", "Description": "Crude Oil pump A; duty & spare service", "Service": "Crude Oil",
              "RatedFlow": "380.2 m³/h", "Suction": "128 kPa", "Discharge": "774 kPa", "Installed": "2017-08-08",
              "Manufacturer": "Sulzer"}
WORKBOOK, DOCUMENT = "pump-sizing.xlsx", "pump-datasheet.docx"


def power(pump):
    """The shaft power of `pump` ({route: value}) as the workbook computes it."""
    return pump["Flow"] * (pump["DischargePressure"] - pump["SuctionPressure"]) / 3600 / 0.75


def stages(pump):
    head = (pump["DischargePressure"] - pump["SuctionPressure"]) * 1000 / (1000 * 9.81)
    return math.ceil(head / 40)


def results(pump):
    """What the workbook computes from the inputs of `pump` (reals to 13
    digits: the evaluator may round in another order)."""
    return {"Power": pytest.approx(power(pump), rel=1e-13), "Stages": stages(pump)}


def sized(pump):
    return {**pump, **results(pump)}


def host_state(workspace):
    return {tag: pump_plant.host_values(workspace, oid, ROUTES) for tag, oid in pump_plant.PUMPS.items()}


def named_values(path):
    """{workbook name: its cell's value as last calculated}, read by openpyxl."""
    book = openpyxl.load_workbook(path, data_only=True)
    values = {}
    for name in book.defined_names.definedName:
        ((sheet, cell),) = name.destinations
        values[name.name] = book[sheet][cell.replace("$", "")].value
    return values


def workbook_pumps(path):
    """{tag: {route: value}} of the pump rows of the workbook at `path`."""
    cells = named_values(path)
    return {tag: {route: cells[pump_plant.location(prefix, tag)] for route, prefix in {**INPUTS, **RESULTS}.items()}
            for tag in pump_plant.PUMPS}


@pytest.fixture
def sizing(tmp_path, monkeypatch, plant):
    """The pump-sizing Bridge, stored with its files and opened again; the
    working copies of the files lie in tmp_path / "Orvan Files"."""
    monkeypatch.setenv("TMPDIR", str(tmp_path))
    host = pump_plant.open_host(plant)
    workbook, data_sheet = tmp_path / WORKBOOK, tmp_path / DOCUMENT
    pump_plant.make_workbook(workbook)
    pump_plant.make_data_sheet(data_sheet)
    stored = pump_plant.create_bridge(workbook, data_sheet)
    stored.Save(False)
    oid = stored.OID
    stored.FinalCleanUp()
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Open(oid)
    yield bridge
    bridge.FinalCleanUp()
    host.FinalCleanUp()


def working_copy(bridge, index):
    return pathlib.Path(bridge.ItemApp(index).Path)


def test_the_example_autoruns_the_plant_and_leaves_the_files_it_saved(tmp_path, plant):
    before = host_state(plant)
    folder = tmp_path / "example"
    environment = {**os.environ, "TMPDIR": str(tmp_path),
                   "PYTHONPATH": os.environ.get("PYTHONPATH", str(BUILD / "python"))}
    run = subprocess.run([sys.executable, str(EXAMPLES / "bridge_round_trip.py"), str(folder)],
                         capture_output=True, text=True, env=environment, timeout=600)
    assert run.returncode == 0, run.stdout + run.stderr
    assert f"Files in {folder}:" in run.stdout
    assert "Validated for AutoRun: may run" in run.stdout
    assert "Bridge Status Report:" in run.stdout
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Open(str(folder / "plant.orvan"))
    after = host_state(workspace)
    workspace.Close()
    assert after == {tag: sized(pump) for tag, pump in before.items()}
    assert workbook_pumps(folder / f"autorun-{WORKBOOK}") == after
    assert bookmark_texts(folder / f"autorun-{DOCUMENT}") == DATA_SHEET


@pytest.mark.both_stores
def test_read_from_apps_takes_inputs_edited_with_openpyxl_through_the_formulas_into_the_host(sizing, plant):
    before = host_state(plant)
    edited = {tag: dict(zip(INPUTS, values)) for tag, values in
              {"P-101A": (300.5, 150, 850), "P-102A": (120, 100, 1400), "P-103A": (0, 200, 200)}.items()}
    path = working_copy(sizing, 0)
    book = openpyxl.load_workbook(path)
    for tag, pump in edited.items():
        for route, prefix in INPUTS.items():
            ((sheet, cell),) = book.defined_names.get(pump_plant.location(prefix, tag)).destinations
            book[sheet][cell.replace("$", "")] = pump[route]
    book.save(path)
    sizing.ReadFromApps(False)
    sizing.WriteToOrvan(False)
    # the inputs have no read location: only the results go into the host
    assert host_state(plant) == {tag: {**pump, **results(edited[tag])} for tag, pump in before.items()}


def test_an_iterative_autorun_recalculates_the_workbook_for_each_object(tmp_path, plant):
    before = host_state(plant)
    host = pump_plant.open_host(plant)
    pump_plant.make_workbook(tmp_path / WORKBOOK)
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Create()
    bridge.CaseOID = pump_plant.DESIGN_CASE
    # every pump in turn through the row of the first one
    pumps = bridge.CreateLinkSet()
    pumps.Class, pumps.Iterative = "Pumps", True
    pumps.ObjectOIDList = ovcbridge.Variant(ovcbridge.VT_ARRAY | ovcbridge.VT_I4, list(pump_plant.PUMPS.values()))
    pumps.ObjectNameList = ovcbridge.Variant(ovcbridge.VT_ARRAY | ovcbridge.VT_BSTR, list(pump_plant.PUMPS))
    for route, prefix in {**INPUTS, **RESULTS}.items():
        location = pump_plant.location(prefix, "P-101A")
        pump_plant.add_link(pumps, route, *((location, "") if route in INPUTS else ("", location)))
    bridge.AddApp(str(tmp_path / WORKBOOK))
    bridge.AutoRun(False)
    assert host_state(plant) == {tag: sized(pump) for tag, pump in before.items()}
    assert (len(bridge), bridge.LinkErrorCount) == (1, 0)
    bridge.FinalCleanUp()
    host.FinalCleanUp()


def change_text(value):
    """A value as the change report writes it: doubles to 15 significant digits."""
    return format(value, ".15g") if isinstance(value, float) else str(value)


def test_autorun_reports_each_value_it_changed_in_the_files_and_the_host(sizing, plant):
    before = host_state(plant)
    sizing.AutoRun(True)
    written = [(WORKBOOK, tag, pump_plant.location(prefix, tag), "", change_text(before[tag][route]))
               for tag in pump_plant.PUMPS for route, prefix in INPUTS.items()]
    written += [(DOCUMENT, pump_plant.DATA_SHEET_PUMP, bookmark, pump_plant.PLACEHOLDER, text)
                for bookmark, text in DATA_SHEET.items()]
    results = [("Pump sizing", tag, route, change_text(before[tag][route]), change_text(result(before[tag])))
               for tag in pump_plant.PUMPS for route, result in (("Power", power), ("Stages", stages))]
    report = sizing.GetChangeReport()
    # the read from the workbook and the host write each report the results
    assert list(zip(*[iter(report)] * 5)) == written + results + results
    sizing.ClearChangeReport()
    assert sizing.GetChangeReport() in (None, ())


def vanish(path):
    path.unlink()


def break_file(path):
    path.write_bytes(b"PK\x03\x04 no longer an office file")


def lock_by_another_user(path):
    """Opens `path` writable in an application of its own, which holds the
    file's lock until it quits; returns that application."""
    application = ovcbridge.CreateObject("Excel.Application" if path.suffix == ".xlsx" else "Word.Application")
    (application.Workbooks if path.suffix == ".xlsx" else application.Documents).Open(str(path))
    return application


@pytest.mark.parametrize("index, kind", [(0, "Excel"), (1, "Word")])
@pytest.mark.parametrize("mishap", [vanish, break_file])
def test_a_file_gone_bad_after_open_fails_autorun_and_leaves_the_host_unchanged(sizing, plant, index, kind, mishap):
    before = host_state(plant)
    path = working_copy(sizing, index)
    mishap(path)
    with pytest.raises(ovcbridge.ComError) as failed:
        sizing.AutoRun(False)
    assert f"Error opening {kind} file:  {path}" in failed.value.description
    assert host_state(plant) == before


@pytest.mark.parametrize("index", [0, 1])
def test_a_file_locked_by_another_user_is_transferred_read_only_and_saving_it_is_refused(sizing, plant, index):
    before = host_state(plant)
    path = working_copy(sizing, index)
    original = path.read_bytes()
    holder = lock_by_another_user(path)
    sizing.AutoRun(False)
    assert host_state(plant) == {tag: sized(pump) for tag, pump in before.items()}
    with pytest.raises(ovcbridge.ComError) as refused:
        sizing.Save(True)
    assert f"Use Save-As for Read-Only Files:  {path}" in refused.value.description
    holder.Quit()
    assert path.read_bytes() == original
