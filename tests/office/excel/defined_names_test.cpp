#include "office/excel/defined_names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace ovc::excel {
namespace {

using ::testing::HasSubstr;

constexpr char kWorkbook[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
  <sheets><sheet name="Sheet1" sheetId="1"/><sheet name="My Sheet" sheetId="2"/></sheets>
  <definedNames>
    <definedName name="_xlnm.Print_Area" localSheetId="0">Sheet1!$A$1:$B$2</definedName>
    <definedName name="Gone">Deleted!$A$1</definedName>
    <definedName name="Local" localSheetId="1">'My Sheet'!$A$1:$A$3,'My Sheet'!$C$1</definedName>
    <definedName name="Rate" comment="the rate">Sheet1!$C$10</definedName>
    <definedName name="Rate" localSheetId="1">'My Sheet'!$B$2</definedName>
    <definedName name="Secret" hidden="1">0.05</definedName>
  </definedNames>
  <calcPr calcId="191029"/>
</workbook>)";

NameOptions Options(std::optional<bool> visible, std::optional<int32_t> macro_type = std::nullopt,
                    int32_t active_sheet = -1) {
  NameOptions options;
  options.visible = visible;
  options.macro_type = macro_type;
  options.active_sheet = active_sheet;
  return options;
}

std::string Serialised(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, "", pugi::format_raw);
  return out.str();
}

class DefinedNamesTest : public ::testing::Test {
 protected:
  void Load(const char* xml) {
    ASSERT_TRUE(document_.load_string(xml, pugi::parse_default | pugi::parse_ws_pcdata));
    names_ = std::make_unique<DefinedNames>(&document_);
  }

  std::string Xml() const { return Serialised(document_); }

  std::vector<std::string> DisplayNames() const {
    std::vector<std::string> shown;
    DefinedName name;
    for (size_t i = 0; names_->At(i, &name); ++i) shown.push_back(name.display_name);
    return shown;
  }

  // The display name Find gives, or "" when it finds none.
  std::string Found(const char* text, int32_t active_sheet) {
    DefinedName name;
    if (!names_->Find(text, active_sheet, &id_, &reason_, &code_)) return "";
    EXPECT_TRUE(names_->Get(id_, &name));
    return name.display_name;
  }

  // Add on `names`, its outcome in id_, changed_, reason_ and code_.
  bool TryAdd(DefinedNames& names, const char* name, const char* refers_to,
              NameOptions options = {}) {
    return names.Add(name, refers_to, options, &id_, &changed_, &reason_, &code_);
  }
  NameId Add(const char* name, const char* refers_to, NameOptions options = {}) {
    EXPECT_TRUE(TryAdd(*names_, name, refers_to, options)) << reason_;
    EXPECT_TRUE(changed_);
    return id_;
  }

  pugi::xml_document document_;
  std::unique_ptr<DefinedNames> names_;
  NameId id_ = 0;
  bool changed_ = false;
  std::string reason_;
  HRESULT code_ = S_OK;
};

TEST_F(DefinedNamesTest, EnumeratesAndFindsAsTheWorkbookDoes) {
  Load(kWorkbook);
  EXPECT_EQ(DisplayNames(),
            (std::vector<std::string>{"Sheet1!Print_Area", "Gone", "'My Sheet'!Local", "Rate",
                                      "'My Sheet'!Rate", "Secret"}));
  DefinedName name;
  EXPECT_TRUE(names_->At(5, &name) && name.hidden && name.formula == "0.05");

  const struct {
    const char* text;
    int32_t active_sheet;
    const char* found;
  } cases[] = {
      {"'my sheet'!RATE", 0, "'My Sheet'!Rate"},
      {"Local", 1, "'My Sheet'!Local"},
      {"Local", 0, ""},
      {"Sheet1!Rate", -1, ""},
      {"[Book.xlsx]Sheet1!Print_Area", -1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Found(c.text, c.active_sheet), c.found) << c.text;
}

// A name stored with the built-in prefix twice is shown whole, so that each
// name is found again by the name it shows.
TEST_F(DefinedNamesTest, ADoubledBuiltinPrefixIsShownWholeAndANamesElementIsAddedInPlace) {
  Load(R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
    <sheets><sheet name="Sheet1" sheetId="1"/></sheets><definedNames>
    <definedName name="_xLnm._xlnm.Print_Area" localSheetId="0">Sheet1!$A$1</definedName>
    <definedName name="_xlnm.Print_Area" localSheetId="0">Sheet1!$B$1</definedName>
    </definedNames></workbook>)");
  const std::vector<std::string> shown = DisplayNames();
  EXPECT_EQ(shown,
            (std::vector<std::string>{"Sheet1!_xLnm._xlnm.Print_Area", "Sheet1!Print_Area"}));
  for (const std::string& name : shown) EXPECT_EQ(Found(name.c_str(), -1), name);

  // Add creates the names element where the schema wants it.
  Load(R"(<x:workbook xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
       R"(<x:sheets><x:sheet name="S"/></x:sheets><x:calcPr/></x:workbook>)");
  Add("Rate", "=S!$A$1");
  EXPECT_THAT(Xml(), HasSubstr(R"(</x:sheets><x:definedNames><x:definedName name="Rate">S!$A$1<)"
                               R"(/x:definedName></x:definedNames><x:calcPr/>)"));
}

TEST_F(DefinedNamesTest, AddCreatesInOrderOrReplacesInPlace) {
  Load(kWorkbook);
  Add("beta", "= sheet1!b2:c3");
  const NameId rate = Add("RATE", "='My Sheet'!$D$4", Options(false));
  Add("Secret", "=\"x\"", Options(true));
  Add("Zed", "=A1,$B:$B", Options(std::nullopt, 3, 1));
  EXPECT_EQ(DisplayNames(),
            (std::vector<std::string>{"Sheet1!Print_Area", "beta", "Gone", "'My Sheet'!Local",
                                      "Rate", "'My Sheet'!Rate", "Secret", "Zed"}));
  const std::string xml = Xml();
  for (const char* part : {
           R"(<definedName name="beta">Sheet1!B2:C3</definedName><definedName name="Gone">)",
           R"(<definedName name="Rate" comment="the rate" hidden="1">'My Sheet'!$D$4<)",
           R"(<definedName name="Secret">"x"</definedName>)",
           R"(<definedName name="Zed">'My Sheet'!A1,'My Sheet'!$B:$B</definedName>)",
       }) {
    EXPECT_THAT(xml, HasSubstr(part));
  }
  ASSERT_TRUE(TryAdd(*names_, "Rate", "='My Sheet'!$D$4"));
  EXPECT_EQ(id_, rate);
  EXPECT_FALSE(changed_);
}

TEST_F(DefinedNamesTest, AddRefusesAndWritesNothingAndDeleteRemovesOnlyThatName) {
  Load(kWorkbook);
  const std::string before = Xml();
  const struct {
    const char* refers_to;
    HRESULT code;
    const char* reason;
    NameOptions options = {};
  } cases[] = {
      {"Sheet1!A1", E_INVALIDARG, "RefersTo must start with '='"},
      {"=Other!A1", E_INVALIDARG, "no sheet 'Other'"},
      {"=B2", E_INVALIDARG, "'B2' needs a sheet name"},
      {"=SUM(Sheet1!A1:A3)", E_NOTIMPL, "RefersTo supports references and constants only"},
      {"=[1]Sheet1!A1", E_NOTIMPL, "references to other workbooks are not supported"},
      {"=1", E_NOTIMPL, "macro names are not supported", Options(std::nullopt, 1)},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(TryAdd(*names_, "Ok", c.refers_to, c.options));
    EXPECT_EQ(code_, c.code) << c.refers_to;
    EXPECT_EQ(reason_, c.reason);
  }
  EXPECT_EQ(Xml(), before);

  for (const char* part : {"", "<workbook xmlns=\"http://example.com/other\"/>", "<workbook/>"}) {
    pugi::xml_document foreign;
    foreign.load_string(part);
    const std::string written = Serialised(foreign);
    DefinedNames none(&foreign);
    EXPECT_FALSE(TryAdd(none, "Rate", "=1")) << part;
    EXPECT_EQ(code_, STG_E_DOCFILECORRUPT) << part;
    EXPECT_EQ(Serialised(foreign), written) << part;
  }

  Load(R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
       R"(<sheets><sheet name="S"/></sheets><definedNames>)"
       R"(<definedName name="Dup">S!$A$1</definedName><definedName name="dup">S!$B$2</definedName>)"
       R"(</definedNames></workbook>)");
  for (const char* remaining : {"dup", ""}) {
    ASSERT_TRUE(names_->Find("DUP", -1, &id_, &reason_, &code_));
    ASSERT_TRUE(names_->Delete(id_, &reason_, &code_));
    EXPECT_FALSE(names_->Delete(id_, &reason_, &code_));
    EXPECT_EQ(code_, DISP_E_BADINDEX);
    // Another name of that name answers from now on.
    EXPECT_EQ(Found("Dup", -1), remaining);
  }
  EXPECT_EQ(Xml().find("definedNames"), std::string::npos) << Xml();
}

}  // namespace
}  // namespace ovc::excel
