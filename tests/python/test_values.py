"""Python values cross into automation objects and back."""
import datetime

import pytest

import ovcbridge
from ovcbridge import VT_ARRAY, VT_BSTR, VT_I4, ChangeType, Variant


def nested(depth, kind=list):
    value = kind()
    for _ in range(depth - 1):
        value = kind([value])
    return value


@pytest.mark.parametrize("value", [
    None, ovcbridge.Null, True, False, 0, -7, 2**31 - 1, -2**31, 0.1, -2.5e-7, 1e300,
    "", "ünïcödé 𝄞", datetime.datetime(2020, 12, 25, 13, 45, 30),
    datetime.datetime(1899, 12, 29, 6, 0), ovcbridge.Error(0x80020004),
])
def test_scalars_round_trip(counter, value):
    echoed = counter.Echo(value)
    assert echoed == value
    assert type(echoed) is type(value)


@pytest.mark.parametrize("value, expected", [
    ([1, "two", [3.0, None]], (1, "two", (3.0, None))),
    ((), ()),
    ([[1, 2, 3], (4, 5, 6)], ((1, 2, 3), (4, 5, 6))),
    ([[0, 1]] * 3, ((0, 1),) * 3),  # one row object three times is no cycle
    ([[1, 2], [3]], ((1, 2), (3,))),
    ([[], []], ((), ())),
    (nested(64), nested(64, tuple)),
], ids=["mixed", "empty", "rows", "shared rows", "ragged", "empty rows", "64 deep"])
def test_sequences_come_back_as_tuples_of_the_same_shape(counter, value, expected):
    assert counter.Echo(value) == expected


def test_rectangular_lists_of_lists_are_one_array_indexed_row_first(probe):
    rows = [[1, 2, 3], (4, 5, 6)]
    assert (probe.Element(rows, 0, 2), probe.Element(rows, 1, 0)) == (3, 4)
    assert probe.Element([[[1, 2], [3, 4]], [[5, 6], [7, 8]]], 1, 0, 1) == 6
    assert probe.Element([[1, 2], [3]], 1) == (3,)  # not rectangular: an array of arrays


def cyclic():
    outer = [1, [2]]
    outer[1].append(outer)
    return outer


@pytest.mark.parametrize("value, message", [
    (nested(200_000), "nested deeper than 64 levels"),
    (cyclic(), "cyclic"),
    ([[0] * 4097] * 4096, "more than 16777216 values"),
], ids=["deep", "cyclic", "huge"])
def test_hostile_sequences_raise_value_errors(counter, value, message):
    with pytest.raises(ValueError, match=message):
        counter.Echo(value)


def test_objects_come_back_as_the_same_object(counter):
    other = ovcbridge.CreateObject("OVCTest.Counter")
    assert counter.Echo(other) == other and counter.Echo(other) != counter
    assert counter.Adopt(other) == other


def test_exact_types_pass_through_variant(counter):
    short = Variant(ovcbridge.VT_I2, 12)
    assert (short.vt, counter.Echo(short)) == (ovcbridge.VT_I2, 12)
    texts = Variant(VT_ARRAY | VT_BSTR, [1, 2.5])
    assert (texts.vt, counter.Echo(texts)) == (VT_ARRAY | VT_BSTR, ("1", "2.5"))
    assert Variant(VT_ARRAY | VT_I4, [["3", 4.0]]).value == ((3, 4),)


def test_change_type_applies_the_automation_rules():
    assert ChangeType("12/25/2020", ovcbridge.VT_DATE) == datetime.datetime(2020, 12, 25)
    assert (ChangeType(True, VT_BSTR), ChangeType(True, VT_BSTR, ovcbridge.VARIANT_ALPHABOOL)) \
        == ("-1", "True")


@pytest.mark.parametrize("value, vt, error", [
    ("abc", ovcbridge.VT_R8, ovcbridge.ComError),
    (1e10, VT_I4, ovcbridge.ComError),
    ([[1], [2, 3]], VT_ARRAY | VT_I4, ovcbridge.ComError),  # an array of arrays
    (2**40, VT_I4, ovcbridge.ComError),  # an integer too large for VT_I4
    (2**53 + 1, ovcbridge.VT_R8, ValueError),  # no double holds it exactly
    (2**64, VT_I4, ValueError),
    (-2**100, ovcbridge.VT_R8, ValueError),
    (object(), VT_I4, TypeError),
])
def test_values_without_an_automation_form_are_refused(value, vt, error):
    with pytest.raises(error):
        ChangeType(value, vt)


def test_type_library_enumerators_are_constants():
    assert (ovcbridge.ovBridge, ovcbridge.ovLinkSetDefault, ovcbridge.ovError) == (0, -12, 2)
