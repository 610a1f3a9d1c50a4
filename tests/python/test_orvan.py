"""The host database driven from a script: workspace, requests, lists and errors."""
import os
import pathlib
import xml.etree.ElementTree as ElementTree

import pytest

import ovcbridge

SAMPLE = pathlib.Path(os.environ.get("OVC_SOURCE_DIR", ".")) / "samples" / "plant.json"


@pytest.fixture
def plant(tmp_path):
    if not SAMPLE.exists():
        pytest.skip(f"no sample plant at {SAMPLE}")
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(str(tmp_path / "plant.orvan"))
    workspace.Import(str(SAMPLE))
    workspace.UserName = "ann"
    return workspace


def request(workspace, method, text="", service="OVDBBridgeSvcs.Main", **parameters):
    call = workspace.NewDataServiceCall()
    call.Option = 0
    call.ServiceName = service
    call.MethodName = method
    call.RequestText = text
    for name, value in parameters.items():
        call.AddParameter(name, value)
    call.Execute(0)
    return ElementTree.fromstring(call.ResponseText)


def test_a_script_lists_objects_and_round_trips_an_attribute(plant):
    assert plant.UnitStandardNames == ("SI", "US", "Metric")
    objects = request(plant, "ListObjects", service="OVDBGenericSvcs.Main", FilterView="Pumps")
    pump = objects.find("Object")
    oid = int(pump.get("OID"))
    assert plant.Cache.ClassView("Pumps").Attribute("Flow").QuantityTypeName == "VolumeFlow"

    attribute = f'<Attribute Route="Flow" Case="{plant.DefaultCase}" Units="m3h"'
    objects = f'<Objects><Object OID="{oid}" ClassView="Pumps"><Attributes>{{}}</Attributes></Object></Objects>'
    write = objects.format(attribute + '><Values><Value Quantity="0.1"/></Values></Attribute>')
    assert request(plant, "WriteAttributes", write).find(".//Attribute").get("Error") == "Write Successful"
    value = request(plant, "ReadAttributes", objects.format(attribute + "/>")).find(".//Value")
    assert (value.get("Error"), value.get("Quantity")) == ("Read Successful", "0.1")

    listed = ovcbridge.CreateObject("Orvan.ObjectList")
    listed.Initialize("Pumps", plant)
    assert listed.Count == len(objects_of(plant, "Pumps"))
    assert (listed.ObjectOID(1), listed.ObjectName(1)) == (oid, pump.get("KnownName"))


def objects_of(workspace, class_view):
    return request(workspace, "ListObjects", service="OVDBGenericSvcs.Main",
                   FilterView=class_view).findall("Object")


def test_cases_come_in_oid_order_with_the_governing_case(plant):
    cases = ovcbridge.CreateObject("Orvan.CaseList")
    cases.Initialize(-1, plant)
    listed = [(cases.CaseOID(k), cases.CaseName(k)) for k in range(1, cases.Count + 1)]
    assert listed == [(101, "Design"), (102, "Rated"), (103, "Normal")]
    governing = ovcbridge.CreateObject("Orvan.GoverningCase")
    governing.Workspace = plant
    assert governing.GoverningCase(-1) == 102


def test_failures_raise_com_errors_naming_the_component(plant):
    with pytest.raises(ovcbridge.ComError) as error:
        request(plant, "NoSuchMethod")
    assert error.value.source == "Orvan.DataServiceCall"
    assert "NoSuchMethod" in error.value.description

    units = plant.Cache.QuantityType("Pressure").Units
    assert units.Count == 5
    with pytest.raises(ovcbridge.ComError) as error:
        units.Item(6)
    assert error.value.hresult == ovcbridge.DISP_E_BADINDEX
    assert error.value.source == "Orvan.Units"

    closed = ovcbridge.CreateObject("Orvan.Workspace")
    assert closed.Path == ""
    with pytest.raises(ovcbridge.ComError) as error:
        closed.DefaultCase
    assert "not open" in error.value.description
