#!/usr/bin/env python3
"""An AutoRun over the sample plant: host values into a calculation workbook
and a data sheet, the workbook's results back into the host.

    PYTHONPATH=build/python /usr/bin/python3 examples/bridge_round_trip.py [folder]

1. Makes, in `folder` (default: build/bridge-round-trip), the host database
   plant.orvan from samples/plant.json, the calculation workbook
   pump-sizing.xlsx and the data sheet pump-datasheet.docx (pump_plant.py).
2. Creates the Bridge "Pump sizing" (a LinkSet per pump: flow and pressures
   into the workbook, shaft power and stages back; a LinkSet filling the
   data sheet's bookmarks for P-101A) and saves it, files included, in the
   host database.
3. Opens the Bridge again, validates it for AutoRun and runs AutoRun: the
   host values go into the files, the workbook calculates, its results go
   back into the host. Prints the Bridge's status report (and its error
   report when Links failed), the change report and the host values before
   and after, then saves the Bridge with its files and copies them to `folder`
   as autorun-pump-sizing.xlsx and autorun-pump-datasheet.docx.
"""
import pathlib
import shutil
import sys

import docx
import openpyxl

import ovcbridge
import pump_plant

ROOT = pathlib.Path(__file__).resolve().parent.parent
RESULTS = ("Power", "Stages")
SHOWN = ("Flow", "SuctionPressure", "DischargePressure", *RESULTS)


def stored_bridge(folder):
    """Makes the files and saves a new Bridge over them; returns its OID."""
    workbook, data_sheet = folder / "pump-sizing.xlsx", folder / "pump-datasheet.docx"
    pump_plant.make_workbook(workbook)
    pump_plant.make_data_sheet(data_sheet)
    bridge = pump_plant.create_bridge(workbook, data_sheet)
    bridge.Save(False)
    oid = bridge.OID
    print(f"Saved Bridge {oid} '{bridge.Name}': {len(bridge)} LinkSets, {bridge.CountApps} files")
    bridge.FinalCleanUp()
    return oid


def show_progress(phase, file, object, done, total):
    """The library's progress reports: the start of each phase and the end of
    each file (it also reports each object)."""
    if not object:
        print(f"  {phase.replace('_', ' '):<11} {file:<20} {done}/{total}")


def autorun(bridge):
    """AutoRun with a change report, its progress shown; 0, or 1 when it failed."""
    print("AutoRun:")
    ovcbridge.SetProgress(show_progress)
    try:
        bridge.AutoRun(True)
        return 0
    except ovcbridge.ComError as error:
        print(f"AutoRun failed: {error.description}")
        return 1
    finally:
        ovcbridge.SetProgress(None)


def validate(bridge):
    """The Bridge's check of its definition for an AutoRun; True when it may run."""
    report, level = bridge.Validate(ovcbridge.ovAutorun)
    print("Validated for AutoRun: " + ("errors, not run" if level == ovcbridge.ovError else "may run"))
    if report:
        print(report)
    return level != ovcbridge.ovError


def print_reports(bridge):
    """The Bridge's status report (each Link's status, by LinkSet) and, when
    Links failed, its error report."""
    print()
    print(bridge.StatusReport.replace("\t", " "))
    if bridge.LinkErrorCount:
        print(bridge.ErrorReport.replace("\t", " "))


def print_change_report(bridge):
    texts = bridge.GetChangeReport() or ()
    print(f"\nChange report ({len(texts) // 5} changes):")
    for source, what, where, old, new in zip(*[iter(texts)] * 5):
        print(f"  {source:<20} {what:<8} {where:<18} {old:>18} -> {new}")


def readable(value):
    return "" if value is None else f"{value:.6g}" if isinstance(value, float) else str(value)


def print_host_values(workspace, before):
    print("\nHost values (case Design, SI units), before -> after AutoRun:")
    print(f"  {'pump':<8}" + "".join(f"{route:>20}" for route in SHOWN))
    for tag, oid in pump_plant.PUMPS.items():
        after = pump_plant.host_values(workspace, oid, SHOWN)
        changes = (readable(before[tag][route]) + ("" if before[tag][route] == after[route] else
                                                   f" -> {readable(after[route])}") for route in SHOWN)
        print(f"  {tag:<8}" + "".join(f"{change:>20}" for change in changes))


def keep_files(bridge, folder):
    """Saves the Bridge with its files and copies them into `folder`."""
    bridge.Save(True)
    kept = []
    for index in range(bridge.CountApps):
        app = bridge.ItemApp(index)
        kept.append(folder / f"autorun-{app.FullName}")
        shutil.copyfile(app.Path, kept[-1])
    return kept


def print_saved_files(workbook, data_sheet):
    """What independent readers find in the saved files."""
    sheet = openpyxl.load_workbook(workbook, data_only=True)["Sizing"]
    print(f"\n{workbook.name}, read by openpyxl (values as last calculated):")
    for row in sheet.iter_rows(min_row=pump_plant.FIRST_PUMP_ROW, values_only=True):
        cells = (f"{prefix} {readable(value)}" for (prefix, *_), value in zip(pump_plant.COLUMNS.values(), row) if prefix)
        print(f"  {row[0]}: " + ", ".join(cells))
    print(f"\n{data_sheet.name}, read by python-docx:")
    for row in docx.Document(data_sheet).tables[0].rows:
        print(f"  {row.cells[0].text:<20} {row.cells[1].text}")


def main(folder):
    folder.mkdir(parents=True, exist_ok=True)
    workspace = pump_plant.make_plant(folder / "plant.orvan")
    host = pump_plant.open_host(workspace)
    oid = stored_bridge(folder)
    before = {tag: pump_plant.host_values(workspace, pump_oid, SHOWN) for tag, pump_oid in pump_plant.PUMPS.items()}

    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Open(oid)
    copies = ", ".join(bridge.ItemApp(index).Path for index in range(bridge.CountApps))
    print(f"Opened Bridge {oid}, its files checked out to {copies}")
    failed = autorun(bridge) if validate(bridge) else 1
    print_reports(bridge)
    print_change_report(bridge)
    print_host_values(workspace, before)
    workbook, data_sheet = keep_files(bridge, folder)
    bridge.ReleaseLock()
    bridge.FinalCleanUp()
    host.FinalCleanUp()
    workspace.Close()
    print_saved_files(workbook, data_sheet)
    print(f"\nFiles in {folder}:")
    for path in sorted(folder.iterdir()):
        print(f"  {path.name}")
    return failed


if __name__ == "__main__":
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "build" / "bridge-round-trip"
    sys.exit(main(target.resolve()))
