"""The host database and the library's host object driven from a script."""
import xml.etree.ElementTree as ElementTree

import pytest

import ovcbridge


def request(workspace, method, text="", service="OVDBBridgeSvcs.Main", **parameters):
    call = workspace.NewDataServiceCall()
    call.Option, call.ServiceName, call.MethodName, call.RequestText = 0, service, method, text
    for name, value in parameters.items():
        call.AddParameter(name, value)
    call.Execute(0)
    return ElementTree.fromstring(call.ResponseText)


@pytest.mark.both_stores
def test_a_script_lists_the_objects_of_a_class_view(plant):
    assert plant.UnitStandardNames == ("SI", "US", "Metric")
    pumps = request(plant, "ListObjects", service="OVDBGenericSvcs.Main", FilterView="Pumps")
    names = [pump.get("KnownName") for pump in pumps.iter("Object")]
    assert len(names) == 12 and names[:2] == ["P-101A", "P-101B"]


@pytest.mark.both_stores
def test_the_library_host_lists_the_bridges_and_refuses_work_without_a_workspace(plant):
    orvan = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    orvan.Initialize(plant, plant.Cache)
    assert orvan.Workspace.Path == plant.Path and orvan.FieldFormatter
    assert orvan.BridgeList == ()
    request(plant, "SaveBridge", '<Bridge Name="B1"/>')
    assert orvan.BridgeList[:3] == ("1", "B1", "ann")
    orvan.FinalCleanUp()
    assert orvan.Workspace is None and orvan.FieldFormatter is None
    with pytest.raises(ovcbridge.ComError) as error:
        orvan.BridgeList
    assert (error.value.hresult, error.value.description, error.value.source) == (
        ovcbridge.E_FAIL, "Invalid workspace.\nFailed to get list for Bridges.",
        "OVCBridgeSvcs.Orvan.380")
