#include "automation/dom/typed_value.h"

#include "automation/dom/dom_error.h"
#include "automation/number_text.h"

namespace ovc::dom {

HRESULT TypedValueText(const Variant& value, std::wstring* text) {
  const Variant plain = value.Dereferenced();
  switch (plain.vt()) {
    case VT_EMPTY:
    case VT_NULL:
      text->clear();
      return S_OK;
    case VT_BSTR:
      *text = plain.bstr();
      return S_OK;
    case VT_I2:
      *text = std::to_wstring(plain.i2());
      return S_OK;
    case VT_I4:
      *text = std::to_wstring(plain.i4());
      return S_OK;
    case VT_I8:
      *text = FixedPointText(plain.i8(), 0);
      return S_OK;
    case VT_CY:
      *text = FixedPointText(plain.cy().int64, 4);
      return S_OK;
    case VT_R8:
      *text = DoubleToRoundTripText(plain.r8());
      return S_OK;
    case VT_DATE:
      *text = DoubleToRoundTripText(plain.date());
      return S_OK;
    case VT_BOOL:
      *text = plain.boolVal() != VARIANT_FALSE ? L"1" : L"0";
      return S_OK;
    default:
      return DomError(DISP_E_TYPEMISMATCH, L"A value of type " + VarTypeName(plain.vt()) +
                                               L" cannot be stored as text in an XML document.");
  }
}

}  // namespace ovc::dom
