"""The pump sizing over the sample plant, shared by examples/bridge_round_trip.py
and its tests: the host database, the calculation workbook, the data-sheet
document, the Bridge that links them, and the host's own reading of values.

The workbook (openpyxl) has one row per pump: the inputs Flow, Suction and
Discharge (names such as Flow_P101A) feed formulas for the head, the shaft
power and the number of stages (names Power_P101A, Stages_P101A). The data
sheet (python-docx) is a table whose value cells are bookmarks.
"""
import pathlib
import xml.etree.ElementTree as ElementTree
from xml.sax.saxutils import quoteattr

import docx
import openpyxl
from docx.oxml import OxmlElement
from docx.oxml.ns import qn
from openpyxl.workbook.defined_name import DefinedName

import ovcbridge

SAMPLE = pathlib.Path(__file__).resolve().parent.parent / "samples" / "plant.json"
PUMPS = {"P-101A": 1001, "P-102A": 1003, "P-103A": 1005}
DATA_SHEET_PUMP = "P-101A"
DESIGN_CASE = 101
CONSTANTS = {"Efficiency": ("Pump efficiency", 0.75), "Density": ("Density [kg/m³]", 1000),
             "Gravity": ("Gravity [m/s²]", 9.81), "HeadPerStage": ("Head per stage [m]", 40)}
FIRST_PUMP_ROW = 9
# workbook columns: name prefix (None: no name), header, host route written
# into it or read from it, formula of row r (None: an input)
COLUMNS = {
    "A": (None, "Pump", None, None),
    "B": ("Flow", "Flow [m³/h]", "Flow", None),
    "C": ("Suction", "Suction [kPa]", "SuctionPressure", None),
    "D": ("Discharge", "Discharge [kPa]", "DischargePressure", None),
    "E": ("Head", "Head [m]", None, "=(D{r}-C{r})*1000/(Density*Gravity)"),
    "F": ("Power", "Shaft power [kW]", "Power", "=B{r}*(D{r}-C{r})/3600/Efficiency"),
    "G": ("Stages", "Stages", "Stages", "=ROUNDUP(E{r}/HeadPerStage,0)"),
}
# data-sheet rows: label, bookmark, host route, write format
DATA_SHEET = [
    ("Tag", "Tag", "Tag", ""),
    ("Description", "Description", "Description", ""),
    ("Service", "Service", "Service", ""),
    ("Rated flow", "RatedFlow", "Flow", "/!Number(%.1f):Unit!/"),
    ("Suction pressure", "Suction", "SuctionPressure", "/!Number(%.0f):Unit!/"),
    ("Discharge pressure", "Discharge", "DischargePressure", "/!Number(%.0f):Unit!/"),
    ("Installed", "Installed", "InstallDate", "/!Date(%Y-%m-%d)!/"),
    ("Manufacturer", "Manufacturer", "Manufacturer", ""),
]
PLACEHOLDER = "-"


def location(prefix, tag):
    """The workbook name of a pump's cell: Flow_P101A for Flow of P-101A."""
    return f"{prefix}_{tag.replace('-', '')}"


def make_plant(database):
    """A fresh host database holding the sample plant; returns its workspace."""
    for stale in (database, *(database.with_name(database.name + end) for end in ("-wal", "-shm"))):
        stale.unlink(missing_ok=True)
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(str(database))
    workspace.Import(str(SAMPLE))
    return workspace


def open_host(workspace):
    """The library's host object over `workspace`."""
    host = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    host.Initialize(workspace, workspace.Cache)
    return host


def make_workbook(path):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Sizing"
    sheet["A1"] = "Pump sizing"
    for row, (name, (label, value)) in enumerate(CONSTANTS.items(), 3):
        sheet.cell(row, 1, label)
        sheet.cell(row, 2, value)
        book.defined_names.append(DefinedName(name, attr_text=f"Sizing!$B${row}"))
    for column, (_, header, _, _) in COLUMNS.items():
        sheet[f"{column}{FIRST_PUMP_ROW - 1}"] = header
    for row, tag in enumerate(PUMPS, FIRST_PUMP_ROW):
        sheet[f"A{row}"] = tag
        for column, (prefix, _, _, formula) in COLUMNS.items():
            if formula:
                sheet[f"{column}{row}"] = formula.format(r=row)
            if prefix:
                book.defined_names.append(
                    DefinedName(location(prefix, tag), attr_text=f"Sizing!${column}${row}"))
    book.save(path)


def bookmarked(paragraph, bookmark_id, name, text):
    """`text` in `paragraph`, enclosed by the bookmark `name`."""
    start = OxmlElement("w:bookmarkStart")
    start.set(qn("w:id"), str(bookmark_id))
    start.set(qn("w:name"), name)
    end = OxmlElement("w:bookmarkEnd")
    end.set(qn("w:id"), str(bookmark_id))
    paragraph._p.append(start)
    paragraph.add_run(text)
    paragraph._p.append(end)


def make_data_sheet(path):
    document = docx.Document()
    document.add_heading("Pump data sheet", level=1)
    table = document.add_table(rows=len(DATA_SHEET), cols=2)
    table.style = "Table Grid"
    for bookmark_id, (row, (label, bookmark, _, _)) in enumerate(zip(table.rows, DATA_SHEET), 1):
        row.cells[0].text = label
        bookmarked(row.cells[1].paragraphs[0], bookmark_id, bookmark, PLACEHOLDER)
    document.save(path)


def add_link(linkset, route, write_location="", read_location="", write_format=""):
    link = linkset.CreateLink()
    link.AttribName = route
    link.WriteLocation = write_location
    link.ReadLocation = read_location
    link.WriteFormat = write_format
    return link


def add_linkset(bridge, name, tag):
    linkset = bridge.CreateLinkSet()
    linkset.Name = name
    linkset.Class = "Pumps"
    linkset.ObjectOID = PUMPS[tag]
    linkset.ObjectName = tag
    return linkset


def create_bridge(workbook, data_sheet):
    """A new Bridge: per pump a LinkSet writing its inputs into the workbook
    and reading its results back, and one filling the data sheet; not saved."""
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Create()
    bridge.Name = "Pump sizing"
    bridge.Description = "Shaft power and stages from the workbook; a data sheet"
    bridge.CaseOID = DESIGN_CASE
    for tag in PUMPS:
        linkset = add_linkset(bridge, f"Sizing {tag}", tag)
        for prefix, _, route, formula in COLUMNS.values():
            if route:
                written, read = ("", location(prefix, tag)) if formula else (location(prefix, tag), "")
                add_link(linkset, route, written, read)
    data_sheet_links = add_linkset(bridge, f"Data sheet {DATA_SHEET_PUMP}", DATA_SHEET_PUMP)
    for _, bookmark, route, write_format in DATA_SHEET:
        add_link(data_sheet_links, route, bookmark, write_format=write_format)
    for path in (workbook, data_sheet):
        bridge.AddApp(str(path))
    return bridge


def host_values(workspace, oid, routes):
    """{route: value} of one pump as the host holds it (case Design, SI
    units), read by the host's own data service: reals as float, integers
    as int, other values as their text, None where no value is stored."""
    attributes = "".join(f'<Attribute Route={quoteattr(route)} Case="{DESIGN_CASE}" UnitSet="SI"/>' for route in routes)
    call = workspace.NewDataServiceCall()
    call.ServiceName = "OVDBBridgeSvcs.Main"
    call.MethodName = "ReadAttributes"
    call.RequestText = f'<Objects><Object OID="{oid}" ClassView="Pumps"><Attributes>{attributes}</Attributes></Object></Objects>'
    call.Execute(0)
    values = {}
    for answer in ElementTree.fromstring(call.ResponseText).iter("Attribute"):
        quantity = answer.find("Values/Value").get("Quantity")
        typed = {"Real": float, "Integer": int}.get(answer.get("DataType"), str)
        values[answer.get("Route")] = typed(quantity) if quantity else None
    return values


if __name__ == "__main__":
    # The sample files that `ovcbridge demo` starts from, kept in samples/.
    make_workbook(SAMPLE.parent / "pump-sizing.xlsx")
    make_data_sheet(SAMPLE.parent / "pump-datasheet.docx")
