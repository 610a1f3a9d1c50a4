#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "automation/hresult.h"

namespace ovc::registry_testing {

// The data of value `name` of `key` in `registry` (a RegistryTree or the
// RegistryStore); empty, with a failed expectation, when it is missing.
template <class Registry>
std::wstring ValueOf(const Registry& registry, const std::wstring& key,
                     std::wstring_view name = L"") {
  std::wstring data;
  EXPECT_EQ(registry.GetValue(key, name, &data), S_OK) << key;
  return data;
}

}  // namespace ovc::registry_testing
