"""An AutoRun over an engineering datasheet: inputs written through their
names, Calculate, outputs read through theirs, once per object; the saved
file then holds the last object's results for readers that do not calculate."""
import decimal

import openpyxl
import pytest
from openpyxl.workbook.defined_name import DefinedName

import ovcbridge

MANUAL = -4135
MATERIALS = {"Steel": (7850, 1.2), "Aluminium": (2700, 3.5), "Copper": (8960, 9.0)}
INPUTS = ["Length", "Width", "Thickness", "Material", "Quantity"]
# name: (cell, formula); each output reads inputs or other outputs
OUTPUTS = {
    "Area": ("B8", "=Length*Width"),
    "Volume": ("B9", "=Area*Thickness/1000"),
    "Density": ("B10", "=VLOOKUP(Material,Materials!$A$2:$C$4,2,FALSE)"),
    "Mass": ("B11", "=Volume*Density"),
    "Cost": ("B12", "=ROUND(Mass*INDEX(Materials!$C$2:$C$4,MATCH(Material,Materials!$A$2:$A$4,0))*Quantity,2)"),
    "Label": ("B13", '=Material&" "&TEXT(Thickness,"0.0")&" mm, "&TEXT(Mass,"#,##0.00")&" kg"'),
    "Class": ("B14", '=IF(Mass>100,"heavy",IF(Mass>10,"medium","light"))'),
}
OBJECTS = [
    {"Length": 2, "Width": 1, "Thickness": 5, "Material": "Steel", "Quantity": 3},
    {"Length": 0.5, "Width": 0.25, "Thickness": 2, "Material": "Aluminium", "Quantity": 10},
    {"Length": 1.2, "Width": 0.8, "Thickness": 12.5, "Material": "Copper", "Quantity": 1},
]


def expected(inputs):
    density, price = MATERIALS[inputs["Material"]]
    area = inputs["Length"] * inputs["Width"]
    mass = area * inputs["Thickness"] / 1000 * density
    cost = decimal.Decimal(repr(mass * price * inputs["Quantity"]))
    return {
        "Area": area, "Volume": area * inputs["Thickness"] / 1000, "Density": density, "Mass": mass,
        "Cost": float(cost.quantize(decimal.Decimal("0.01"), decimal.ROUND_HALF_UP)),
        "Label": f'{inputs["Material"]} {inputs["Thickness"]:.1f} mm, {mass:,.2f} kg',
        "Class": "heavy" if mass > 100 else "medium" if mass > 10 else "light",
    }


@pytest.fixture
def datasheet(tmp_path):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Datasheet"
    for row, name in enumerate(INPUTS, 2):
        sheet.cell(row, 1, name)
        sheet.cell(row, 2, 0)
        book.defined_names.append(DefinedName(name, attr_text=f"Datasheet!$B${row}"))
    for name, (cell, formula) in OUTPUTS.items():
        sheet[cell] = formula
        book.defined_names.append(DefinedName(name, attr_text=f"Datasheet!${cell[0]}${cell[1:]}"))
    materials = book.create_sheet("Materials")
    materials.append(["Material", "Density", "Price"])
    for name, (density, price) in MATERIALS.items():
        materials.append([name, density, price])
    path = tmp_path / "datasheet.xlsx"
    book.save(path)
    return path


def test_each_object_reads_the_results_of_its_own_inputs_and_the_file_keeps_the_last(datasheet):
    application = ovcbridge.CreateObject("Excel.Application")
    workbook = application.Workbooks.Open(str(datasheet))
    application.Calculation = MANUAL
    for inputs in OBJECTS:
        for name, value in inputs.items():
            application.Range(name).Value = value
        application.Calculate()
        outputs = {name: application.Range(name).Value() for name in OUTPUTS}
        assert outputs == pytest.approx(expected(inputs), rel=1e-12), inputs
    workbook.Save()
    application.Quit()
    cached = openpyxl.load_workbook(datasheet, data_only=True)["Datasheet"]
    assert {name: cached[cell].value for name, (cell, _) in OUTPUTS.items()} == \
        pytest.approx(expected(OBJECTS[-1]), rel=1e-12)
