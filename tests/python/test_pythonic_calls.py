"""Calls, collections and values as Python users of automation objects expect them."""
import ast
import datetime
import decimal
import pathlib
import re

import openpyxl
import pytest
from openpyxl.workbook.defined_name import DefinedName

import ovcbridge


@pytest.fixture
def excel(tmp_path):
    """The spreadsheet application with a workbook of two names, Rate and Flow."""
    book = openpyxl.Workbook()
    book.active.title = "Sheet"
    for name, cell in [("Rate", "$A$1"), ("Flow", "$B$1")]:
        book.defined_names.append(DefinedName(name, attr_text=f"Sheet!{cell}"))
    book.save(tmp_path / "names.xlsx")
    application = ovcbridge.CreateObject("Excel.Application")
    yield application, str(tmp_path / "names.xlsx")
    application.Quit()


def opened(excel, **keywords):
    application, path = excel
    return application.Workbooks.Open(path, **keywords)


def address_of_rate(excel, **keywords):
    opened(excel)
    return excel[0].Range("Rate").Address(**keywords)


def typed(value):
    return type(value), value


def vt_of(value):
    """The variant type a Python value passes as."""
    return ovcbridge.Variant(ovcbridge.VT_VARIANT, value).vt


def stored_in_a_cell(excel, value):
    opened(excel)
    cell = excel[0].Range("Sheet!A1")
    cell.Value = value
    return cell.Value()


def counter():
    return ovcbridge.CreateObject("OVCTest.Counter")


def stub_classes():
    """Per class of the type stub beside the module, its members' parameter names."""
    stub = pathlib.Path(ovcbridge.__file__).with_name("ovcbridge.pyi")
    tree = ast.parse(stub.read_text())
    return {node.name: {item.name: [arg.arg for arg in item.args.args] for item in node.body
                        if isinstance(item, ast.FunctionDef)}
            for node in tree.body if isinstance(node, ast.ClassDef)}


def stub_progids():
    """The ProgIDs of CreateObject's overloads in the stub and their interfaces' names."""
    stub = pathlib.Path(ovcbridge.__file__).with_name("ovcbridge.pyi").read_text()
    return re.findall(r'Literal\["([^"]+)"\]\) -> [A-Za-z0-9]+_(\w+):', stub)


@pytest.mark.parametrize("call, expected", [
    # keyword arguments by parameter name, also through a PropertyValue
    (lambda x: x[0].Workbooks.Open(Filename=x[1], ReadOnly=True).ReadOnly, True),
    (lambda x: address_of_rate(x, RowAbsolute=False), "$A1"),
    (lambda x: x[0].Workbooks.Open(Filename=x[1], Filename2=1), TypeError),
    (lambda x: x[0].Workbooks.Open(x[1], Filename=x[1]), TypeError),
    # collections: the default member, positions and names, Count, Item
    (lambda x: (opened(x).Names(2).Name, opened(x).Names("Rate").Name), ("Flow", "Rate")),
    (lambda x: (opened(x).Names[0].Name, opened(x).Names[-1].Name), ("Rate", "Flow")),
    (lambda x: opened(x).Names["Flow"].Name, "Flow"),
    (lambda x: opened(x).Names[2], IndexError),
    (lambda x: [name.Name for name in opened(x).Names], ["Rate", "Flow"]),
    (lambda x: (len(opened(x).Names), x[0].Workbooks[0].Name), (2, "names.xlsx")),
    (lambda x: dir(opened(x).Names), ["Add", "Count", "Item"]),
    # integers, dates and decimals, with the type they come back as
    (lambda x: typed(x[0].Run("Echo", 7)), (int, 7)),
    (lambda x: vt_of(2 ** 31 - 1), ovcbridge.VT_I4),
    (lambda x: vt_of(-2 ** 31 - 1), ovcbridge.VT_I8),
    (lambda x: typed(x[0].Run("Echo", -2 ** 63)), (int, -2 ** 63)),
    (lambda x: typed(x[0].Run("Echo", 2 ** 63 - 1)), (int, 2 ** 63 - 1)),
    (lambda x: typed(x[0].Run("Echo", 2 ** 53 + 1)), (int, 2 ** 53 + 1)),
    (lambda x: x[0].Run("Echo", 2 ** 63), ValueError),
    (lambda x: x[0].Run("Echo", -2 ** 63 - 1), ValueError),
    (lambda x: typed(counter().Halve(2 ** 53)), (float, 2.0 ** 52)),
    (lambda x: counter().Halve(value=2 ** 53 + 1), ValueError),
    (lambda x: x[0].Run("Echo", datetime.date(2024, 2, 29)), datetime.datetime(2024, 2, 29)),
    (lambda x: typed(x[0].Run("Echo", decimal.Decimal("-12.2500"))),
     (decimal.Decimal, decimal.Decimal("-12.25"))),
    (lambda x: vt_of(decimal.Decimal("922337203685477.5807")), ovcbridge.VT_CY),
    (lambda x: typed(x[0].Run("Echo", decimal.Decimal("922337203685477.5808"))),
     (float, 922337203685477.5808)),
    (lambda x: typed(x[0].Run("Echo", decimal.Decimal("0.00001"))), (float, 1e-05)),
    (lambda x: x[0].Run("Echo", decimal.Decimal("NaN")), ValueError),
    (lambda x: [stored_in_a_cell(x, v) for v in (-2 ** 63, decimal.Decimal("0.0001"))],
     [-2.0 ** 63, 0.0001]),
    # the type stub beside the module lists what dir() lists
    (lambda x: set(stub_classes()["Excel_IApplication"]) == set(dir(x[0])), True),
    (lambda x: stub_classes()["Excel_IWorkbooks"]["Open"][1:3], ["Filename", "UpdateLinks"]),
    (lambda x: [progid for progid, interface in stub_progids()
                if repr(ovcbridge.CreateObject(progid)).split()[-1].rstrip(">") != interface]
     + ([] if stub_progids() else ["the stub lists no ProgID"]), []),
])
def test_python_calls_collections_and_values(excel, call, expected):
    ovcbridge.RegisterMacro("Echo", lambda application, value: value)
    if isinstance(expected, type) and issubclass(expected, Exception):
        with pytest.raises(expected):
            call(excel)
    else:
        assert call(excel) == expected
