"""Macros that an application file of a Bridge runs, registered by the script."""
import docx
import openpyxl
import pytest

import ovcbridge


@pytest.fixture(params=["xlsx", "docx"])
def app(request, tmp_path):
    path = tmp_path / f"file.{request.param}"
    (openpyxl.Workbook() if request.param == "xlsx" else docx.Document()).save(path)
    app = ovcbridge.CreateObject("OVCBridgeSvcs.App")
    app.Path = str(path)
    yield app
    app.TerminateApp(False)


def broken(application):
    raise ValueError("no input")


def failed_call(application):
    raise ovcbridge.ComError(ovcbridge.E_FAIL, "the pump is gone", "Pumps")


# run(app), the macro "Broken" for the app, the reason its failure gives
@pytest.mark.parametrize("run, macro_for, reason", [
    (lambda app: app.RunMacro("Broken"), lambda app: broken,
     "macro 'Broken' failed: ValueError: no input"),
    (lambda app: app.RunMacro("Broken"), lambda app: failed_call, "the pump is gone"),
    (lambda app: app.PreImport(), lambda app: lambda application: app.PreImport(),
     "PreImport cannot be called from a progress callback, macro or question the Bridge is "
     "waiting for; until it returns, properties can only be read"),
], ids=["raises", "a call fails", "re-enters its bracket"])
def test_a_failing_macro_fails_the_app_with_its_own_reason(app, run, macro_for, reason):
    app.MacroPreImport = "Broken"
    ovcbridge.RegisterMacro("Broken", macro_for(app))
    with pytest.raises(ovcbridge.ComError) as failure:
        run(app)
    assert failure.value.description.startswith("Error running ")
    assert f"macro:  Broken ({reason})" in failure.value.description
