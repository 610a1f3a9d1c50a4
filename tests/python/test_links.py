"""A LinkSet of Links bound to the sample plant, built and published from a script."""
import pytest

import ovcbridge


@pytest.fixture
def pumps(plant):
    orvan = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    orvan.Initialize(plant, plant.Cache)
    linkset = ovcbridge.CreateObject("OVCBridgeSvcs.LinkSet")
    linkset.Class, linkset.ObjectOID, linkset.ObjectName = "Pumps", 1001, "P-101A"
    yield linkset
    linkset.FinalCleanUp()
    orvan.FinalCleanUp()


def test_a_script_binds_links_to_the_plant_and_publishes_their_values(pumps):
    published = []
    for route, value, template in [
        ("Flow", 380.26, "/!Number(%.1f)!/"),
        ("Tag", "P-101A", "/!AttName!/ of /!Object!/"),
        ("Stages", 3, ""),
    ]:
        link = pumps.CreateLink()
        link.AttribName, link.WriteLocation, link.WriteFormat = route, route + "_Out", template
        link.OrvanValue = value
        published.append(link.PublishedValue(False, True))
    assert published == ["380.3", "Tag of P-101A", 3]
    assert [link.AttribName for link in pumps] == ["Flow", "Tag", "Stages"]
    assert pumps.Item(0).QuantityTypeDisp.Name == "VolumeFlow"
    assert pumps.Item(1).PublishedValue(True, False) == "P-101A"
    assert (pumps.Item(2).Export, pumps.Item(2).Import) == (True, False)
    assert pumps.Validate(True) == "" and pumps.Dirty


def test_a_script_sees_the_library_errors_of_the_collection(pumps):
    with pytest.raises(ovcbridge.ComError) as error:
        pumps.Item(3)
    assert (error.value.hresult, error.value.description, error.value.source) == (
        ovcbridge.E_FAIL, "LintSet:  Link index is out of range (3 of [0..-1])",
        "OVCBridgeSvcs.LinkSet.380")
