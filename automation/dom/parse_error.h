#pragma once

#include <cstdint>
#include <string>

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/dom/msxml.h"

namespace ovc::dom {

// What the last load of a document reported. All zero and empty after a
// successful load.
struct ParseErrorInfo {
  HRESULT code = S_OK;
  std::wstring url;
  std::wstring reason;
  std::wstring source_text;   // the line the error stands in
  int32_t line = 0;           // from 1
  int32_t line_position = 0;  // from 1, in characters
  int32_t file_position = 0;  // characters before the error
};

// The parse error object of a document: a copy of what the last load
// reported, taken when the object was asked for.
class ParseError final : public ComObject<DispatchImpl<IXMLDOMParseError>> {
 public:
  explicit ParseError(ParseErrorInfo info) : info_(std::move(info)) {}

  HRESULT get_errorCode(int32_t* code) override;
  HRESULT get_url(std::wstring* url) override;
  HRESULT get_reason(std::wstring* reason) override;
  HRESULT get_srcText(std::wstring* text) override;
  HRESULT get_line(int32_t* line) override;
  HRESULT get_linepos(int32_t* position) override;
  HRESULT get_filepos(int32_t* position) override;

 private:
  const ParseErrorInfo info_;
};

}  // namespace ovc::dom
