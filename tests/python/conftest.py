import os

import pytest

import ovcbridge


@pytest.fixture(scope="session", autouse=True)
def test_server():
    """Registers the test server library so that "OVCTest.Counter" can be created."""
    ovcbridge.RegisterServer(os.environ["OVC_TEST_SERVER"])


@pytest.fixture
def counter():
    return ovcbridge.CreateObject("OVCTest.Counter")
