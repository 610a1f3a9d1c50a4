#include "office/excel/sheet.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

#include "tests/office/excel/xml_part.h"

namespace ovc::excel {
namespace {

TEST(SheetTest, FindsCellsAndAddsMissingOnesInOrder) {
  pugi::xml_document part;
  LoadPart(&part, Worksheet("<x:dimension ref='B2:C3'/><x:sheetData>"
                            "<x:row r='2' spans='2:3' s='4' x14ac:dyDescent='0.25'>"
                            "<x:c r='B2'><x:v>1</x:v></x:c><x:c r='C2'/><x:extLst/></x:row>"
                            "<x:row r='5'><x:c r='C5'><x:v>3</x:v></x:c><x:c r='A5'/><x:c r='C5'/>"
                            "</x:row></x:sheetData><x:unknown/>"));
  Sheet sheet(part, 1);
  EXPECT_STREQ(sheet.FindCell({2, 2}).child_value("x:v"), "1");
  // Cells out of order are found all the same, the first of two twins winning.
  EXPECT_TRUE(sheet.FindCell({5, 1}));
  EXPECT_STREQ(sheet.FindCell({5, 3}).child_value("x:v"), "3");
  EXPECT_FALSE(sheet.FindCell({2, 4}));
  EXPECT_FALSE(sheet.FindCell({3, 2}));

  EXPECT_EQ(sheet.FindOrAddCell({2, 2}), sheet.FindCell({2, 2}));
  for (CellRef cell : {CellRef{2, 5}, CellRef{2, 1}, CellRef{3, 3}, CellRef{7, 1}}) {
    const pugi::xml_node added = sheet.FindOrAddCell(cell);
    EXPECT_EQ(sheet.FindCell(cell), added);
  }
  EXPECT_EQ(XmlOf(part.document_element()),
            Worksheet("<x:dimension ref='A2:E7'/><x:sheetData>"
                      "<x:row r='2' spans='1:5' s='4' x14ac:dyDescent='0.25'><x:c r='A2'/>"
                      "<x:c r='B2'><x:v>1</x:v></x:c><x:c r='C2'/><x:c r='E2'/><x:extLst/>"
                      "</x:row><x:row r='3'><x:c r='C3'/></x:row><x:row r='5'><x:c r='C5'>"
                      "<x:v>3</x:v></x:c><x:c r='A5'/><x:c r='C5'/></x:row><x:row r='7'>"
                      "<x:c r='A7'/></x:row></x:sheetData><x:unknown/>"));
}

TEST(SheetTest, AppendsEachCellOfAFullRowRightAfterTheLastOne) {
  pugi::xml_document part;
  LoadPart(&part, Worksheet("<x:sheetData><x:row r='1' spans='1:2'>"
                            "<x:c r='A1'/><x:c r='B1'/><y:mark xmlns:y='urn:y'/><x:extLst/>"
                            "</x:row></x:sheetData>"));
  Sheet sheet(part, 1);
  for (int32_t column = 3; column <= kMaxColumn; ++column) sheet.FindOrAddCell({1, column});

  const pugi::xml_node row = part.document_element().child("x:sheetData").child("x:row");
  int32_t column = 0;
  pugi::xml_node child = row.first_child();
  for (; std::string_view(child.name()) == "x:c"; child = child.next_sibling()) {
    ++column;
    ASSERT_EQ(sheet.FindCell({1, column}), child) << column;
    ASSERT_EQ(child.attribute("r").value(), FormatA1Cell({1, column}));
  }
  EXPECT_EQ(column, kMaxColumn);
  EXPECT_EQ(XmlOf(child), "<y:mark xmlns:y='urn:y'/>");
  EXPECT_EQ(XmlOf(child.next_sibling()), "<x:extLst/>");
  EXPECT_STREQ(row.attribute("spans").value(), "1:16384");
}

TEST(SheetTest, NamesImplicitPositionsBeforeInsertingAmongThem) {
  pugi::xml_document part;
  LoadPart(&part, Worksheet("<x:sheetData><x:row><x:c><x:v>1</x:v></x:c><x:c><x:v>3</x:v></x:c>"
                            "</x:row><x:row r='3'/></x:sheetData>"));
  Sheet sheet(part, 1);
  EXPECT_STREQ(sheet.FindCell({1, 2}).child_value("x:v"), "3");
  sheet.FindOrAddCell({2, 1});
  sheet.FindOrAddCell({1, 4});
  EXPECT_EQ(XmlOf(part.document_element().first_child()),
            "<x:sheetData><x:row r='1'><x:c r='A1'><x:v>1</x:v></x:c><x:c r='B1'><x:v>3</x:v>"
            "</x:c><x:c r='D1'/></x:row><x:row r='2'><x:c r='A2'/></x:row><x:row r='3'/>"
            "</x:sheetData>");
}

TEST(SheetTest, NewCellsTakeRowOrColumnStyle) {
  pugi::xml_document part;
  LoadPart(&part, Worksheet("<x:cols><x:col min='2' max='3' style='7'/></x:cols><x:sheetData>"
                            "<x:row r='1' s='5' customFormat='1'/><x:row r='2' s='6'/>"
                            "</x:sheetData>"));
  Sheet sheet(part, 1);
  EXPECT_EQ(sheet.StyleOf({1, 2}), 5u);  // a custom row format wins
  EXPECT_EQ(sheet.StyleOf({2, 2}), 7u);  // a row style without customFormat does not
  EXPECT_EQ(sheet.StyleOf({2, 4}), 0u);
  EXPECT_STREQ(sheet.FindOrAddCell({2, 3}).attribute("s").value(), "7");
  EXPECT_FALSE(sheet.FindOrAddCell({9, 1}).attribute("s"));
}

TEST(SheetTest, CreatesSheetDataWhereTheSchemaPutsIt) {
  pugi::xml_document part;
  LoadPart(&part, Worksheet("<x:sheetViews/><x:pageMargins/>"));
  Sheet sheet(part, 1);
  sheet.FindOrAddCell({1, 1});
  EXPECT_EQ(XmlOf(part.document_element()),
            Worksheet("<x:sheetViews/><x:sheetData><x:row r='1'><x:c r='A1'/></x:row>"
                      "</x:sheetData><x:pageMargins/>"));
}

}  // namespace
}  // namespace ovc::excel
