#pragma once

#include <string_view>

#include "office/common/office_object.h"

namespace ovc::word {

// The source of every error object the application leaves.
inline constexpr std::wstring_view kErrorSource = L"Word.Application";

// The base of every object of the word processor (see office::OfficeObject);
// its error objects name "Word.Application".
template <class I, class... Extra>
class WordObject : public office::OfficeObject<I, Extra...> {
 protected:
  WordObject() : office::OfficeObject<I, Extra...>(kErrorSource) {}
};

}  // namespace ovc::word
