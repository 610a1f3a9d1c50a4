"""Uses the build next to the sources unless PYTHONPATH and OVC_TEST_SERVER name another."""
import os
import pathlib
import sys

import pytest

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
