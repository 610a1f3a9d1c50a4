#include "python/array_mapping.h"

#include <deque>
#include <span>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "automation/safe_array.h"

namespace ovc::python {
namespace {

bool IsSequence(py::handle value) {
  return py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value);
}

// The storage offset (first index varying fastest) of the element at
// `position` in row-major order (last index varying fastest). Every
// dimension has at least one element.
size_t StorageOffset(size_t position, const std::vector<SafeArrayBound>& bounds) {
  size_t stride = 1;
  for (const SafeArrayBound& bound : bounds) stride *= bound.count;
  size_t offset = 0;
  for (size_t d = bounds.size(); d-- > 0;) {
    stride /= bounds[d].count;
    offset += (position % bounds[d].count) * stride;
    position /= bounds[d].count;
  }
  return offset;
}

// Converts nested lists and tuples level by level, keeping the arrays still
// to be filled on a stack instead of recursing.
class SequenceConverter {
 public:
  explicit SequenceConverter(ScalarToVariantFunction scalar) : scalar_(scalar) {}

  Variant Convert(py::handle sequence) {
    Variant result;
    Fill(Visit(py::reinterpret_borrow<py::object>(sequence), nullptr), &result);
    while (!pending_.empty()) {
      Pending next = std::move(pending_.back());
      pending_.pop_back();
      Fill(std::move(next.sequence), next.slot);
    }
    return result;
  }

 private:
  // A list or tuple on the way from the outermost one.
  struct Place {
    py::object sequence;
    const Place* parent;
    int depth;
  };
  // A value met while converting; for a list or tuple, its place and items.
  struct Entry {
    py::object value;
    const Place* place = nullptr;
    std::vector<py::object> items;
  };
  // A list or tuple whose array goes to `slot`, an element of an array
  // already made.
  struct Pending {
    Entry sequence;
    Variant* slot;
  };

  void CheckRoomFor(size_t values) const {
    if (values_ + values > kMaxValues) {
      throw py::value_error(fmt::format("sequence holds more than {} values", kMaxValues));
    }
  }

  // The depth of `sequence` inside `parent`; refuses a sequence that
  // encloses itself or nests too deeply.
  static int DepthOf(const py::object& sequence, const Place* parent) {
    for (const Place* place = parent; place != nullptr; place = place->parent) {
      if (place->sequence.is(sequence)) {
        throw py::value_error("cyclic sequence: it contains itself");
      }
    }
    const int depth = parent == nullptr ? 1 : parent->depth + 1;
    if (depth > kMaxNesting) {
      throw py::value_error(fmt::format("sequence nested deeper than {} levels", kMaxNesting));
    }
    return depth;
  }

  Entry Visit(py::object value, const Place* parent) {
    Entry entry{std::move(value), nullptr, {}};
    if (!IsSequence(entry.value)) return entry;
    entry.place = &places_.emplace_back(Place{entry.value, parent, DepthOf(entry.value, parent)});
    CheckRoomFor(py::len(entry.value));
    for (py::handle item : entry.value) {
      CheckRoomFor(1);
      ++values_;
      entry.items.push_back(py::reinterpret_borrow<py::object>(item));
    }
    return entry;
  }

  // The items of every row, visited, in row order. Refuses them before
  // gathering the next level when that level would exceed the value limit.
  std::vector<Entry> Children(const std::vector<Entry>& rows) {
    size_t count = 0;
    size_t incoming = 0;
    for (const Entry& row : rows) {
      count += row.items.size();
      for (const py::object& item : row.items) {
        if (IsSequence(item)) incoming += py::len(item);
      }
    }
    CheckRoomFor(incoming);
    std::vector<Entry> children;
    children.reserve(count);
    for (const Entry& row : rows) {
      for (const py::object& item : row.items) children.push_back(Visit(item, row.place));
    }
    return children;
  }

  // True when `entries` are lists or tuples of one length, at least one.
  static bool FormDimension(const std::vector<Entry>& entries) {
    if (entries.empty() || entries.front().items.empty()) return false;
    for (const Entry& entry : entries) {
      if (entry.place == nullptr || entry.items.size() != entries.front().items.size()) {
        return false;
      }
    }
    return true;
  }

  static SafeArrayBound BoundOf(const Entry& sequence) {
    return SafeArrayBound{0, static_cast<uint32_t>(sequence.items.size())};
  }

  void Fill(Entry sequence, Variant* slot) {
    std::vector<SafeArrayBound> bounds{BoundOf(sequence)};
    std::vector<Entry> rows;
    rows.push_back(std::move(sequence));
    std::vector<Entry> elements = Children(rows);
    while (FormDimension(elements)) {
      bounds.push_back(BoundOf(elements.front()));
      rows = std::move(elements);
      elements = Children(rows);
    }
    *slot = Variant(SafeArray(VT_VARIANT, bounds));
    std::span<Variant> storage = slot->array().data();
    for (size_t i = 0; i < elements.size(); ++i) {
      Variant* element = &storage[StorageOffset(i, bounds)];
      if (elements[i].place != nullptr) {
        pending_.push_back(Pending{std::move(elements[i]), element});
      } else {
        *element = scalar_(elements[i].value);
      }
    }
  }

  ScalarToVariantFunction scalar_;
  std::deque<Place> places_;
  std::vector<Pending> pending_;
  size_t values_ = 0;
};

// Builds the nested tuples of arrays one array at a time, keeping the arrays
// found inside elements on a stack instead of recursing.
class TupleBuilder {
 public:
  explicit TupleBuilder(ScalarFromVariantFunction scalar) : scalar_(scalar) {}

  py::object Build(const Variant& value) {
    const Variant& resolved = Resolve(value);
    if (!resolved.IsArray()) return scalar_(resolved);
    py::object result = Tuples(resolved.array());
    while (!pending_.empty()) {
      const Pending next = pending_.back();
      pending_.pop_back();
      PyTuple_SET_ITEM(next.tuple, next.index, Tuples(*next.array).release().ptr());
    }
    return result;
  }

 private:
  // An array whose tuples go to item `index` of `tuple`, a tuple of the
  // result still being filled.
  struct Pending {
    const SafeArray* array;
    PyObject* tuple;
    Py_ssize_t index;
  };

  const Variant& Resolve(const Variant& value) {
    const Variant* resolved = &value;
    while (resolved->IsByRef()) resolved = &dereferenced_.emplace_back(resolved->Dereferenced());
    return *resolved;
  }

  // The tuples of one array: one level of tuples per dimension, the first
  // dimension outermost. Elements that are arrays are queued.
  py::object Tuples(const SafeArray& array) {
    if (array.size() == 0) return py::tuple();
    const std::vector<SafeArrayBound>& bounds = array.bounds();
    std::vector<py::tuple> rows{py::tuple(bounds.front().count)};
    py::object outermost = rows.front();
    for (size_t d = 1; d < bounds.size(); ++d) {
      std::vector<py::tuple> inner;
      for (const py::tuple& row : rows) {
        for (uint32_t i = 0; i < bounds[d - 1].count; ++i) {
          inner.emplace_back(bounds[d].count);
          PyTuple_SET_ITEM(row.ptr(), i, inner.back().inc_ref().ptr());
        }
      }
      rows = std::move(inner);
    }
    size_t position = 0;
    for (const py::tuple& row : rows) {
      for (uint32_t i = 0; i < bounds.back().count; ++i) {
        Place(array.data()[StorageOffset(position++, bounds)], row.ptr(), i);
      }
    }
    return outermost;
  }

  void Place(const Variant& element, PyObject* tuple, Py_ssize_t index) {
    const Variant& value = Resolve(element);
    if (value.IsArray()) {
      pending_.push_back(Pending{&value.array(), tuple, index});
    } else {
      PyTuple_SET_ITEM(tuple, index, scalar_(value).release().ptr());
    }
  }

  ScalarFromVariantFunction scalar_;
  std::deque<Variant> dereferenced_;
  std::vector<Pending> pending_;
};

}  // namespace

Variant SequencesToArrays(py::handle value, ScalarToVariantFunction scalar) {
  if (!IsSequence(value)) return scalar(value);
  return SequenceConverter(scalar).Convert(value);
}

py::object ArraysToTuples(const Variant& value, ScalarFromVariantFunction scalar) {
  return TupleBuilder(scalar).Build(value);
}

}  // namespace ovc::python
