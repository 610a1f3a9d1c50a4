"""Copying object bindings asks through the Python callables."""
import ovcbridge


def test_auto_create_asks_the_callables_and_numbers_the_copies(bridge_and_host):
    bridge, _ = bridge_and_host
    asked = []

    def confirm(question, caption):
        asked.append((question, caption))
        return 19  # Yes to All

    def ask_numbering(delimiter, digits, start):
        asked.append((delimiter, digits, start))
        return "-", 3, 10

    ovcbridge.SetUserInterface(confirm=confirm, ask_numbering=ask_numbering)
    try:
        bridge.AutoCreateObjectBindings()
    finally:
        ovcbridge.SetUserInterface()
    assert asked == [
        ("Object Binding already set for linkset , (linkset # 1); Do you wish to over-write?",
         "Confirm Binding Overwrite"),
        ("_", 0, 1),
    ]
    copies = [bridge.Item(i) for i in range(bridge.Count)]
    assert [copy.ObjectName for copy in copies][:2] == ["P-101A", "P-101B"]
    assert [copy.Item(0).WriteLocation for copy in copies] == [
        f"Rate-{number:03d}" for number in range(10, 22)]
    assert bridge.ErrorReport.startswith("\r\nCopying bindings for 12 linksets.\r\n")
