"""The library's questions go to Python callables, and back to the default without them."""
import pytest

import ovcbridge

NULL_TARGET = ("Null Pointer Passed to AutoWrap", "AutoWrap", 0x10010)


def read_only_without_a_workbook():
    adapter = ovcbridge.CreateObject("OVCBridgeSvcs.ExcelApp")
    with pytest.raises(ovcbridge.ComError) as failure:
        adapter.ReadOnly
    assert "NULL dispatch pointer" in failure.value.description


def test_message_boxes_reach_the_callback_until_the_default_is_restored():
    asked = []

    def message_box(text, caption, style):
        asked.append((text, caption, style))
        return 2

    ovcbridge.SetUserInterface(message_box=message_box)
    try:
        read_only_without_a_workbook()
        assert asked == [NULL_TARGET]
    finally:
        ovcbridge.SetUserInterface()
    read_only_without_a_workbook()
    assert asked == [NULL_TARGET]


@pytest.mark.filterwarnings("ignore::pytest.PytestUnraisableExceptionWarning")
def test_a_failing_callback_gets_the_default_answer():
    asked = []

    def message_box(text, caption, style):
        asked.append(text)
        raise RuntimeError("nobody there")

    ovcbridge.SetUserInterface(message_box=message_box)
    try:
        read_only_without_a_workbook()
        assert asked == [NULL_TARGET[0]]
    finally:
        ovcbridge.SetUserInterface()
