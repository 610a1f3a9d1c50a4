#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/late_call.h"
#include "automation/text.h"
#include "office/excel/application.h"
#include "office/package/part_name.h"
#include "tests/office/excel/workbook_fixture.h"
#include "tests/office/office_test_support.h"

// Workbooks made by other programs (tests/office/fixtures/make_*.py), written
// through names as a client does, saved, and compared part by part.
namespace ovc::excel {
namespace {

using office::PartKey;
using office::PartNameOfEntry;

// The entries of a zip package inflated: their names as stored, their bytes.
struct PackageParts {
  std::vector<std::string> order;
  std::map<std::string, std::string> content;
};

PackageParts ReadPackageParts(const std::string& path) {
  PackageParts parts;
  for (office::testing::RawEntry& entry : office::testing::RawEntries(path, true)) {
    parts.order.push_back(entry.name);
    parts.content[entry.name] = std::move(entry.bytes);
  }
  return parts;
}

// Entry names whose bytes differ, that only `after` has, that only `before`
// has; `order_kept` is false when the entries both have are stored in
// another order.
struct PackageDiff {
  std::set<std::string> changed, added, removed;
  bool order_kept = true;
};

std::vector<std::string> InOrderAlsoIn(const PackageParts& parts, const PackageParts& other) {
  std::vector<std::string> common;
  std::copy_if(parts.order.begin(), parts.order.end(), std::back_inserter(common),
               [&](const std::string& name) { return other.content.count(name) != 0; });
  return common;
}

PackageDiff ComparePackages(const PackageParts& before, const PackageParts& after) {
  PackageDiff diff;
  for (const auto& [name, content] : after.content) {
    const auto old = before.content.find(name);
    if (old == before.content.end()) {
      diff.added.insert(name);
    } else if (old->second != content) {
      diff.changed.insert(name);
    }
  }
  for (const auto& entry : before.content) {
    if (after.content.count(entry.first) == 0) diff.removed.insert(entry.first);
  }
  diff.order_kept = InOrderAlsoIn(before, after) == InOrderAlsoIn(after, before);
  return diff;
}

// ".ext" for an extension in any case.
std::string ExtensionKey(std::string_view extension) {
  std::string key = "." + std::string(extension);
  std::transform(key.begin(), key.end(), key.begin(), ToLowerAscii<char>);
  return key;
}

pugi::xml_node RootOf(pugi::xml_document* document, const std::string& xml) {
  document->load_buffer(xml.data(), xml.size());
  return document->document_element();
}

// "<rels entry>: <target>" for every internal relationship target naming no
// entry.
void AddRelationshipFaults(const PackageParts& parts, std::vector<std::string>* faults) {
  std::set<std::string> keys;
  for (const std::string& entry : parts.order) keys.insert(PartKey(PartNameOfEntry(entry)));
  for (const auto& [entry, text] : parts.content) {
    std::string source, part;
    pugi::xml_document document;
    if (!office::SourceOfRelationshipsPart(PartNameOfEntry(entry), &source)) continue;
    for (pugi::xml_node relationship : RootOf(&document, text).children("Relationship")) {
      const std::string target = relationship.attribute("Target").value();
      if (std::string_view(relationship.attribute("TargetMode").value()) != "External" &&
          (!office::ResolveTarget(source, target, &part) || keys.count(PartKey(part)) == 0)) {
        faults->push_back(entry + ": " + target);
      }
    }
  }
}

// "<entry>: no content type" for every part [Content_Types].xml gives no
// type, by its name or its extension.
void AddContentTypeFaults(const PackageParts& parts, std::vector<std::string>* faults) {
  const auto types = parts.content.find("[Content_Types].xml");
  if (types == parts.content.end()) return faults->push_back("[Content_Types].xml: missing");
  pugi::xml_document document;
  std::set<std::string> typed;
  for (pugi::xml_node type : RootOf(&document, types->second).children()) {
    typed.insert(std::string_view(type.name()) == "Default"
                     ? ExtensionKey(type.attribute("Extension").value())
                     : PartKey(type.attribute("PartName").value()));
  }
  for (const std::string& entry : parts.order) {
    const std::string part = PartNameOfEntry(entry);
    if (entry != types->first && !typed.count(PartKey(part)) &&
        !typed.count(ExtensionKey(office::Extension(part)))) {
      faults->push_back(entry + ": no content type");
    }
  }
}

// What breaks the package; empty when it hangs together.
std::vector<std::string> PackageFaults(const PackageParts& parts) {
  std::vector<std::string> faults;
  AddRelationshipFaults(parts, &faults);
  AddContentTypeFaults(parts, &faults);
  return faults;
}

const std::string kSheet1 = "xl/worksheets/sheet1.xml";
const std::string kWorkbook = "xl/workbook.xml";
const std::string kCore = "docProps/core.xml";

struct Write {
  const wchar_t* range;
  Variant value;
  Variant read_back;  // through the same range after reopening
};

struct RoundTrip {
  const char* fixture;
  std::vector<Write> writes;
  std::set<std::string> changed;  // entries the writes and the save rewrite
  std::set<std::string> added;
};

class RoundTripTest : public testing::BookTest {
 protected:
  // Manual calculation: the writes leave their formulas stale for the save.
  RoundTripTest() {
    application_ = MakeObject<Application>(office::Services{});
    application_->put_Calculation(kCalculationManual);
  }

  // The member's value on Application.Range(range), or its failure as
  // Variant::Error. `member` may name a member of the object a member gives:
  // "Worksheet.Name".
  Variant GetOf(const wchar_t* range, const wchar_t* member, std::vector<Variant> args = {}) {
    Variant target = Get(application_.get(), L"Range", {Variant(range)});
    std::wstring path(member);
    for (size_t dot; target.vt() == VT_DISPATCH && (dot = path.find(L'.')) != std::wstring::npos;
         path.erase(0, dot + 1)) {
      target = Get(target.dispatch(), path.substr(0, dot).c_str());
    }
    return target.vt() == VT_DISPATCH ? Get(target.dispatch(), path.c_str(), std::move(args))
                                      : target;
  }
  HRESULT Put(const wchar_t* range, const Variant& value) {
    const Variant target = Get(application_.get(), L"Range", {Variant(range)});
    return target.vt() == VT_DISPATCH ? PutProperty(target.dispatch(), L"Value", value)
                                      : target.scode();
  }
  static std::string LastError() { return ToUtf8(TakeErrorDescription()); }
};

TEST_F(RoundTripTest, WritesChangeOnlyTheirPartsAndReadBack) {
  const std::vector<RoundTrip> cases = {
      {"cells.xlsx",
       {{L"SharedMaster", Variant(1), Variant::R8(1)},
        {L"SpillAnchor", Variant(5), Variant::R8(5)},
        {L"BelowTable", Variant(9), Variant::R8(9)},
        {L"Header", Variant(L"Name"), Variant(L"Name")},
        {L"Commented", Variant(L"=A1*2"), Variant::Error(E_PENDING)},
        {L"Linked", Variant(), Variant()},
        {L"Cells!B4", Variant(L"top left"), Variant()}},  // lands in A3
       {kSheet1, "xl/tables/table1.xml", kWorkbook, kCore},
       {}},
      {"fullcalc.xlsx", {{L"Input", Variant(2), Variant::R8(2)}}, {kSheet1, kCore}, {}},
      // No core properties yet: the save adds them.
      {"parts.xlsx",
       {{L"Input", Variant(1), Variant::R8(1)}},
       {"content/tabs/first.xml", "content/main book.xml", "[Content_Types].xml", "_rels/.rels"},
       {kCore}},
  };
  for (const RoundTrip& test : cases) {
    SCOPED_TRACE(test.fixture);
    const std::string path = office::testing::CopyFixture(folder_, test.fixture);
    ComPtr<IDispatch> workbook = Open(path);
    ASSERT_TRUE(workbook);
    for (const Write& write : test.writes)
      EXPECT_EQ(Put(write.range, write.value), S_OK) << ToUtf8(write.range);
    ASSERT_EQ(CallMethod(workbook.get(), L"Close", {Variant::Bool(true)}), S_OK) << LastError();

    const auto before = ReadPackageParts(office::testing::FixturePath(test.fixture));
    const auto after = ReadPackageParts(path);
    const auto diff = ComparePackages(before, after);
    EXPECT_EQ(diff.changed, test.changed);
    EXPECT_EQ(diff.added, test.added);
    EXPECT_TRUE(diff.removed.empty());
    EXPECT_TRUE(diff.order_kept);
    EXPECT_EQ(PackageFaults(after), std::vector<std::string>{});

    workbook = Open(path);
    for (const Write& write : test.writes)
      EXPECT_EQ(GetOf(write.range, L"Value"), write.read_back) << ToUtf8(write.range);
    CallMethod(workbook.get(), L"Close", {Variant::Bool(false)});
  }
}

// A get of `member` on Application.Range(range) with `args`, its value or
// failure as Variant::Error; or, when `put` is given, a put of it to Value,
// its HRESULT as Variant::Error.
struct Probe {
  const char* fixture;
  const wchar_t* range;
  const wchar_t* member;
  std::vector<Variant> args;
  Variant expected;
  std::optional<Variant> put = std::nullopt;
};

TEST_F(RoundTripTest, FixturesReadAndRefuseAsWorkbooksDo) {
  const std::vector<Variant> external = {Variant::Bool(true), Variant::Bool(true), Variant::I4(1),
                                         Variant::Bool(true)};
  const Variant denied = Variant::Error(E_ACCESSDENIED);
  const Variant written = Variant::Error(S_OK);  // a put that succeeds
  const Variant absent = Variant::Error(DISP_E_BADINDEX);
  const Variant longest(std::wstring(32768, L'x').c_str());  // one more than a cell holds
  const std::vector<Probe> probes = {
      {"names.xlsx", L"Quoted", L"Address", external, Variant(L"'[My Book.xlsx]It''s'!$C$3")},
      {"names.xlsx", L"Multi", L"Address", external,
       Variant(L"'[My Book.xlsx]Sheet1'!$A$10:$A$11")},
      {"names.xlsx", L"Relative", L"Address", {}, Variant(L"$B$5")},
      {"names.xlsx", L"TableCol", L"Address", {}, Variant(L"$A$2:$A$3")},
      {"names.xlsx", L"table1[#All]", L"Address", {}, Variant(L"$A$1:$B$3")},
      {"names.xlsx", L"Table1[[#Headers],[Other]]", L"Address", {}, Variant(L"$B$1")},
      {"names.xlsx", L"Table1[#Totals]", L"Address", {}, absent},
      {"names.xlsx", L"Table1[@Other]", L"Address", {}, absent},  // a formula's row only
      {"names.xlsx", L"WholeColumn", L"Address", {}, Variant(L"$E:$E")},
      {"names.xlsx", L"WholeRows", L"Count", {}, Variant::I4(2 * 16384)},
      {"names.xlsx", L"rate", L"Value", {}, Variant::R8(0.25)},
      {"names.xlsx", L"'My Sheet'!RATE", L"Value", {}, Variant::R8(0.5)},
      {"names.xlsx", L"OverCap", L"Value", {}, Variant::Error(E_INVALIDARG)},
      {"names.xlsx", L"OverCap", L"Value", {}, Variant::Error(E_INVALIDARG), Variant(1)},
      {"names.xlsx", L"Const", L"Value", {}, absent},
      {"names.xlsx", L"[Other.xlsx]Sheet1!A1", L"Value", {}, absent},
      {"names.xlsx", L"B2", L"Value", {}, Variant::Error(E_INVALIDARG)},  // needs a sheet
      {"names.xlsx", L"'[My Book.xlsx]My Sheet'!B2:C4", L"Count", {}, Variant::I4(6)},
      {"names.xlsx", L"Dynamic", L"Value", {}, absent},
      {"cells.xlsx", L"Serial59", L"Value", {}, Variant::Date(60)},
      {"cells.xlsx", L"Serial60", L"Value", {}, Variant::R8(60)},
      {"cells.xlsx", L"Serial61", L"Value", {}, Variant::Date(61)},
      {"cells.xlsx", L"Negative", L"Value", {}, Variant::R8(-1)},
      {"cells.xlsx", L"Hours", L"Value", {}, Variant::Date(2.5)},  // the 1900 leap-year quirk
      {"cells.xlsx", L"Custom", L"Value", {}, Variant::Date(45000.75)},
      {"cells.xlsx", L"Money", L"Value", {}, Variant::R8(1234.5)},
      {"cells.xlsx", L"ErrorCell", L"Value", {}, Variant::Error(0x800A07D7)},
      {"cells.xlsx", L"Volatile", L"Value", {}, Variant::Error(E_PENDING)},
      {"cells.xlsx", L"Merged", L"Count", {}, Variant::I4(4)},
      {"cells.xlsx", L"OpenCell", L"Locked", {}, Variant::Bool(false)},
      {"cells.xlsx", L"OpenCell", L"Worksheet.ProtectContents", {}, Variant::Bool(true)},
      {"cells.xlsx", L"OpenCell", L"Value", {}, written, Variant(1)},
      {"cells.xlsx", L"LockedCell", L"Value", {}, denied, Variant(1)},
      {"cells.xlsx", L"ArrayPart", L"Value", {}, denied, Variant(1)},
      {"cells.xlsx", L"Spilled", L"Value", {}, denied, Variant(1)},
      {"cells.xlsx", L"DataTable", L"Value", {}, denied, Variant(1)},
      {"cells.xlsx", L"Commented", L"Value", {}, Variant::Error(E_INVALIDARG), Variant(longest)},
      {"fullcalc.xlsx", L"Nothing", L"Value", {}, Variant::Error(E_PENDING)},
      {"fullcalc.xlsx", L"Zero", L"Value", {}, Variant::Error(E_PENDING)},
      {"date1904.xlsx", L"When", L"Value", {}, Variant::Date(45352.5)},
      {"shared.xlsx", L"Input", L"Value", {}, denied, Variant(1)},
      {"parts.xlsx", L"Input", L"Value", {}, Variant()},
  };
  for (const Probe& probe : probes) {
    SCOPED_TRACE(std::string(probe.fixture) + " " + ToUtf8(probe.range) + "." +
                 ToUtf8(probe.member));
    const std::string path = office::testing::CopyFixture(folder_, probe.fixture, "My Book.xlsx");
    ComPtr<IDispatch> workbook = Open(path);
    ASSERT_TRUE(workbook);
    if (probe.put) {
      EXPECT_EQ(Variant::Error(Put(probe.range, *probe.put)), probe.expected);
    } else {
      EXPECT_EQ(GetOf(probe.range, probe.member, probe.args), probe.expected) << LastError();
    }
    CallMethod(workbook.get(), L"Close", {Variant::Bool(false)});
  }
}

}  // namespace
}  // namespace ovc::excel
