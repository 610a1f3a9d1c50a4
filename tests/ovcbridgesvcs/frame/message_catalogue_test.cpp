#include "ovcbridgesvcs/frame/message_catalogue.h"

#include <gtest/gtest.h>

namespace ovc {
namespace {

// Quotes, line breaks and trailing spaces of the resource file survive.
TEST(MessageCatalogueTest, TextsAreKeptExactly) {
  EXPECT_EQ(LoadMessage(1118), L"Write to application:  ");
  EXPECT_EQ(LoadMessage(1208),
            L"CO_E_CLASSSTRING from CLSIDFromProgID, likely the \"Excel.application\" ProgID is "
            L"invalid.");
  EXPECT_EQ(LoadMessage(1298), L"\r\nValidating Target Bridge\r\n");
  EXPECT_FALSE(FindMessage(0xFFFF));
}

}  // namespace
}  // namespace ovc
