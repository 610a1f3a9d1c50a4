#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>

#include "automation/variant.h"

namespace ovc::python {

namespace py = pybind11;

// Converters of single values, applied to everything that is not a list,
// tuple or array.
using ScalarToVariantFunction = Variant (*)(py::handle value);
using ScalarFromVariantFunction = py::object (*)(const Variant& value);

// How deeply lists and tuples may nest, and how many values they may hold in
// all (a value reached through several references counts each time).
inline constexpr int kMaxNesting = 64;
inline constexpr size_t kMaxValues = size_t{1} << 24;

// Python value to variant, without recursion. A list or tuple of equally
// long, non-empty lists or tuples (and so on down) becomes one array with a
// dimension for each such level, the outer list giving the first index; any
// other list or tuple becomes a one-dimensional array whose elements map by
// the same rule, so a ragged list of lists is an array of arrays. Arrays hold
// VT_VARIANT from lower bound 0. Everything else goes to `scalar`. Raises
// ValueError for a list or tuple that contains itself, one nested deeper than
// kMaxNesting, or more than kMaxValues values; errors of `scalar` propagate.
Variant SequencesToArrays(py::handle value, ScalarToVariantFunction scalar);

// Variant to Python value, without recursion: by-reference values are
// dereferenced; an array becomes nested tuples, the first index outermost
// (an array without elements becomes the empty tuple), its elements mapped
// the same way; everything else goes to `scalar`.
py::object ArraysToTuples(const Variant& value, ScalarFromVariantFunction scalar);

}  // namespace ovc::python
