#include "automation/safe_array.h"

#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "automation/conversion.h"

namespace ovc {

namespace {

// Checks the shape of an array and counts its elements.
HRESULT CountElements(VARTYPE element_type, const std::vector<SafeArrayBound>& bounds,
                      size_t* count) {
  if (bounds.empty()) return E_INVALIDARG;
  if (!IsArrayElementType(element_type)) return DISP_E_BADVARTYPE;
  size_t total = 1;
  for (const SafeArrayBound& bound : bounds) {
    const int64_t upper = int64_t{bound.lower} + bound.count - 1;
    if (upper > std::numeric_limits<int32_t>::max()) return E_INVALIDARG;
    if (__builtin_mul_overflow(total, size_t{bound.count}, &total)) return E_OUTOFMEMORY;
  }
  if (total > std::vector<Variant>().max_size()) return E_OUTOFMEMORY;
  *count = total;
  return S_OK;
}

}  // namespace

SafeArray::SafeArray(VARTYPE element_type, std::vector<SafeArrayBound> bounds) {
  size_t count = 0;
  if (Failed(CountElements(element_type, bounds, &count))) {
    bounds = {SafeArrayBound{}};
    element_type = VT_VARIANT;
  }
  element_type_ = element_type;
  bounds_ = std::move(bounds);
  elements_.assign(count, ZeroValue(element_type));
}

HRESULT SafeArray::Create(VARTYPE element_type, std::vector<SafeArrayBound> bounds,
                          SafeArray* result) {
  if (result == nullptr) return E_POINTER;
  size_t count = 0;
  const HRESULT hr = CountElements(element_type, bounds, &count);
  if (Failed(hr)) return hr;
  try {
    *result = SafeArray(element_type, std::move(bounds));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::length_error&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

SafeArray SafeArray::Vector(VARTYPE element_type, uint32_t count, int32_t lower) {
  return SafeArray(element_type, {SafeArrayBound{lower, count}});
}

SafeArray SafeArray::FromValues(std::vector<Variant> values, VARTYPE element_type) {
  SafeArray array = Vector(element_type, static_cast<uint32_t>(values.size()));
  for (size_t i = 0; i < values.size(); ++i) {
    Variant& element = array.elements_[i];
    const HRESULT hr = VariantChangeType(&element, values[i], 0, array.element_type_);
    if (Failed(hr)) element = Variant::Error(hr);
  }
  return array;
}

HRESULT SafeArray::LowerBound(uint32_t dimension, int32_t* lower) const {
  if (lower == nullptr) return E_POINTER;
  if (dimension == 0 || dimension > bounds_.size()) return DISP_E_BADINDEX;
  *lower = bounds_[dimension - 1].lower;
  return S_OK;
}

HRESULT SafeArray::UpperBound(uint32_t dimension, int32_t* upper) const {
  if (upper == nullptr) return E_POINTER;
  if (dimension == 0 || dimension > bounds_.size()) return DISP_E_BADINDEX;
  const SafeArrayBound& bound = bounds_[dimension - 1];
  *upper = static_cast<int32_t>(int64_t{bound.lower} + bound.count - 1);
  return S_OK;
}

HRESULT SafeArray::Offset(std::span<const int32_t> indices, size_t* offset) const {
  if (indices.size() != bounds_.size()) return DISP_E_BADINDEX;
  size_t result = 0;
  size_t stride = 1;
  for (size_t d = 0; d < bounds_.size(); ++d) {
    const int64_t relative = int64_t{indices[d]} - bounds_[d].lower;
    if (relative < 0 || relative >= int64_t{bounds_[d].count}) return DISP_E_BADINDEX;
    result += static_cast<size_t>(relative) * stride;
    stride *= bounds_[d].count;
  }
  *offset = result;
  return S_OK;
}

HRESULT SafeArray::GetElement(std::span<const int32_t> indices, Variant* value) const {
  if (value == nullptr) return E_POINTER;
  size_t offset = 0;
  const HRESULT hr = Offset(indices, &offset);
  if (Failed(hr)) return hr;
  *value = elements_[offset];
  return S_OK;
}

HRESULT SafeArray::PutElement(std::span<const int32_t> indices, const Variant& value) {
  size_t offset = 0;
  HRESULT hr = Offset(indices, &offset);
  if (Failed(hr)) return hr;
  return VariantChangeType(&elements_[offset], value, 0, element_type_);
}

bool operator==(const SafeArray& a, const SafeArray& b) {
  if (a.element_type_ != b.element_type_ || a.bounds_.size() != b.bounds_.size()) return false;
  for (size_t d = 0; d < a.bounds_.size(); ++d) {
    if (a.bounds_[d].lower != b.bounds_[d].lower || a.bounds_[d].count != b.bounds_[d].count) {
      return false;
    }
  }
  return a.elements_ == b.elements_;
}

}  // namespace ovc
