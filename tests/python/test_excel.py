"""The spreadsheet application created by ProgID, running macros the script registered."""
import pytest

import ovcbridge


def test_run_calls_a_registered_macro_with_the_application_and_its_arguments():
    seen = []

    def scale(application, value, factor):
        seen.append(application.Visible)
        return value * factor

    ovcbridge.RegisterMacro("Scale", scale)
    application = ovcbridge.CreateObject("Excel.Application")
    application.Visible = True
    assert application.Run("Scale", 21, 2) == 42
    assert seen == [True]
    with pytest.raises(ovcbridge.ComError) as unknown:
        application.Run("scale", 1, 2)
    assert unknown.value.hresult == ovcbridge.E_NOTIMPL
    assert "macro 'scale' not available" in unknown.value.description
    assert unknown.value.source == "Excel.Application"
    application.Quit()


def test_an_exception_in_a_macro_fails_run_with_its_text():
    def broken(application):
        raise ValueError("no input")

    ovcbridge.RegisterMacro("Broken", broken)
    application = ovcbridge.CreateObject("Excel.Application")
    with pytest.raises(ovcbridge.ComError) as failure:
        application.Run("Broken")
    assert "macro 'Broken' failed" in failure.value.description
    assert "no input" in failure.value.description
