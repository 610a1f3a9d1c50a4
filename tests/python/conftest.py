"""Uses the build next to the sources unless PYTHONPATH and OVC_TEST_SERVER name another."""
import os
import pathlib
import sys

import openpyxl
import pytest
from openpyxl.workbook.defined_name import DefinedName

BUILD = pathlib.Path(__file__).resolve().parents[2] / "build"
SAMPLE = BUILD.parent / "samples" / "plant.json"
sys.path.append(str(BUILD / "python"))

import ovcbridge  # noqa: E402


@pytest.fixture(scope="session", autouse=True)
def test_server():
    """Registers the test server library: "OVCTest.Counter" and "OVCTest.ArrayProbe"."""
    default = BUILD / "tests" / "libovctestserver.so"
    ovcbridge.RegisterServer(os.environ.get("OVC_TEST_SERVER", str(default)))


@pytest.fixture
def counter():
    return ovcbridge.CreateObject("OVCTest.Counter")


@pytest.fixture
def probe():
    return ovcbridge.CreateObject("OVCTest.ArrayProbe")


@pytest.fixture
def plant(tmp_path):
    """A host workspace holding the sample plant, used by "ann"."""
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(str(tmp_path / "plant.orvan"))
    workspace.Import(str(SAMPLE))
    workspace.UserName = "ann"
    return workspace


@pytest.fixture
def bridge_and_host(plant, tmp_path):
    """A Bridge over the plant (one LinkSet on P-101A with one Link, one workbook) and
    the library's host object."""
    host = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    host.Initialize(plant, plant.Cache)
    book = openpyxl.Workbook()
    book.defined_names.append(DefinedName("Rate", attr_text="Sheet!$A$1"))
    book.save(tmp_path / "pump.xlsx")
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    pumps = bridge.CreateLinkSet()
    pumps.Class, pumps.ObjectOID, pumps.ObjectName = "Pumps", 1001, "P-101A"
    link = pumps.CreateLink()
    link.AttribName, link.WriteLocation = "Flow", "Rate"
    bridge.AddApp(str(tmp_path / "pump.xlsx"))
    yield bridge, host
    bridge.ItemApp(0).TerminateApp(False)
    bridge.FinalCleanUp()
    host.FinalCleanUp()
