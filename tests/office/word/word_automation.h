#pragma once

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "automation/late_call.h"
#include "automation/text.h"
#include "office/word/application.h"
#include "tests/office/office_test_support.h"

// Driving the word processor through late-bound calls, as the library does.
namespace ovc::word::testing {

using office::testing::Call;
using office::testing::Object;

// The range of a document's bookmark; null when there is none.
inline ComPtr<IDispatch> BookmarkRange(IDispatch* document, const wchar_t* bookmark) {
  return Object(Object(Object(document, L"Bookmarks").get(), L"Item", {Variant(bookmark)}).get(),
                L"Range");
}

class WordTest : public ::testing::Test {
 protected:
  WordTest() {
    office::Services services;
    services.prompt = [this](const std::string& file) {
      prompts_.push_back(file);
      return answer_;
    };
    application_ = MakeObject<Application>(std::move(services));
  }
  ~WordTest() override { application_ = nullptr; }

  ComPtr<IDispatch> Open(const std::string& path, std::vector<Variant> more = {}) {
    std::vector<Variant> args = {Variant(FromUtf8(path))};
    for (Variant& arg : more) args.push_back(std::move(arg));
    return Object(Documents().get(), L"Open", std::move(args));
  }
  ComPtr<IDispatch> Documents() { return Object(application_.get(), L"Documents"); }
  ComPtr<IDispatch> Selection() { return Object(application_.get(), L"Selection"); }
  ComPtr<IDispatch> SelectionRange() { return Object(Selection().get(), L"Range"); }

  office::testing::TempDir folder_;
  std::vector<std::string> prompts_;
  bool answer_ = false;
  ComPtr<IDispatch> application_;
};

}  // namespace ovc::word::testing
