"""Calling automation objects by name."""
import datetime

import pytest

import ovcbridge


def test_properties_read_and_assign(counter):
    counter.Value = 5
    counter.Label = "pump"
    assert counter.Value == 5
    assert counter.label == "pump"


def test_methods_take_positional_arguments_and_fill_optional_ones(counter):
    assert counter.Add(2) == 20
    assert counter.Add(1, 2) == 22


def test_out_parameters_come_back_after_the_return_value(counter):
    counter.Value = 7
    assert counter.Describe("n=") == (3.5, "n=7", False)


def test_enumerations_and_dates_pass_as_values(counter):
    dark, light = -1, 1  # the test library's Shade enumeration
    assert counter.Paint(dark) == light
    assert counter.Paint(light) == dark
    assert counter.Stamp(datetime.datetime(2000, 1, 1, 12)) == datetime.datetime(2000, 1, 2, 12)


def test_len_and_iteration_use_count_and_new_enum(counter):
    counter.Value = 4
    assert len(counter) == 4
    assert list(counter) == [1, 2, 3, 4]


def test_failures_raise_com_error_with_the_error_object(counter):
    with pytest.raises(ovcbridge.ComError) as error:
        counter.Fail("the pump is dry")
    assert error.value.hresult == ovcbridge.E_FAIL
    assert error.value.description == "the pump is dry"
    assert error.value.source == "Counter"


def test_bad_calls_are_reported_not_crashed(counter):
    with pytest.raises(AttributeError):
        counter.NoSuchMember
    with pytest.raises(ovcbridge.ComError) as error:
        counter.Add()
    assert error.value.hresult == ovcbridge.DISP_E_PARAMNOTOPTIONAL
    with pytest.raises(ovcbridge.ComError) as error:
        counter.Add("lots")
    assert error.value.hresult == ovcbridge.DISP_E_TYPEMISMATCH
    with pytest.raises(ovcbridge.ComError) as error:
        counter.Adopt(None)
    assert error.value.hresult == ovcbridge.E_POINTER
    with pytest.raises(TypeError):
        counter.Add(1, 2, 3, 4)


def test_unknown_prog_ids_are_refused():
    with pytest.raises(ovcbridge.ComError) as error:
        ovcbridge.CreateObject("No.Such.Class")
    assert error.value.hresult == ovcbridge.CO_E_CLASSSTRING


def test_documents_are_built_and_walked_by_name():
    doc = ovcbridge.CreateObject("Msxml2.DOMDocument.6.0")
    assert doc.loadXML('<?xml version="1.0"?><Objects/>')
    root = doc.documentElement
    child = doc.createElement("Object")
    child.setAttribute("OID", 7)
    child.setAttribute("Ratio", 0.1)
    child.setAttribute("Active", True)
    root.appendChild(child)
    assert doc.xml.strip() == \
        '<?xml version="1.0"?><Objects><Object OID="7" Ratio="0.1" Active="1"/></Objects>'
    found = doc.getElementsByTagName("Object")
    assert found.length == 1
    assert [node.getAttribute("OID") for node in found] == ["7"]
    assert not doc.loadXML("<broken")
    assert doc.parseError.errorCode != 0
