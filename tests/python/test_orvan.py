"""The host database driven from a script: workspace, requests, lists and errors."""
import pathlib
import xml.etree.ElementTree as ElementTree

import pytest

import ovcbridge

SAMPLE = pathlib.Path(__file__).resolve().parents[2] / "samples" / "plant.json"


@pytest.fixture
def plant(tmp_path):
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(str(tmp_path / "plant.orvan"))
    workspace.Import(str(SAMPLE))
    workspace.UserName = "ann"
    return workspace


def request(workspace, method, text="", service="OVDBBridgeSvcs.Main", **parameters):
    call = workspace.NewDataServiceCall()
    call.Option, call.ServiceName, call.MethodName, call.RequestText = 0, service, method, text
    for name, value in parameters.items():
        call.AddParameter(name, value)
    call.Execute(0)
    return ElementTree.fromstring(call.ResponseText)


def test_a_script_lists_objects_and_round_trips_an_attribute(plant):
    assert plant.UnitStandardNames == ("SI", "US", "Metric")
    pumps = request(plant, "ListObjects", service="OVDBGenericSvcs.Main", FilterView="Pumps")
    oid = int(pumps.find("Object").get("OID"))

    attribute = f'<Attribute Route="Flow" Case="{plant.DefaultCase}" Units="m3h"'
    objects = f'<Objects><Object OID="{oid}" ClassView="Pumps"><Attributes>{{}}</Attributes></Object></Objects>'
    write = objects.format(attribute + '><Values><Value Quantity="0.1"/></Values></Attribute>')
    assert request(plant, "WriteAttributes", write).find(".//Attribute").get("Error") == "Write Successful"
    value = request(plant, "ReadAttributes", objects.format(attribute + "/>")).find(".//Value")
    assert (value.get("Error"), value.get("Quantity")) == ("Read Successful", "0.1")

    listed = ovcbridge.CreateObject("Orvan.ObjectList")
    listed.Initialize("Pumps", plant)
    assert listed.Count == len(pumps.findall("Object"))
    assert (listed.ObjectOID(1), listed.ObjectName(1)) == (oid, pumps.find("Object").get("KnownName"))


def test_failures_raise_com_errors_naming_the_component(plant):
    with pytest.raises(ovcbridge.ComError) as error:
        request(plant, "NoSuchMethod")
    assert error.value.source == "Orvan.DataServiceCall" and "NoSuchMethod" in error.value.description
    with pytest.raises(ovcbridge.ComError) as error:
        plant.Cache.QuantityType("Pressure").Units.Item(6)
    assert (error.value.hresult, error.value.source) == (ovcbridge.DISP_E_BADINDEX, "Orvan.Units")
