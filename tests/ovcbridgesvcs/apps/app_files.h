#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "automation/text.h"
#include "office/excel/registration.h"
#include "office/word/registration.h"
#include "ovcbridgesvcs/frame/working_folder.h"
#include "tests/automation/temp_dir.h"
#include "tests/office/office_test_support.h"
#include "tests/ovcbridgesvcs/frame/library_registered.h"

namespace ovc::apps_testing {

// While it lives: the library's classes and the spreadsheet engine are
// registered, and the working folder is "work" in a fresh folder.
class AppFiles {
 public:
  AppFiles() {
    EXPECT_EQ(excel::RegisterExcelClasses(), S_OK);
    EXPECT_EQ(word::RegisterWordClasses(), S_OK);
    SetWorkingFolderService(std::make_shared<FixedFolder>(work()));
  }
  ~AppFiles() { SetWorkingFolderService(nullptr); }
  AppFiles(const AppFiles&) = delete;
  AppFiles& operator=(const AppFiles&) = delete;

  // The file `relative` in the fresh folder, made with its folders as a
  // copy of the fixture bookmarks.docx (for a ".docx") or cells.xlsx unless
  // it exists.
  std::wstring File(const std::string& relative) const {
    const std::filesystem::path path = dir_.path() / relative;
    std::filesystem::create_directories(path.parent_path());
    if (!std::filesystem::exists(path)) {
      const bool document = path.extension() == ".docx";
      std::filesystem::copy_file(
          office::testing::FixturePath(document ? "bookmarks.docx" : "cells.xlsx"), path);
    }
    return FromUtf8(path.string());
  }
  std::filesystem::path work() const { return dir_.path() / "work"; }

 private:
  struct FixedFolder final : WorkingFolderService {
    explicit FixedFolder(std::filesystem::path folder) : folder(std::move(folder)) {}
    std::filesystem::path Folder() override { return folder; }
    std::filesystem::path folder;
  };

  files_testing::TempDir dir_;
  frame_testing::LibraryRegistered library_;
};

}  // namespace ovc::apps_testing
