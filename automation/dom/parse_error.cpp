#include "automation/dom/parse_error.h"

namespace ovc::dom {

namespace {

template <class T>
HRESULT Copy(const T& field, T* out) {
  if (out == nullptr) return E_POINTER;
  *out = field;
  return S_OK;
}

}  // namespace

HRESULT ParseError::get_errorCode(int32_t* code) { return Copy(info_.code, code); }
HRESULT ParseError::get_url(std::wstring* url) { return Copy(info_.url, url); }
HRESULT ParseError::get_reason(std::wstring* reason) { return Copy(info_.reason, reason); }
HRESULT ParseError::get_srcText(std::wstring* text) { return Copy(info_.source_text, text); }
HRESULT ParseError::get_line(int32_t* line) { return Copy(info_.line, line); }
HRESULT ParseError::get_linepos(int32_t* position) { return Copy(info_.line_position, position); }
HRESULT ParseError::get_filepos(int32_t* position) { return Copy(info_.file_position, position); }

}  // namespace ovc::dom
