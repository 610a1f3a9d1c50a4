"""Every Python value crosses into an automation object and back unchanged."""
import datetime

import pytest

import ovcbridge
from ovcbridge import ChangeType, Variant


@pytest.mark.parametrize("value", [
    None, ovcbridge.Null, True, False, 0, -7, 2**31 - 1, -2**31, 0.1, -2.5e-7, 1e300,
    "", "text", "ünïcödé 𝄞", datetime.datetime(2020, 12, 25, 13, 45, 30),
    datetime.datetime(1899, 12, 29, 6, 0), ovcbridge.Error(0x80020004),
])
def test_scalars_round_trip(counter, value):
    echoed = counter.Echo(value)
    assert echoed == value
    assert type(echoed) is type(value)


def test_sequences_become_arrays_and_come_back_as_tuples(counter):
    assert counter.Echo([1, "two", [3.0, None]]) == (1, "two", (3.0, None))
    assert counter.Echo(()) == ()


def test_objects_come_back_as_the_same_object(counter):
    other = ovcbridge.CreateObject("OVCTest.Counter")
    assert counter.Echo(other) == other
    assert counter.Echo(other) != counter
    assert counter.Adopt(other) == other


def test_exact_types_pass_through_variant(counter):
    short = Variant(ovcbridge.VT_I2, 12)
    assert short.vt == ovcbridge.VT_I2
    assert counter.Echo(short) == 12
    texts = Variant(ovcbridge.VT_ARRAY | ovcbridge.VT_BSTR, [1, 2.5])
    assert texts.vt == ovcbridge.VT_ARRAY | ovcbridge.VT_BSTR
    assert counter.Echo(texts) == ("1", "2.5")
    assert Variant(ovcbridge.VT_ARRAY | ovcbridge.VT_I4, ["3", 4.0]).value == (3, 4)


@pytest.mark.parametrize("value, vt, flags, expected", [
    ("12/25/2020", ovcbridge.VT_DATE, 0, datetime.datetime(2020, 12, 25)),
    ("12/25/29", ovcbridge.VT_DATE, 0, datetime.datetime(2029, 12, 25)),
    ("12/25/30", ovcbridge.VT_DATE, 0, datetime.datetime(1930, 12, 25)),
    ("2020-12-25", ovcbridge.VT_DATE, 0, datetime.datetime(2020, 12, 25)),
    (True, ovcbridge.VT_BSTR, 0, "-1"),
    (True, ovcbridge.VT_BSTR, ovcbridge.VARIANT_ALPHABOOL, "True"),
    (0.1, ovcbridge.VT_BSTR, 0, "0.1"),
    ("1,234.5", ovcbridge.VT_R8, 0, 1234.5),
    (2.5, ovcbridge.VT_I4, 0, 2),
    (3.5, ovcbridge.VT_I4, 0, 4),
])
def test_change_type_applies_the_automation_rules(value, vt, flags, expected):
    assert ChangeType(value, vt, flags) == expected


@pytest.mark.parametrize("value, vt, hresult", [
    ("abc", ovcbridge.VT_R8, ovcbridge.DISP_E_TYPEMISMATCH),
    (1e10, ovcbridge.VT_I4, ovcbridge.DISP_E_OVERFLOW),
    (ovcbridge.Null, ovcbridge.VT_I4, ovcbridge.DISP_E_TYPEMISMATCH),
])
def test_failed_conversions_raise_com_errors(value, vt, hresult):
    with pytest.raises(ovcbridge.ComError) as error:
        ChangeType(value, vt)
    assert error.value.hresult == hresult


def test_values_without_an_automation_form_are_refused():
    with pytest.raises(ValueError):
        ChangeType(2**40, ovcbridge.VT_I4)
    with pytest.raises(TypeError):
        ChangeType(object(), ovcbridge.VT_I4)


def test_type_library_enumerators_are_constants():
    assert ovcbridge.ovBridge == 0
    assert ovcbridge.ovSynchNamesReplace == 9
    assert ovcbridge.ovLinkSetDefault == -12
    assert ovcbridge.ovError == 2
    assert ovcbridge.E_FAIL == 0x80004005
