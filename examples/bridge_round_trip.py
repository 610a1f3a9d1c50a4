#!/usr/bin/env python3
"""A Bridge kept in the host database, opened again in another process, moving
values into and out of its workbook and document.

    PYTHONPATH=build/python /usr/bin/python3 examples/bridge_round_trip.py [folder]

1. Makes, in `folder` (default: build/bridge-round-trip), the host database
   plant.orvan from samples/plant.json, and the workbook pump.xlsx and the
   document pump.docx with the office fixture scripts of tests/office/fixtures.
2. Creates a Bridge over the plant with a LinkSet on pump P-101A and the two
   files, and saves it in the database (the files go in with it).
3. Runs itself again as a second process, which opens the Bridge by its OID,
   writes a value into each file through IApp, reads it back, saves the
   Bridge with its files checked out and copies them to `folder`.
Everything it makes stays in `folder`.
"""
import pathlib
import shutil
import subprocess
import sys

import ovcbridge

ROOT = pathlib.Path(__file__).resolve().parent.parent
SAMPLE = ROOT / "samples" / "plant.json"
FIXTURES = ROOT / "tests" / "office" / "fixtures"
# The files, and where each takes its value: a workbook name and a document
# form field.
VALUES = {".xlsx": ("Rate", 42.5), ".docx": ("Text1", "P-101A checked")}
FILES = ("pump.xlsx", "pump.docx")


def open_host(database):
    """The workspace over `database`, handed to the library's host object."""
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Open(str(database))
    host = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    host.Initialize(workspace, workspace.Cache)
    return workspace, host


def make_files(folder):
    """The database and the two office files, made afresh."""
    sys.path.insert(0, str(FIXTURES))
    import make_fixtures
    import make_word_fixtures

    (folder / "pump.xlsx").write_bytes(make_fixtures.make_book())
    (folder / "pump.docx").write_bytes(make_word_fixtures.make_fields())
    database = folder / "plant.orvan"
    for stale in (database, folder / "plant.orvan-wal", folder / "plant.orvan-shm"):
        stale.unlink(missing_ok=True)
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(str(database))
    workspace.Import(str(SAMPLE))
    workspace.Close()
    return database


def create_bridge(folder, database):
    """Creates and saves the Bridge; returns its OID."""
    workspace, host = open_host(database)
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Create()
    bridge.Name = "Pump P-101A"
    bridge.Description = "Rate into the workbook, a note into the document"
    pumps = bridge.CreateLinkSet()
    pumps.Name = "P-101A"
    pumps.Class = "Pumps"
    pumps.ObjectOID = 1001
    pumps.ObjectName = "P-101A"
    link = pumps.CreateLink()
    link.AttribName = "Flow"
    link.WriteLocation = VALUES[".xlsx"][0]
    for name in FILES:
        bridge.AddApp(str(folder / name))
    bridge.Save(False)
    oid = bridge.OID
    print(f"Saved Bridge {oid} '{bridge.Name}': {len(bridge)} LinkSet, {bridge.CountApps} files,"
          f" case {bridge.SelectedCaseName}, unit standard {bridge.UnitStdResolved}")
    bridge.FinalCleanUp()
    host.FinalCleanUp()
    workspace.Close()
    return oid


def reopen(folder, database, oid):
    """The second process: opens the Bridge and moves values through IApp."""
    workspace, host = open_host(database)
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Open(oid)
    print(f"Opened Bridge {oid} '{bridge.Name}' in process 2: "
          f"LinkSet {bridge.Item(0).Name}, Link {bridge.Item(0).Item(0).AttribName}")
    apps = [bridge.ItemApp(i) for i in range(bridge.CountApps)]
    for app in apps:
        path = pathlib.Path(app.Path)
        location, value = VALUES[path.suffix]
        app.SetValue(location, value)
        print(f"  {path.name}: wrote {value!r} to {location}, read back {app.GetValue(location)!r}")
    bridge.Save(True)
    for app in apps:
        app.TerminateApp(False)
        written = folder / f"written-{pathlib.Path(app.Path).name}"
        shutil.copyfile(app.Path, written)
    bridge.ReleaseLock()
    bridge.FinalCleanUp()
    host.FinalCleanUp()
    workspace.Close()
    return 0


def main(folder):
    folder.mkdir(parents=True, exist_ok=True)
    database = make_files(folder)
    oid = create_bridge(folder, database)
    second = subprocess.run([sys.executable, __file__, "--reopen", str(folder), str(oid)],
                            check=False)
    if second.returncode != 0:
        return second.returncode
    import openpyxl

    rate = openpyxl.load_workbook(folder / "written-pump.xlsx")["Sheet1"]["B1"].value
    print(f"\nwritten-pump.xlsx, read by openpyxl: Sheet1!B1 (Rate) = {rate}")
    print(f"\nFiles left in {folder}:")
    for path in sorted(folder.iterdir()):
        print(f"  {path.name}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--reopen":
        out = pathlib.Path(sys.argv[2])
        sys.exit(reopen(out, out / "plant.orvan", int(sys.argv[3])))
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "bridge-round-trip"
    sys.exit(main(target.resolve()))
