#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "automation/variant.h"

namespace ovc {

// Bounds of one dimension of a safe array.
struct SafeArrayBound {
  int32_t lower = 0;
  uint32_t count = 0;
};

// A safe array: any number of dimensions, each with its own lower bound, of
// elements of one type (a scalar type or VT_VARIANT). Elements are kept as
// Variants of the element type in column-major order (the first dimension
// varies fastest). Indices are given in dimension order, the first index for
// the first dimension.
class SafeArray {
 public:
  // Elements start as the zero value of the element type (empty for
  // VT_VARIANT, the empty text for VT_BSTR, null for interfaces). An invalid
  // element type or no dimensions give an empty one-dimensional array of
  // VT_VARIANT; construct through Create to see the failure.
  SafeArray(VARTYPE element_type, std::vector<SafeArrayBound> bounds);

  // Checked construction: E_INVALIDARG for no dimensions, DISP_E_BADVARTYPE
  // for an element type that is not a scalar or VT_VARIANT, E_OUTOFMEMORY when
  // the element count overflows.
  static HRESULT Create(VARTYPE element_type, std::vector<SafeArrayBound> bounds,
                        SafeArray* result);

  // A one-dimensional array of `count` elements from `lower`.
  static SafeArray Vector(VARTYPE element_type, uint32_t count, int32_t lower = 0);
  // A one-dimensional array of VT_VARIANT (or of `element_type`) holding the
  // given values from lower bound 0; each value is converted to the element
  // type (values that do not convert are stored as VT_ERROR with the code).
  static SafeArray FromValues(std::vector<Variant> values, VARTYPE element_type = VT_VARIANT);

  VARTYPE element_type() const { return element_type_; }
  uint32_t dimensions() const { return static_cast<uint32_t>(bounds_.size()); }
  const std::vector<SafeArrayBound>& bounds() const { return bounds_; }
  // Bounds of dimension `dimension` (1-based); DISP_E_BADINDEX when there is
  // no such dimension.
  HRESULT LowerBound(uint32_t dimension, int32_t* lower) const;
  HRESULT UpperBound(uint32_t dimension, int32_t* upper) const;
  size_t size() const { return elements_.size(); }

  // Copies out the element at `indices` (one per dimension). DISP_E_BADINDEX
  // for a wrong number of indices or an index out of its bounds.
  HRESULT GetElement(std::span<const int32_t> indices, Variant* value) const;
  // Stores `value` converted to the element type. DISP_E_BADINDEX as above;
  // the conversion's failure (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW) leaves
  // the element unchanged.
  HRESULT PutElement(std::span<const int32_t> indices, const Variant& value);

  // Direct access to the elements in storage order. Writers keep every
  // element of the element type (any type for VT_VARIANT).
  std::span<Variant> data() { return elements_; }
  std::span<const Variant> data() const { return elements_; }

  friend bool operator==(const SafeArray& a, const SafeArray& b);

 private:
  HRESULT Offset(std::span<const int32_t> indices, size_t* offset) const;

  VARTYPE element_type_ = VT_VARIANT;
  std::vector<SafeArrayBound> bounds_;
  std::vector<Variant> elements_;
};

}  // namespace ovc
