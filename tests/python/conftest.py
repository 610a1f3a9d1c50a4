"""Uses the build next to the sources unless PYTHONPATH and OVC_TEST_SERVER name another."""
import atexit
import itertools
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

import openpyxl
import pytest
from openpyxl.workbook.defined_name import DefinedName

BUILD = pathlib.Path(__file__).resolve().parents[2] / "build"
SAMPLE = BUILD.parent / "samples" / "plant.json"
sys.path.append(str(BUILD / "python"))

import ovcbridge  # noqa: E402

# ctest runs several test files at once, each in a pytest process of its own.
# The library keeps the files it checks out in one working folder under the
# temporary folder, so each process, and the programs it starts, get a
# temporary folder of their own.
os.environ["TMPDIR"] = tempfile.mkdtemp(prefix="ovc-pytest-")
atexit.register(shutil.rmtree, os.environ["TMPDIR"], ignore_errors=True)


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


POSTGRES_URI = os.environ.get("OVC_TEST_POSTGRES_URI", "")
DATABASE_NUMBERS = itertools.count(1)


def pytest_configure(config):
    config.addinivalue_line("markers", "both_stores: runs on a workspace file and again on PostgreSQL")


def pytest_generate_tests(metafunc):
    if metafunc.definition.get_closest_marker("both_stores"):
        metafunc.parametrize("store", ["file", "postgres"], indirect=True)


def with_database(uri, database):
    """The URI naming the database `database` instead of its own."""
    query = uri.find("?") if "?" in uri else len(uri)
    authority = uri.find("://") + 3
    path = uri.find("/", authority, query)
    return uri[:query if path < 0 else path] + "/" + database + uri[query:]


def psql(sql):
    """Runs sql on the test server, without the sanitizer runtime a sanitizer run preloads."""
    environment = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}
    subprocess.run(["psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-d", POSTGRES_URI,
                    "-c", "SET client_min_messages = warning", "-c", sql], check=True, env=environment)


@pytest.fixture
def store(request, tmp_path):
    """Where the plant's workspace lives: a file in tmp_path, or, for the tests marked
    both_stores in their run on PostgreSQL, a database of their own on the test server."""
    if getattr(request, "param", "file") == "file":
        yield str(tmp_path / "plant.orvan")
        return
    if not POSTGRES_URI:
        pytest.skip("OVC_TEST_POSTGRES_URI is not set")
    name = f"ovc_py_{os.getpid()}_{next(DATABASE_NUMBERS)}"
    psql(f"DROP DATABASE IF EXISTS {name} WITH (FORCE)")
    psql(f"CREATE DATABASE {name}")
    yield with_database(POSTGRES_URI, name)
    psql(f"DROP DATABASE {name} WITH (FORCE)")


@pytest.fixture
def plant(store):
    """A host workspace holding the sample plant, used by "ann"."""
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Create(store)
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
