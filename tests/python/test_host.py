"""The host object "OVCBridgeSvcs.Orvan" driven by name, as a host script drives it."""
import pytest

import ovcbridge


@pytest.fixture
def orvan():
    host = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    yield host
    host.FinalCleanUp()


def test_without_a_workspace_the_host_refuses_work(orvan):
    orvan.Initialize(None, None)
    assert orvan.Workspace is None and orvan.OVCCache is None
    with pytest.raises(ovcbridge.ComError) as error:
        orvan.BridgeList
    assert (error.value.hresult, error.value.description, error.value.source) == (
        ovcbridge.E_FAIL, "Invalid workspace.\nFailed to get list for Bridges.",
        "OVCBridgeSvcs.Orvan.380")


def test_the_host_lists_the_bridges_of_its_workspace_six_texts_each(orvan, tmp_path):
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(str(tmp_path / "plant.orvan"))
    orvan.Initialize(workspace, workspace.Cache)
    assert orvan.Workspace.Path == workspace.Path and orvan.FieldFormatter
    assert orvan.BridgeList == ()
    for _ in range(2):
        call = workspace.NewDataServiceCall()
        call.Option, call.ServiceName, call.MethodName = 0, "OVDBBridgeSvcs.Main", "CreateBridge"
        call.RequestText = ""
        call.Execute(0)
    texts = orvan.BridgeList
    assert len(texts) == 12
    assert texts[0].isdigit() and texts[6].isdigit() and texts[0] != texts[6]
    orvan.FinalCleanUp()
    assert orvan.Workspace is None and orvan.FieldFormatter is None
    workspace.Close()
