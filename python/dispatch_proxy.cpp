#include "python/dispatch_proxy.h"

#include <iterator>
#include <set>
#include <vector>

#include "automation/enum_variant.h"
#include "automation/text.h"
#include "python/com_error.h"
#include "python/property_value.h"
#include "python/value_mapping.h"

namespace ovc::python {
namespace {

// What reading member `id` as an attribute gives: a property get without
// parameters gives its value; one whose parameters are all optional a
// PropertyValue, its value that can be called with arguments; anything else
// a callable.
enum class Reading { kValue, kCallableValue, kCallable };

Reading ReadingOf(const InterfaceInfo& info, DISPID id) {
  const MemberInfo* get = info.Find(id, MemberKind::kPropertyGet);
  if (get == nullptr || info.Find(id, MemberKind::kMethod) != nullptr) return Reading::kCallable;
  Reading reading = Reading::kValue;
  for (const ParamInfo& param : get->params) {
    if (param.is_retval()) continue;
    if (param.is_out() || !param.is_optional()) return Reading::kCallable;
    reading = Reading::kCallableValue;
  }
  return reading;
}

// The values a call hands back: [retval] first, then [out] values in order.
py::object CollectResults(const MemberInfo* member, const Variant& result,
                          const std::vector<Variant>& outputs) {
  const bool has_retval =
      member != nullptr && !member->params.empty() && member->params.back().is_retval();
  if (outputs.empty()) return has_retval || member == nullptr ? FromVariant(result) : py::none();
  py::list values;
  if (has_retval) values.append(FromVariant(result));
  for (const Variant& output : outputs) values.append(FromVariant(output));
  return py::tuple(values);
}

// The position of the parameter that `keyword` names in member `member`,
// which is its DISPID as a named argument.
DISPID PositionOfKeyword(IDispatch* object, const std::wstring& member,
                         const std::wstring& keyword) {
  const std::wstring names[] = {member, keyword};
  DISPID ids[] = {DISPID_UNKNOWN, DISPID_UNKNOWN};
  const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 2, 0, ids);
  if (hr == DISP_E_UNKNOWNNAME || ids[1] < 0) {
    throw py::type_error(ToUtf8(member) + "() got an unexpected keyword argument '" +
                         ToUtf8(keyword) + "'");
  }
  Check(hr);
  return ids[1];
}

// The declared type of parameter `position` of `member`; VT_VARIANT when
// there is no such parameter.
VARTYPE DeclaredType(const MemberInfo* member, size_t position) {
  if (member == nullptr || position >= member->params.size()) return VT_VARIANT;
  return member->params[position].vt;
}

}  // namespace

DispatchProxy::DispatchProxy(ComPtr<IDispatch> object) : object_(std::move(object)) {
  if (!object_) throw py::value_error("Dispatch needs an object");
}

const InterfaceInfo* DispatchProxy::Describe() const {
  uint32_t count = 0;
  const InterfaceInfo* info = nullptr;
  if (Failed(object_->GetTypeInfoCount(&count)) || count == 0) return nullptr;
  if (Failed(object_->GetTypeInfo(0, 0, &info))) return nullptr;
  return info;
}

DISPID DispatchProxy::IdOfName(const std::wstring& name) const {
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = object_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
  if (hr == DISP_E_UNKNOWNNAME) throw py::attribute_error(ToUtf8(L"no member " + name));
  Check(hr);
  return id;
}

py::object DispatchProxy::GetAttribute(const std::wstring& name) const {
  const DISPID id = IdOfName(name);
  const InterfaceInfo* info = Describe();
  const Reading reading = info != nullptr ? ReadingOf(*info, id) : Reading::kCallable;
  if (reading == Reading::kValue) return Call(name, DISPATCH_PROPERTYGET, py::args());
  DispatchProxy self = *this;
  py::cpp_function call([self, name](const py::args& args, const py::kwargs& keywords) {
    return self.Call(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, keywords);
  });
  if (reading == Reading::kCallable) return call;
  return MakePropertyValue(Call(name, DISPATCH_PROPERTYGET, py::args()), std::move(call));
}

void DispatchProxy::SetAttribute(const std::wstring& name, py::handle value) const {
  const DISPID id = IdOfName(name);
  const InterfaceInfo* info = Describe();
  const MemberInfo* setter = info != nullptr ? info->Find(id, MemberKind::kPropertyPut) : nullptr;
  const size_t value_position = setter != nullptr ? setter->params.size() - 1 : 0;
  Variant argument = ToArgument(value, DeclaredType(setter, value_position));
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &put, 1, 1};
  const uint16_t flags =
      argument.vt() == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
  Check(object_->Invoke(id, IID_NULL, 0, flags, &params, nullptr, nullptr, nullptr));
}

py::object DispatchProxy::Call(const std::wstring& name, uint16_t flags, const py::args& args,
                               const py::kwargs& keywords) const {
  return CallById(IdOfName(name), name, flags, args, keywords);
}

py::object DispatchProxy::CallDefault(const py::args& args, const py::kwargs& keywords) const {
  const InterfaceInfo* info = Describe();
  const MemberInfo* member = info != nullptr ? info->Find(DISPID_VALUE) : nullptr;
  const std::wstring name = member != nullptr ? std::wstring(member->name) : L"";
  return CallById(DISPID_VALUE, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, keywords);
}

py::object DispatchProxy::CallById(DISPID id, const std::wstring& name, uint16_t flags,
                                   const py::args& args, const py::kwargs& keywords) const {
  const InterfaceInfo* info = Describe();
  const MemberInfo* member = nullptr;
  if (info != nullptr) {
    if (flags & DISPATCH_METHOD) member = info->Find(id, MemberKind::kMethod);
    if (member == nullptr) member = info->Find(id, MemberKind::kPropertyGet);
  }
  // Arguments in natural order; each [out] parameter the caller leaves out
  // gets a by-reference slot whose value is handed back.
  std::vector<Variant> natural;
  std::vector<Variant> outputs;
  const size_t parameter_count = member != nullptr ? member->params.size() : args.size();
  outputs.reserve(parameter_count);
  size_t next_arg = 0;
  size_t covered = 0;  // parameters that the positional arguments reach
  for (; covered < parameter_count; ++covered) {
    const ParamInfo* param = member != nullptr ? &member->params[covered] : nullptr;
    if (param != nullptr && param->is_retval()) break;
    if (param != nullptr && param->is_out()) {
      outputs.emplace_back();
      natural.push_back(Variant::ByRef(&outputs.back()));
      continue;
    }
    if (next_arg >= args.size()) break;
    natural.push_back(ToArgument(args[next_arg++], DeclaredType(member, covered)));
  }
  if (next_arg < args.size()) {
    throw py::type_error(ToUtf8(name) + "() takes fewer arguments than were given");
  }
  // Keywords pass as named arguments, after them the [out] slots that the
  // positional arguments did not reach. Omitted optional ones are not passed.
  std::vector<Variant> named;
  std::vector<DISPID> named_ids;
  if (!keywords.empty()) {
    for (const auto& [keyword, value] : keywords) {
      const DISPID position = PositionOfKeyword(object_.get(), name, keyword.cast<std::wstring>());
      if (static_cast<size_t>(position) < covered) {
        throw py::type_error(ToUtf8(name) + "() got multiple values for argument '" +
                             keyword.cast<std::string>() + "'");
      }
      named.push_back(ToArgument(value, DeclaredType(member, static_cast<size_t>(position))));
      named_ids.push_back(position);
    }
    for (size_t p = covered; member != nullptr && p < parameter_count; ++p) {
      const ParamInfo& param = member->params[p];
      if (!param.is_out() || param.is_retval()) continue;
      outputs.emplace_back();
      named.push_back(Variant::ByRef(&outputs.back()));
      named_ids.push_back(static_cast<DISPID>(p));
    }
  }
  // DISPPARAMS holds the named arguments first, then the positional ones
  // from last to first.
  std::vector<Variant> passed = std::move(named);
  passed.insert(passed.end(), std::make_move_iterator(natural.rbegin()),
                std::make_move_iterator(natural.rend()));
  DISPPARAMS params{passed.data(), named_ids.data(), static_cast<uint32_t>(passed.size()),
                    static_cast<uint32_t>(named_ids.size())};
  Variant result;
  Check(object_->Invoke(id, IID_NULL, 0, flags, &params, &result, nullptr, nullptr));
  return CollectResults(member, result, outputs);
}

py::object DispatchProxy::Item(py::handle key) const {
  if (py::isinstance<py::str>(key)) return CallDefault(py::args(py::make_tuple(key)), {});
  if (py::isinstance<py::bool_>(key) || !PyIndex_Check(key.ptr())) {
    throw py::type_error("items are looked up by position or by name");
  }
  return Items().attr("__getitem__")(key);
}

size_t DispatchProxy::Length() const {
  const py::object count = Call(L"Count", DISPATCH_PROPERTYGET, py::args());
  return count.cast<size_t>();
}

py::list DispatchProxy::Items() const {
  Variant enumerator;
  DISPPARAMS none;
  const HRESULT hr =
      object_->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none,
                      &enumerator, nullptr, nullptr);
  py::list values;
  if (hr == DISP_E_MEMBERNOTFOUND) {
    const size_t count = Length();
    for (size_t index = 1; index <= count; ++index) {
      values.append(
          Call(L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, py::args(py::make_tuple(index))));
    }
    return values;
  }
  Check(hr);
  IUnknown* unknown = enumerator.vt() == VT_DISPATCH  ? enumerator.dispatch()
                      : enumerator.vt() == VT_UNKNOWN ? enumerator.unknown()
                                                      : nullptr;
  ComPtr<IEnumVARIANT> items;
  if (unknown == nullptr ||
      Failed(unknown->QueryInterface(IEnumVARIANT::kIid, items.ReceiveVoid()))) {
    throw py::type_error("the object's _NewEnum is not an enumerator");
  }
  for (;;) {
    Variant item;
    uint32_t fetched = 0;
    Check(items->Next(1, &item, &fetched));
    if (fetched == 0) break;
    values.append(FromVariant(item));
  }
  return values;
}

py::object DispatchProxy::Iterate() const { return Items().attr("__iter__")(); }

py::list DispatchProxy::MemberNames() const {
  const InterfaceInfo* info = Describe();
  std::set<std::wstring_view> names;
  if (info != nullptr) {
    for (const MemberInfo& member : info->members) names.insert(member.name);
  }
  py::list result;
  for (std::wstring_view name : names) result.append(py::cast(std::wstring(name)));
  return result;
}

size_t DispatchProxy::Hash() const {
  ComPtr<IUnknown> identity;
  object_->QueryInterface(IUnknown::kIid, identity.ReceiveVoid());
  return std::hash<IUnknown*>()(identity.get());
}

bool DispatchProxy::SameObject(const DispatchProxy& other) const {
  return IsSameObject(object_.get(), other.object_.get());
}

std::string DispatchProxy::Repr() const {
  const InterfaceInfo* info = Describe();
  return "<ovcbridge.Dispatch " + (info != nullptr ? ToUtf8(info->name) : "object") + ">";
}

void BindDispatch(py::module_& module) {
  py::class_<DispatchProxy>(module, "Dispatch", "A late-bound automation object.")
      .def("__getattr__",
           [](const DispatchProxy& self, const std::wstring& name) {
             if (name.starts_with(L"__")) throw py::attribute_error(ToUtf8(name));
             return self.GetAttribute(name);
           })
      .def("__setattr__", &DispatchProxy::SetAttribute)
      .def("__bool__", [](const DispatchProxy&) { return true; })
      .def("__call__", &DispatchProxy::CallDefault)
      .def("__getitem__", &DispatchProxy::Item)
      .def("__len__", &DispatchProxy::Length)
      .def("__iter__", &DispatchProxy::Iterate)
      .def("__dir__", &DispatchProxy::MemberNames)
      .def("__eq__",
           [](const DispatchProxy& a, py::handle b) -> py::object {
             // Anything else may compare itself with the object, as a
             // PropertyValue holding it does.
             if (!py::isinstance<DispatchProxy>(b)) {
               return py::reinterpret_borrow<py::object>(Py_NotImplemented);
             }
             return py::bool_(a.SameObject(b.cast<const DispatchProxy&>()));
           })
      .def("__hash__", &DispatchProxy::Hash)
      .def("__repr__", &DispatchProxy::Repr);
}

}  // namespace ovc::python
