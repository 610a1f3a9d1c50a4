#pragma once

#include <zip.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "office/package/package.h"

// Opening packages, and zip archives written and read raw, for the package
// tests.
namespace ovc::office::testing {

inline std::unique_ptr<Package> OpenOrFail(const std::string& path,
                                           const OpenOptions& options = {}) {
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<Package> package = Package::Open(path, options, &error, &code);
  EXPECT_NE(package, nullptr) << error;
  return package;
}

// The error of an open that must fail with `expected`.
inline std::string OpenError(const std::string& path, HRESULT expected,
                             const OpenOptions& options = {}) {
  std::string error;
  HRESULT code = S_OK;
  EXPECT_EQ(Package::Open(path, options, &error, &code), nullptr) << path;
  EXPECT_EQ(code, expected) << path << ": " << error;
  return error;
}

struct ZipEntry {
  std::string name;
  std::string content;  // deflated
};

inline void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const ZipEntry& entry : entries) {
    zip_source_t* source =
        zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
    const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, 0);
    ASSERT_GE(index, 0) << entry.name;
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

// [Content_Types].xml typing .rels and .xml parts, then `overrides`
// (Override elements).
inline std::string ContentTypes(const std::string& overrides = "") {
  return "<Types xmlns='http://schemas.openxmlformats.org/package/2006/content-types'>"
         "<Default Extension='rels' "
         "ContentType='application/vnd.openxmlformats-package.relationships+xml'/>"
         "<Default Extension='xml' ContentType='application/xml'/>" +
         overrides + "</Types>";
}

// A relationships part holding `relationships` (Relationship elements).
inline std::string Relationships(const std::string& relationships) {
  return "<Relationships xmlns='http://schemas.openxmlformats.org/package/2006/relationships'>" +
         relationships + "</Relationships>";
}

// A Relationship element of a type of the office document namespace ("worksheet").
inline std::string Relationship(const std::string& id, const std::string& type,
                                const std::string& target) {
  return "<Relationship Id='" + id +
         "' Type='http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + type +
         "' Target='" + target + "'/>";
}

// A package of the minimal parts with `main` as /doc.xml and the extra entries.
inline void WritePackage(const std::string& path, const std::string& main,
                         std::vector<ZipEntry> extra = {},
                         const std::string& relationships_extra = "") {
  std::vector<ZipEntry> entries = {
      {"[Content_Types].xml", ContentTypes()},
      {"_rels/.rels",
       Relationships(Relationship("rId1", "officeDocument", "doc.xml") + relationships_extra)},
      {"doc.xml", main}};
  entries.insert(entries.end(), extra.begin(), extra.end());
  WriteZip(path, entries);
}

// One entry as stored: its name, method, CRC and its bytes, compressed as
// stored or inflated.
struct RawEntry {
  std::string name;
  int method = 0;
  uint32_t crc = 0;
  std::string bytes;
  bool operator==(const RawEntry&) const = default;
};

// The entries of a zip archive in their order; empty (and a test failure
// recorded) when it is no readable zip.
inline std::vector<RawEntry> RawEntries(const std::string& path, bool inflated = false) {
  std::vector<RawEntry> entries;
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  EXPECT_NE(archive, nullptr) << path;
  if (archive == nullptr) return entries;
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    zip_stat_t status;
    zip_stat_index(archive, index, 0, &status);
    const zip_uint64_t size = inflated ? status.size : status.comp_size;
    RawEntry entry{status.name, status.comp_method, status.crc, std::string(size, '\0')};
    zip_file_t* file = zip_fopen_index(archive, index, inflated ? 0 : ZIP_FL_COMPRESSED);
    EXPECT_EQ(size > 0 ? zip_fread(file, entry.bytes.data(), size) : 0,
              static_cast<zip_int64_t>(size))
        << status.name;
    zip_fclose(file);
    entries.push_back(std::move(entry));
  }
  zip_discard(archive);
  return entries;
}

}  // namespace ovc::office::testing
