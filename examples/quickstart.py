#!/usr/bin/env python3
"""A short tour: open the sample plant in the host database, hand it to the
library's host object and read pump data in two unit standards.

    PYTHONPATH=build/python /usr/bin/python3 examples/quickstart.py [database]

Without an argument the database is made in a temporary folder.
"""
import pathlib
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

import ovcbridge

SAMPLE = pathlib.Path(__file__).resolve().parent.parent / "samples" / "plant.json"
ROUTES = ("Tag", "Service", "Flow", "DischargePressure")


def request(workspace, method, text="", service="OVDBBridgeSvcs.Main", **parameters):
    """One data-service call, in the order the library makes them."""
    call = workspace.NewDataServiceCall()
    call.Option = 0
    call.ServiceName = service
    call.MethodName = method
    call.RequestText = text
    for name, value in parameters.items():
        call.AddParameter(name, value)
    call.Execute(0)
    return ElementTree.fromstring(call.ResponseText)


def read_pumps(workspace, oids, unit_standard):
    """Reads ROUTES of every pump in one ReadAttributes request."""
    document = ovcbridge.CreateObject("Msxml2.DOMDocument.6.0")
    document.loadXML('<?xml version="1.0"?><Objects/>')
    for oid in oids:
        element = document.createElement("Object")
        element.setAttribute("OID", oid)
        element.setAttribute("ClassView", "Pumps")
        attributes = document.createElement("Attributes")
        for route in ROUTES:
            attribute = document.createElement("Attribute")
            attribute.setAttribute("Route", route)
            attribute.setAttribute("Case", ovcbridge.ovWorkspaceDefault)
            attribute.setAttribute("UnitSet", unit_standard)
            attributes.appendChild(attribute)
        element.appendChild(attributes)
        document.documentElement.appendChild(element)
    response = request(workspace, "ReadAttributes", document.xml)
    for answer in response.iter("Object"):
        values = [readable(value.get("Quantity")) for value in answer.iter("Value")]
        yield answer.get("OID"), values


def readable(quantity):
    """A quantity for the table: numbers to six significant digits."""
    if not quantity:
        return "-"
    try:
        return f"{float(quantity):.6g}"
    except ValueError:
        return quantity


def main(database):
    print(f"Creating the database {database} from {SAMPLE.name}")
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(str(database))
    workspace.Import(str(SAMPLE))

    host = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    host.Initialize(workspace, workspace.Cache)
    print("Unit standards:", ", ".join(workspace.UnitStandardNames))
    print("Stored bridges:", len(host.BridgeList) // 8)

    pumps = request(workspace, "ListObjects", service="OVDBGenericSvcs.Main", FilterView="Pumps")
    oids = [int(pump.get("OID")) for pump in pumps.iter("Object")][:5]
    for standard in ("SI", "US"):
        print(f"\nPumps in the {standard} unit standard:")
        print("  OID    " + "".join(f"{route:>20}" for route in ROUTES))
        for oid, values in read_pumps(workspace, oids, standard):
            print(f"  {oid:<7}" + "".join(f"{value:>20}" for value in values))

    host.FinalCleanUp()
    workspace.Close()
    return 0


if __name__ == "__main__":
    if len(sys.argv) > 1:
        sys.exit(main(pathlib.Path(sys.argv[1])))
    with tempfile.TemporaryDirectory() as folder:
        sys.exit(main(pathlib.Path(folder) / "plant.orvan"))
