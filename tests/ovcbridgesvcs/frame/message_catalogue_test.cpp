#include "ovcbridgesvcs/frame/message_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace ovc {
namespace {

// Every message of the resource file is in the catalogue, and nothing else.
TEST(MessageCatalogueTest, HoldsEveryMessageOfTheResourceFile) {
  const std::filesystem::path source(__FILE__);
  std::ifstream file(source.parent_path() / "../../../ovcbridgesvcs/resources/messages.txt");
  ASSERT_TRUE(file.is_open());
  int in_file = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    ++in_file;
    EXPECT_TRUE(FindMessage(static_cast<uint32_t>(std::stoul(line)))) << line;
  }
  int in_catalogue = 0;
  for (uint32_t number = 0; number <= 0xFFFF; ++number) in_catalogue += FindMessage(number) ? 1 : 0;
  EXPECT_EQ(in_catalogue, in_file);
}

TEST(MessageCatalogueTest, TextsAreKeptExactly) {
  EXPECT_EQ(LoadMessage(1118), L"Write to application:  ");
  EXPECT_EQ(LoadMessage(1208),
            L"CO_E_CLASSSTRING from CLSIDFromProgID, likely the \"Excel.application\" ProgID is "
            L"invalid.");
  EXPECT_EQ(LoadMessage(1298), L"\r\nValidating Target Bridge\r\n");
  EXPECT_EQ(LoadMessage(1282), L"Unknown Error");
}

}  // namespace
}  // namespace ovc
