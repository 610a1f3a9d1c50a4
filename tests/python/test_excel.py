"""The spreadsheet application created by ProgID: macros the script registered, properties."""
import openpyxl
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


@pytest.fixture
def application(tmp_path):
    book = openpyxl.Workbook()
    book.active.title = "S"
    book.active.append([5, "pump"])
    book.active.append([1.5, 2])
    book.save(tmp_path / "book.xlsx")
    application = ovcbridge.CreateObject("Excel.Application")
    application.Workbooks.Open(str(tmp_path / "book.xlsx"))
    yield application
    application.Quit()


# A property whose parameters are all optional reads as its value, and is
# called for another reading; one without parameters reads as a plain value.
@pytest.mark.parametrize("read, expected", [
    (lambda cell: cell("A1").Value == 5, True),
    (lambda cell: (cell("A1").Value + 1, 10 - cell("A1").Value), (6, 5)),
    (lambda cell: (int(cell("A1").Value), f'{cell("A1").Value:.1f}'), (5, "5.0")),
    (lambda cell: (str(cell("B1").Value), cell("B1").Value.upper()), ("pump", "PUMP")),
    (lambda cell: cell("A1:B2").Value[1], (1.5, 2)),
    (lambda cell: [row[0] for row in cell("A1:B2").Value], [5, 1.5]),
    (lambda cell: (cell("A1").Value(), type(cell("A1").Value())), (5, float)),
    (lambda cell: (cell("B2").Address, cell("B2").Address(False, False)), ("$B$2", "B2")),
    (lambda cell: (cell("A1").Resize.Address, cell("A1").Resize(2, 2).Address),
     ("$A$1", "$A$1:$B$2")),
    (lambda cell: type(cell("A1:B2").Count), int),
])
def test_properties_with_optional_parameters_read_as_values_and_stay_callable(application, read,
                                                                               expected):
    assert read(lambda reference: application.Range("S!" + reference)) == expected


def test_a_property_value_passes_on_as_its_value(application):
    application.Range("S!C1").Value = application.Range("S!A1").Value
    application.Range("S!C2").Value = [[application.Range("S!B1").Value]]
    assert application.Range("S!C1:C2").Value() == ((5.0,), ("pump",))
    resized = application.Range("S!A1").Resize
    assert ovcbridge.CreateObject("OVCTest.Counter").Echo(resized) == resized  # the same object
    with pytest.raises(ovcbridge.ComError, match="RangeValueDataType"):
        application.Range("S!A1").Value(10)  # the argument reaches the property
