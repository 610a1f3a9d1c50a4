"""User code the library waits for (a macro of a file, a question, the progress
callable) may read the Bridge's properties; what would change the Bridge or run
a transfer fails with a clear error and changes nothing."""
import pytest

import ovcbridge

REFUSED = " cannot be called from a progress callback, macro or question the Bridge is waiting for"


def meddle(bridge, host, seen):
    """Reads the Bridge and tries to change it and the host; records what it read and each
    refusal. Only the first call meddles."""
    if seen:
        return
    link = bridge.Item(0).Item(0)
    seen.append((len(bridge), link.AttribName, bridge.ItemApp(0).Name))
    attempts = {
        "Remove": lambda: bridge.Remove(0),
        "AutoRun": lambda: bridge.AutoRun(False),
        "AttribName": lambda: setattr(link, "AttribName", "Head"),
        "Save": lambda: bridge.ItemApp(0).Save(),
        "FinalCleanUp": lambda: host.FinalCleanUp(),
    }
    for member, attempt in attempts.items():
        with pytest.raises(ovcbridge.ComError) as refusal:
            attempt()
        seen.append((refusal.value.hresult, refusal.value.description.startswith(member + REFUSED)))


def by_macro(bridge, callback):
    app = bridge.ItemApp(0)
    app.MacroPreExport = "Meddle"
    ovcbridge.RegisterMacro("Meddle", lambda application: callback())
    app.PreExport()
    app.PostExport()


def by_question(bridge, callback):
    ovcbridge.SetUserInterface(message_box=lambda text, caption, style: callback() or 1)
    try:
        with pytest.raises(ovcbridge.ComError):
            ovcbridge.CreateObject("OVCBridgeSvcs.ExcelApp").ReadOnly
    finally:
        ovcbridge.SetUserInterface()


def by_progress(bridge, callback):
    ovcbridge.SetProgress(lambda **step: callback())
    try:
        bridge.AutoRun(False)
    finally:
        ovcbridge.SetProgress(None)


@pytest.mark.parametrize("run", [by_macro, by_question, by_progress],
                         ids=["macro", "question", "progress"])
def test_user_code_reads_the_bridge_and_cannot_change_it(bridge_and_host, run):
    bridge, host = bridge_and_host
    seen = []
    run(bridge, lambda: meddle(bridge, host, seen))
    assert seen == [(1, "Flow", "pump")] + [(ovcbridge.E_ACCESSDENIED, True)] * 5
    assert (len(bridge), bridge.Item(0).Item(0).AttribName) == (1, "Flow")
    bridge.Item(0).Item(0).AttribName = "Head"
