"""The library's questions go to Python callables, and back to the default without them."""
import pytest

import ovcbridge

NULL_TARGET = ("Null Pointer Passed to AutoWrap", "AutoWrap", 0x10010)


def read_only_without_a_workbook():
    adapter = ovcbridge.CreateObject("OVCBridgeSvcs.ExcelApp")
    with pytest.raises(ovcbridge.ComError) as failure:
        adapter.ReadOnly
    assert "NULL dispatch pointer" in failure.value.description


def answer_no():
    return 2


def fail():
    raise RuntimeError("nobody there")


# A callback that raises gets the default answer, as no callback does.
@pytest.mark.filterwarnings("ignore::pytest.PytestUnraisableExceptionWarning")
@pytest.mark.parametrize("answer", [answer_no, fail], ids=["answers", "raises"])
def test_message_boxes_reach_the_callback_until_the_default_is_restored(answer):
    asked = []

    def message_box(text, caption, style):
        asked.append((text, caption, style))
        return answer()

    ovcbridge.SetUserInterface(message_box=message_box)
    try:
        read_only_without_a_workbook()
    finally:
        ovcbridge.SetUserInterface()
    read_only_without_a_workbook()
    assert asked == [NULL_TARGET]
