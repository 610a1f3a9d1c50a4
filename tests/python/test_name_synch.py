"""Location names synchronised with the Links' routes by the Bridge, against
the real office engines: the names checked in the saved files with openpyxl
and python-docx."""
import sys

import docx
import openpyxl
import pytest
from openpyxl.workbook.defined_name import DefinedName

import ovcbridge
from conftest import BUILD
from office_oracles import bookmark_texts

sys.path.insert(0, str(BUILD.parent / "examples"))
from pump_plant import bookmarked  # noqa: E402

LONG_BOOKMARK = "B" * 41
# route, the location it writes and reads, a text its status holds, where its
# target name ends up ("both" files, the "document" only, or "neither"), its
# Error flag
CASES = [
    ("Good", "Src_1", "Write and Read Location Names Replaced with Good", "both", False),
    ("-", "Src_2", '"-" is no valid workbook name', "neither", True),
    ("/", "Src_3", '"/" is no valid workbook name', "neither", True),
    ("(*)", "Src_4", '"" is empty', "neither", True),
    ("2Flow", "Src_5", "does not start with a letter", "neither", True),
    ("TAX2019", "Src_6", "reads as a cell reference", "neither", True),
    (LONG_BOOKMARK, "Src_7", "is no valid bookmark: it is longer than 40 characters", "neither", True),
    ("X" * 2000, "Src_8", "is longer than 255 characters", "neither", True),
    ("Taken", "Src_9", "The name Taken already names another place in the workbook", "document", True),
    ("Marked", "Src_12", "The bookmark Marked already marks another place in the document", "workbook", True),
    ("Place", "place", "Replaced with Place", "both", False),
    ("Priced", "Src_11", "Src_11 kept:  a formula of the file still uses it", "both", False),
    ("Gone", "Nowhere", "Nowhere not synchronised:  it is in no file of the Bridge", "neither", True),
]
SOURCES = [source for _, source, _, _, _ in CASES if source != "Nowhere"]


def workbook_names(path):
    """{defined name: the cell it names} of the saved workbook."""
    book = openpyxl.load_workbook(path)
    return {name.name: name.attr_text for name in book.defined_names.definedName}


def folded(names):
    return {name.lower(): value for name, value in names.items()}


def cell_of(source):
    return f"Sheet!$A${SOURCES.index(source) + 1}"


@pytest.fixture
def synch(plant, tmp_path):
    """A Bridge with one LinkSet of CASES over a workbook and a document that
    both hold every source location; "Taken" names another cell of the
    workbook, "Marked" another text of the document."""
    host = ovcbridge.CreateObject("OVCBridgeSvcs.Orvan")
    host.Initialize(plant, plant.Cache)
    book = openpyxl.Workbook()
    for row, source in enumerate([*SOURCES, "Taken"], 1):
        book["Sheet"].cell(row, 1).value = source
        book.defined_names.append(DefinedName(source, attr_text=f"Sheet!$A${row}"))
    book["Sheet"]["B1"] = '=Src_11*2&"Src_1"'  # Src_1 only in a text
    book.save(tmp_path / "synch.xlsx")
    document = docx.Document()
    for bookmark_id, source in enumerate([*SOURCES, "Marked"], 1):
        bookmarked(document.add_paragraph(), bookmark_id, source, source)
    document.save(tmp_path / "synch.docx")
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    link_set = bridge.CreateLinkSet()
    for route, source, _, _, _ in CASES:
        link = link_set.CreateLink()
        link.AttribName, link.WriteLocation, link.ReadLocation = route, source, source
    bridge.AddApp(str(tmp_path / "synch.xlsx"))
    bridge.AddApp(str(tmp_path / "synch.docx"))
    yield bridge, link_set, tmp_path
    for index in range(bridge.CountApps):
        bridge.ItemApp(index).TerminateApp(False)
    bridge.FinalCleanUp()
    host.FinalCleanUp()


def saved(bridge, tmp_path):
    for index in range(bridge.CountApps):
        bridge.ItemApp(index).Save()
    return workbook_names(tmp_path / "synch.xlsx"), bookmark_texts(tmp_path / "synch.docx")


@pytest.mark.parametrize("replace", [False, True])
def test_a_suffixed_route_names_the_location_in_both_files(synch, replace):
    bridge, link_set, tmp_path = synch
    link = link_set.Item(0)
    link.AttribName = "Flow.Rate(max)"
    bridge.LinksetSynchNames(replace, 0, "1")
    names, bookmarks = saved(bridge, tmp_path)
    assert (link.WriteLocation, link.ReadLocation) == ("FlowRatemax1", "FlowRatemax1")
    assert link.Status.count("Write and Read Location Names ") == 2
    assert names["FlowRatemax1"] == "Sheet!$A$1" and bookmarks["FlowRatemax1"] == "Src_1"
    assert ("Src_1" in names, "Src_1" in bookmarks) == (not replace, not replace)


def test_each_link_is_synchronised_or_refused_on_its_own(synch):
    bridge, link_set, tmp_path = synch
    bridge.BridgeSynchNames(True)
    names, bookmarks = saved(bridge, tmp_path)
    # the location map was refreshed from the files as they are now
    assert bridge.AppCollection.LocationCount == len({name.lower() for name in [*names, *bookmarks]})
    for index, (route, source, status, renamed, error) in enumerate(CASES):
        link = link_set.Item(index)
        target = route.replace("(", "").replace(")", "").replace("*", "")
        assert status in link.Status, route[:50]
        assert bool(link.Error) == error, route[:50]
        # letter case aside: a name kept in another spelling is still the location
        in_document = folded(bookmarks).get(target.lower()) == source
        in_workbook = source in SOURCES and folded(names).get(target.lower()) == cell_of(source)
        assert (in_workbook, in_document) == {"both": (True, True), "document": (False, True), "workbook": (True, False),
                                              "neither": (False, False)}[renamed], route[:50]
        expected = target if renamed != "neither" else source
        assert (link.WriteLocation, link.ReadLocation) == (expected, expected), route[:50]
    assert names["Taken"] == f"Sheet!$A${len(SOURCES) + 1}" and bookmarks["Marked"] == "Marked"
    assert "Src_2" in names and "Src_2" in bookmarks
    assert ("Src_11" in names, "Src_11" in bookmarks, "Src_1" in names) == (True, False, False)


def test_an_index_outside_the_linksets_changes_nothing(synch):
    bridge, link_set, _ = synch
    with pytest.raises(Exception, match=r"LinkSet index is out of range \(-1 of \[0\.\.0\]\)"):
        bridge.LinksetSynchNames(True, -1, "")
    assert link_set.Item(0).WriteLocation == "Src_1" and link_set.Item(0).Status == ""


def test_a_read_only_file_leaves_the_link_unrenamed_in_every_file(synch):
    bridge, link_set, tmp_path = synch
    holder = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    holder.AddApp(str(tmp_path / "synch.xlsx"))
    holder.ItemApp(0).LocationExists("Src_1")  # opened first, it holds the file
    bridge.LinksetSynchNames(True, 0, "")
    holder.ItemApp(0).TerminateApp(False)
    holder.FinalCleanUp()
    link = link_set.Item(0)
    assert "synch.xlsx:  Location Name Src_1 not synchronised:  Use Save-As for Read-Only Files" in link.Status
    assert link.Error and link.WriteLocation == "Src_1"
    bridge.ItemApp(1).Save()
    assert "Good" not in bookmark_texts(tmp_path / "synch.docx")
