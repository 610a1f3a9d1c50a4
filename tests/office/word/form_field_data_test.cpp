#include "office/word/form_field_data.h"

#include <gtest/gtest.h>

#include "office/word/form_field_value.h"
#include "tests/office/word/word_snippet.h"

namespace ovc::word {
namespace {

using testing::Snippet;
using testing::XmlOf;

TEST(FormFieldDataTest, KindComesFromTheCodesFirstWord) {
  const struct {
    std::wstring_view code;
    FormFieldKind kind;
  } cases[] = {
      {L"formcheckbox", FormFieldKind::kCheckBox},
      {L"  FORMDROPDOWN \\* MERGEFORMAT", FormFieldKind::kDropDown},
      {L" FORMTEXTX ", FormFieldKind::kNone},
      {L" REF FORMTEXT ", FormFieldKind::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(FormFieldKindOf(c.code), c.kind) << c.code.data();
}

// The fixture's fields hold the usual forms; these are the odd ones.
TEST(FormFieldDataTest, ReadsOddValuesAsTheWordProcessorDoes) {
  const struct {
    const char* xml;
    std::optional<bool> enabled;
    int32_t max_length;
    bool checked;
    int32_t selected;
  } cases[] = {
      {"<w:ffData><w:enabled w:val='0'/><w:textInput><w:maxLength w:val='-3'/></w:textInput>"
       "</w:ffData>",
       false, 0, false, 0},
      {"<w:ffData><w:enabled w:val='off'/><w:checkBox><w:default w:val='1'/></w:checkBox>"
       "</w:ffData>",
       false, 0, true, 0},
      {"<w:ffData><w:checkBox><w:default/><w:checked w:val='false'/></w:checkBox></w:ffData>",
       std::nullopt, 0, false, 0},
      {"<w:ffData><w:ddList><w:result w:val='x'/></w:ddList></w:ffData>", std::nullopt, 0, false,
       0},
  };
  for (const auto& c : cases) {
    const FormFieldData data = ReadFormFieldData(Snippet(c.xml).root());
    EXPECT_EQ(data.enabled, c.enabled) << c.xml;
    EXPECT_EQ(data.max_length, c.max_length) << c.xml;
    EXPECT_EQ(data.checked, c.checked) << c.xml;
    EXPECT_EQ(data.selected, c.selected) << c.xml;
  }
  FormFieldData damaged;
  damaged.entries = {L"Red", L"Green"};
  damaged.selected = 7;
  EXPECT_EQ(DropDownResult(damaged), L"Red");
}

TEST(FormFieldDataTest, MatchesElementsByNamespaceNotPrefix) {
  const Snippet snippet(
      "<ns0:ffData><ns0:name ns0:val='Drop'/><ns0:ddList><ns0:listEntry ns0:val='Red'/>"
      "<ns0:listEntry ns0:val='Grün'/><x:listEntry xmlns:x='urn:other' x:val='no'/></ns0:ddList>"
      "</ns0:ffData>",
      "ns0");
  const FormFieldData data = ReadFormFieldData(snippet.root());
  EXPECT_EQ(data.name, L"Drop");
  EXPECT_EQ(data.entries, (std::vector<std::wstring>{L"Red", L"Grün"}));
}

TEST(FormFieldDataTest, WritesStateWhereTheSchemaPutsIt) {
  const Snippet check(
      "<w:ffData><w:checkBox><w:sizeAuto/><w:default w:val='0'/></w:checkBox></w:ffData>");
  SetChecked(check.root(), true);
  EXPECT_EQ(XmlOf(check.root()),
            "<w:ffData><w:checkBox><w:sizeAuto/><w:default w:val='0'/><w:checked w:val='1'/>"
            "</w:checkBox></w:ffData>");
  const Snippet list(
      "<w:ffData><w:ddList><w:default w:val='1'/><w:listEntry w:val='a'/></w:ddList></w:ffData>");
  SetSelectedEntry(list.root(), 0);
  EXPECT_EQ(XmlOf(list.root()),
            "<w:ffData><w:ddList><w:result w:val='0'/><w:default w:val='1'/>"
            "<w:listEntry w:val='a'/></w:ddList></w:ffData>");
}

}  // namespace
}  // namespace ovc::word
