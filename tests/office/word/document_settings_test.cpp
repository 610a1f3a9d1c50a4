#include "office/word/document_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/office/common/xml_part.h"

namespace ovc::word {
namespace {

using office::testing::LoadPart;
using office::testing::XmlOf;

constexpr std::string_view kOpen =
    "<w:settings xmlns:w='http://schemas.openxmlformats.org/wordprocessingml/2006/main'>";

std::string Settings(std::string_view content) {
  return std::string(kOpen) + std::string(content) + "</w:settings>";
}

TEST(DocumentSettingsTest, ReadsTheProtectionType) {
  const struct {
    std::string_view element;
    int32_t type;
  } cases[] = {
      {"<w:documentProtection w:edit='forms' w:enforcement='1'/>", kAllowOnlyFormFields},
      {"<w:documentProtection w:edit='readOnly' w:enforcement='true'/>", kAllowOnlyReading},
      {"<w:documentProtection w:edit='comments' w:enforcement='on'/>", kAllowOnlyComments},
      {"<w:documentProtection w:edit='forms' w:enforcement='0'/>", kNoProtection},
      {"<w:documentProtection w:edit='none' w:enforcement='1'/>", kNoProtection},
  };
  for (const auto& c : cases) {
    pugi::xml_document part;
    LoadPart(&part, Settings(c.element));
    EXPECT_EQ(DocumentSettings(&part, nullptr).ProtectionType(), c.type) << c.element;
  }
}

TEST(DocumentSettingsTest, NewProtectionGoesInSchemaOrderAndHashesItsPassword) {
  pugi::xml_document part;
  LoadPart(&part, Settings("<w:zoom/><w:defaultTabStop w:val='720'/>"));
  DocumentSettings settings(&part, nullptr);
  std::string reason;
  const std::wstring password = L"p\x00e4ss";
  const std::wstring wrong = L"pass";
  ASSERT_EQ(settings.Protect(kAllowOnlyReading, &password, &reason), S_OK) << reason;
  const pugi::xml_node added = part.document_element().child("w:zoom").next_sibling();
  EXPECT_STREQ(added.attribute("w:algorithmName").value(), "SHA-512");
  EXPECT_EQ(settings.Unprotect(&wrong, &reason), E_ACCESSDENIED);
  EXPECT_EQ(settings.Unprotect(&password, &reason), S_OK) << reason;
  EXPECT_EQ(settings.Protect(7, nullptr, &reason), E_INVALIDARG);
  // Another type than the one removed: a new element, without a hash.
  ASSERT_EQ(settings.Protect(kAllowOnlyComments, nullptr, &reason), S_OK);
  EXPECT_EQ(XmlOf(part.document_element().child("w:documentProtection")),
            "<w:documentProtection w:edit='comments' w:enforcement='1'/>");
}

// Where the main namespace is the default one, new attributes still need a
// prefix bound to it: one is declared, another name when "w" is taken. An
// element taken out by Unprotect is put back by Protect as it was.
TEST(DocumentSettingsTest, ProtectionInADefaultNamespacePart) {
  const struct {
    std::string_view root;
    std::string_view attributes;
  } cases[] = {
      {"<settings xmlns='http://schemas.openxmlformats.org/wordprocessingml/2006/main'>",
       "w:edit='comments' w:enforcement='1'"},
      {"<settings xmlns='http://schemas.openxmlformats.org/wordprocessingml/2006/main' "
       "xmlns:w='urn:other'>",
       "w1:edit='comments' w1:enforcement='1'"},
  };
  const std::wstring password = L"secret";
  for (const auto& c : cases) {
    pugi::xml_document part;
    LoadPart(&part, std::string(c.root) + "<zoom/></settings>");
    DocumentSettings settings(&part, nullptr);
    std::string reason;
    ASSERT_EQ(settings.Protect(kAllowOnlyComments, nullptr, &reason), S_OK) << reason;
    EXPECT_EQ(XmlOf(part.document_element().child("documentProtection")),
              "<documentProtection " + std::string(c.attributes) + "/>")
        << c.root;
    ASSERT_EQ(settings.Unprotect(nullptr, &reason), S_OK);
    ASSERT_EQ(settings.Protect(kAllowOnlyComments, &password, &reason), S_OK);
    const std::string written = XmlOf(part);
    ASSERT_EQ(settings.Unprotect(&password, &reason), S_OK) << reason;
    ASSERT_EQ(settings.Protect(kAllowOnlyComments, &password, &reason), S_OK);
    EXPECT_EQ(XmlOf(part), written);  // the same salt and hash
    pugi::xml_document reloaded;
    LoadPart(&reloaded, written);
    EXPECT_EQ(DocumentSettings(&reloaded, nullptr).ProtectionType(), kAllowOnlyComments);
  }
}

TEST(DocumentSettingsTest, TrackingIsPutBackAsItWasAndKeptByProtection) {
  const std::string original =
      Settings("<w:zoom/><w:trackRevisions/><w:defaultTabStop w:val='720'/>");
  pugi::xml_document part;
  LoadPart(&part, original);
  DocumentSettings settings(&part, nullptr);
  std::string reason;
  ASSERT_EQ(settings.SetTrackRevisions(false, &reason), S_OK);
  EXPECT_FALSE(settings.TrackRevisions());
  ASSERT_EQ(settings.SetTrackRevisions(true, &reason), S_OK);
  EXPECT_EQ(XmlOf(part), original);

  LoadPart(&part, Settings("<w:documentProtection w:edit='trackedChanges' w:enforcement='1'/>"));
  DocumentSettings protected_settings(&part, nullptr);
  EXPECT_TRUE(protected_settings.TrackRevisions());
  EXPECT_EQ(protected_settings.SetTrackRevisions(false, &reason), E_ACCESSDENIED);
}

// Unprotect then Protect puts the element back where the producer had it,
// in schema order or not (LibreOffice writes it last, with empty hash
// attributes when there is no password).
TEST(DocumentSettingsTest, ProtectionIsPutBackWhereItWas) {
  const std::string libreoffice =
      "<w:documentProtection w:edit='forms' w:enforcement='1' w:cryptProviderType='rsaAES' "
      "w:cryptAlgorithmSid='' w:cryptSpinCount='0' w:hash='' w:salt=''/>";
  const std::string plain = "<w:documentProtection w:edit='forms' w:enforcement='1'/>";
  const std::string cases[] = {
      "<w:zoom/>" + plain + "<w:defaultTabStop w:val='720'/>",
      "<w:zoom/><w:compat/>" + libreoffice + "<w:themeFontLang/>",
      "<w:zoom/><w:compat/>" + plain,
      plain + "<w:zoom/>",
  };
  for (const std::string& content : cases) {
    pugi::xml_document part;
    LoadPart(&part, Settings(content));
    DocumentSettings settings(&part, nullptr);
    std::string reason;
    ASSERT_EQ(settings.Unprotect(nullptr, &reason), S_OK) << reason << content;
    ASSERT_EQ(settings.Protect(kAllowOnlyFormFields, nullptr, &reason), S_OK) << reason;
    EXPECT_EQ(XmlOf(part), Settings(content));
  }
}

// A spin count that is no number up to the word processor's limit is refused
// before any hashing (4294967295 rounds would take more than an hour).
TEST(DocumentSettingsTest, RefusesSpinCountsPastTheLimit) {
  for (const char* count : {"-1", "many", "10000001", "4294967295"}) {
    pugi::xml_document part;
    LoadPart(&part, Settings(std::string("<w:documentProtection w:edit='forms' w:enforcement='1' "
                                         "w:algorithmName='SHA-512' w:hashValue='AAAA' "
                                         "w:saltValue='AAAA' w:spinCount='") +
                             count + "'/>"));
    DocumentSettings settings(&part, nullptr);
    const std::wstring password = L"secret";
    std::string reason;
    ASSERT_EQ(settings.Unprotect(&password, &reason), E_NOTIMPL) << count;
    EXPECT_EQ(reason, "the protection password is hashed with a spin count of '" +
                          std::string(count) + "', which is not one from 0 to 10000000");
  }
}

TEST(DocumentSettingsTest, MakesThePartWhenFirstNeeded) {
  pugi::xml_document made;
  int calls = 0;
  DocumentSettings settings(nullptr, [&] {
    ++calls;
    return &made;
  });
  std::string reason;
  EXPECT_EQ(settings.Unprotect(nullptr, &reason), S_OK);
  EXPECT_EQ(calls, 0);
  ASSERT_EQ(settings.SetTrackRevisions(true, &reason), S_OK);
  ASSERT_EQ(settings.Protect(kAllowOnlyFormFields, nullptr, &reason), S_OK);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(XmlOf(made), Settings("<w:trackRevisions/><w:documentProtection w:edit='forms' "
                                  "w:enforcement='1'/>"));
}

}  // namespace
}  // namespace ovc::word
