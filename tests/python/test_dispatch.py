"""Calling automation objects by name."""
import datetime

import pytest

import ovcbridge
from ovcbridge import ComError


def test_members_are_called_by_name(counter):
    counter.Value = 5
    counter.Label = "pump"
    assert (counter.Value, counter.label) == (5, "pump")
    assert counter.Add(2) == 25  # the optional second argument is filled in
    assert counter.Add(1, 2) == 27
    assert counter.Describe("n=") == (13.5, "n=27", False)  # return value, then [out] values
    assert counter.Paint(-1) == 1 and counter.Paint(1) == -1  # enumerations pass as numbers
    assert counter.Stamp(datetime.datetime(2000, 1, 1, 12)) == datetime.datetime(2000, 1, 2, 12)


def test_len_iteration_and_truth(counter, probe):
    assert counter and len(counter) == 0  # true although its Count is 0
    assert probe  # true without a Count
    counter.Value = 4
    assert (len(counter), list(counter)) == (4, [1, 2, 3, 4])


@pytest.mark.parametrize("call, error, hresult", [
    (lambda counter: counter.Add(), ComError, ovcbridge.DISP_E_PARAMNOTOPTIONAL),
    (lambda counter: counter.Add("lots"), ComError, ovcbridge.DISP_E_TYPEMISMATCH),
    (lambda counter: counter.Adopt(None), ComError, ovcbridge.E_POINTER),
    (lambda counter: ovcbridge.CreateObject("No.Such.Class"), ComError, ovcbridge.CO_E_CLASSSTRING),
    (lambda counter: counter.NoSuchMember, AttributeError, None),
    (lambda counter: counter.Add(1, 2, 3, 4), TypeError, None),
])
def test_failed_calls_raise_com_errors_or_python_errors(counter, call, error, hresult):
    with pytest.raises(error) as raised:
        call(counter)
    assert getattr(raised.value, "hresult", None) == hresult

