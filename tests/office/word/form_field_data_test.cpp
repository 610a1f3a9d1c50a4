#include "office/word/form_field_data.h"

#include <gtest/gtest.h>

#include <tuple>

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
    std::optional<bool> enabled;
    int32_t max_length;
    bool checked;
    int32_t selected;
    const char* xml;  // inside w:ffData
  } cases[] = {
      {false, 0, false, 0,
       "<w:enabled w:val='0'/><w:textInput><w:maxLength w:val='-3'/></w:textInput>"},
      {false, 0, true, 0,
       "<w:enabled w:val='off'/><w:checkBox><w:default w:val='1'/></w:checkBox>"},
      {std::nullopt, 0, false, 0,
       "<w:checkBox><w:default/><w:checked w:val='false'/></w:checkBox>"},
      {std::nullopt, 0, false, 0, "<w:ddList><w:result w:val='x'/></w:ddList>"},
  };
  for (const auto& c : cases) {
    const FormFieldData data =
        ReadFormFieldData(Snippet("<w:ffData>" + std::string(c.xml) + "</w:ffData>").root());
    EXPECT_EQ(std::tie(data.enabled, data.max_length, data.checked, data.selected),
              std::tie(c.enabled, c.max_length, c.checked, c.selected))
        << c.xml;
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
