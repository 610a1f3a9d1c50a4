#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "orvan/components/registration.h"
#include "tests/automation/late_bound.h"
#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan::testing {

using dispatch_testing::LateBound;

// The texts of a one-dimensional array of texts.
inline std::vector<std::wstring> Texts(const Variant& array) {
  std::vector<std::wstring> texts;
  if (!array.IsArray()) {
    ADD_FAILURE() << "not an array: " << ToUtf8(VarTypeName(array.vt()));
    return texts;
  }
  for (const Variant& element : array.array().data()) texts.push_back(element.bstr());
  return texts;
}

// (OID, name) of every entry of a list component from 1 to Count, read
// through the members `oid` and `name`.
inline std::vector<std::pair<int32_t, std::wstring>> Entries(LateBound& list, const wchar_t* oid,
                                                             const wchar_t* name) {
  std::vector<std::pair<int32_t, std::wstring>> entries;
  const int32_t count = list.Get(L"Count").i4();
  for (int32_t k = 1; k <= count; ++k) {
    entries.emplace_back(list.Get(oid, {Variant(k)}).i4(), list.Get(name, {Variant(k)}).bstr());
  }
  return entries;
}

// The pump workspace of orvan_test_support.h opened through a Workspace
// component by name.
class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegisterOrvanClasses(), S_OK);
    path_ = FromUtf8(dir_.File("plant.orvan"));
    NewPumpStore(dir_);
    workspace_ = LateBound::Create(L"Orvan.Workspace");
    ASSERT_EQ(workspace_.Call(L"Open", {Variant(path_)}), S_OK)
        << ToUtf8(workspace_.error().description);
  }

  TempDir dir_;
  std::wstring path_;
  LateBound workspace_;
};

}  // namespace ovc::orvan::testing
