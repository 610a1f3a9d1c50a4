"""The word processor created by ProgID: independent applications, macros the script registered."""
import pytest

import ovcbridge


def test_each_creation_is_an_independent_application_running_registered_macros():
    ovcbridge.RegisterMacro("Greet", lambda application, name: "hello " + name)
    first = ovcbridge.CreateObject("Word.Application")
    second = ovcbridge.CreateObject("Word.Application")
    first.Visible = True
    assert second.Visible is False
    assert first.Run("Greet", "word") == "hello word"
    first.Quit()
    with pytest.raises(ovcbridge.ComError) as gone:
        first.Visible
    assert gone.value.hresult == ovcbridge.RPC_E_DISCONNECTED
    assert second.Documents.Count == 0
    second.Quit()
