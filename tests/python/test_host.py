"""The host object "OVCBridgeSvcs.Orvan" driven by name, as a host script drives it."""
import pytest

import ovcbridge


@pytest.fixture
def orvan():
    host = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    yield host
    host.FinalCleanUp()


@pytest.fixture
def workspace(tmp_path):
    """A workspace of the real host on a new database; skipped without the host components."""
    register = getattr(ovcbridge, "RegisterOrvanClasses", None)
    if register is not None:
        register()
    try:
        created = ovcbridge.CreateObject("Orvan.Workspace")
    except ovcbridge.ComError as error:
        pytest.skip(f"Orvan.Workspace cannot be created: {error}")
    created.Create(str(tmp_path / "plant.orvan"))
    yield created
    created.Close()


def create_bridge(workspace):
    call = workspace.NewDataServiceCall()
    call.Option = 0
    call.ServiceName = "OVDBBridgeSvcs.Main"
    call.MethodName = "CreateBridge"
    call.RequestText = ""
    call.Execute(0)
    return call.ResponseText


def test_without_a_workspace_the_bridge_list_is_refused(orvan):
    orvan.Initialize(None, None)
    assert orvan.Workspace is None
    assert orvan.OVCCache is None
    with pytest.raises(ovcbridge.ComError) as error:
        orvan.BridgeList
    assert error.value.hresult == ovcbridge.E_FAIL
    assert error.value.description == "Invalid workspace.\nFailed to get list for Bridges."
    assert error.value.source == "OVCBridgeSvcs.Orvan.380"


def test_an_object_that_is_no_workspace_is_refused(orvan):
    other = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    with pytest.raises(ovcbridge.ComError) as error:
        orvan.Initialize(other, None)
    assert error.value.hresult == ovcbridge.E_FAIL
    assert error.value.description == (
        "Bridge Error:  Workspace property put takes only OVWorkspace object")
    assert orvan.Workspace is None


def test_real_host_lists_its_bridges_six_texts_each(orvan, workspace):
    orvan.Initialize(workspace, workspace.Cache)
    assert orvan.Workspace.Path == workspace.Path
    assert orvan.FieldFormatter is not None
    assert orvan.BridgeList == ()

    create_bridge(workspace)
    create_bridge(workspace)
    texts = orvan.BridgeList
    assert len(texts) == 12
    oids = [texts[0], texts[6]]
    assert all(oid.isdigit() for oid in oids) and oids[0] != oids[1]

    orvan.FinalCleanUp()
    assert orvan.Workspace is None
    assert orvan.FieldFormatter is None
