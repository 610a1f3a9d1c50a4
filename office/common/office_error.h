#pragma once

#include <string>
#include <string_view>

#include "automation/guid.h"
#include "automation/hresult.h"

namespace ovc::office {

// Sets the thread's error object (`source` the application's ProgID,
// interface `iid`, `description` in UTF-8) and returns `code`.
HRESULT Fail(HRESULT code, std::wstring_view source, const IID& iid, std::string_view description);

// "<file>: <where>: <reason>", the form of every description about a
// document ("Book.xlsx: Sheet1!C10: locked cell on a protected sheet");
// "<file>: <reason>" when `where` is empty.
std::string Describe(std::string_view file, std::string_view where, std::string_view reason);

}  // namespace ovc::office
