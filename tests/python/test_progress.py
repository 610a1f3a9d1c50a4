"""The progress callable hears each step of a transfer by keywords; False or an
exception stops it, and the exception's text reaches the error."""
import pytest

import ovcbridge


def test_only_a_callable_or_none_is_taken():
    with pytest.raises(TypeError):
        ovcbridge.SetProgress(42)


def test_the_callable_hears_each_phase_with_its_file_and_object(bridge_and_host):
    bridge, _ = bridge_and_host
    steps = []
    ovcbridge.SetProgress(lambda **step: steps.append(step))
    try:
        bridge.AutoRun(False)
    finally:
        ovcbridge.SetProgress(None)
    assert list(dict.fromkeys(step["phase"] for step in steps)) == \
        ["host_read", "write_pass", "read_pass", "host_write"]
    assert {"phase": "write_pass", "file": "pump.xlsx", "object": "P-101A", "done": 0,
            "total": 1} in steps


def stop(**step):
    return False


def fail(**step):
    raise ValueError("enough")


@pytest.mark.parametrize("progress, reason", [
    (stop, "stopped at the request of the progress service"),
    (fail, "The progress service failed: ValueError: enough"),
], ids=["False", "raises"])
def test_false_or_an_exception_stops_the_run(bridge_and_host, progress, reason):
    bridge, _ = bridge_and_host
    ovcbridge.SetProgress(progress)
    try:
        with pytest.raises(ovcbridge.ComError) as failure:
            bridge.AutoRun(False)
    finally:
        ovcbridge.SetProgress(None)
    assert failure.value.hresult == ovcbridge.E_ABORT
    assert reason in failure.value.description
