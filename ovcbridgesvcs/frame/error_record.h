#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/hresult.h"

namespace ovc {

// One error record of an error chain, a line of the form
//   <OVError Desc="..." Src="..." HR="0x80040454" />
// Attributes are written in the order they are added, each as name, '=',
// the value in double quotes and one space; double quotes inside a value are
// written as single quotes.
class ErrorRecord {
 public:
  ErrorRecord();

  // Appends an attribute; an empty value is left out.
  ErrorRecord& Add(std::wstring_view name, std::wstring_view value);
  // Appends HR, which every record has (see HrAttributeValue).
  ErrorRecord& AddHr(HRESULT code);
  // Appends File (the last two components of `path`) and Line.
  ErrorRecord& AddLocation(std::wstring_view path, int32_t line);

  // The finished record, ending in "/>".
  std::wstring Finish() const;

 private:
  std::wstring text_;
};

// An error description is a chain of records when it begins with "<OVError";
// any other description is a foreign text.
bool IsErrorChain(std::wstring_view description);

// The records of a chain are joined by this separator, newest first.
inline constexpr std::wstring_view kRecordSeparator = L"\r\n";

// The HR value of a code: the symbolic name of E_NOTIMPL, E_NOINTERFACE,
// E_POINTER, E_FAIL, E_UNEXPECTED, E_ACCESSDENIED, E_OUTOFMEMORY and
// E_INVALIDARG, otherwise "0x" and the code in lower-case hexadecimal
// without leading zeros.
std::wstring HrAttributeValue(HRESULT code);

// The File value: the last two components of a path ("bridge/bridge.cpp"),
// separated as in the path ('/' or '\'); the whole path when it has fewer.
std::wstring FileAttributeValue(std::wstring_view path);

// A foreign description is returned whole; for a chain, the value of the
// first Desc attribute (empty when no record has one).
std::wstring ExtractDesc(std::wstring_view description);

// The system's text for a code without a trailing line break, or
// "Unknown error 0x" and the code in upper-case hexadecimal when the system
// has none.
std::wstring MessageText(HRESULT code);

}  // namespace ovc
