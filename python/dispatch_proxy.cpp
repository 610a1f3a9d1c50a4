#include "python/dispatch_proxy.h"

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
  const bool has_retval = member != nullptr && !member->params.empty() &&
                          member->params.back().is_retval();
  if (outputs.empty()) return has_retval || member == nullptr ? FromVariant(result) : py::none();
  py::list values;
  if (has_retval) values.append(FromVariant(result));
  for (const Variant& output : outputs) values.append(FromVariant(output));
  return py::tuple(values);
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
  py::cpp_function call([self, name](py::args args) {
    return self.Call(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
  });
  if (reading == Reading::kCallable) return call;
  return MakePropertyValue(Call(name, DISPATCH_PROPERTYGET, py::args()), std::move(call));
}

void DispatchProxy::SetAttribute(const std::wstring& name, py::handle value) const {
  const DISPID id = IdOfName(name);
  Variant argument = ToVariant(value);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &put, 1, 1};
  const uint16_t flags =
      argument.vt() == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
  Check(object_->Invoke(id, IID_NULL, 0, flags, &params, nullptr, nullptr, nullptr));
}

py::object DispatchProxy::Call(const std::wstring& name, uint16_t flags,
                               const py::args& args) const {
  const DISPID id = IdOfName(name);
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
  for (size_t p = 0; p < parameter_count; ++p) {
    const ParamInfo* param = member != nullptr ? &member->params[p] : nullptr;
    if (param != nullptr && param->is_retval()) break;
    if (param != nullptr && param->is_out()) {
      outputs.emplace_back();
      natural.push_back(Variant::ByRef(&outputs.back()));
      continue;
    }
    if (next_arg >= args.size()) break;
    natural.push_back(ToVariant(args[next_arg++]));
  }
  if (next_arg < args.size()) {
    throw py::type_error(ToUtf8(name) + "() takes fewer arguments than were given");
  }
  // Trailing omitted optional [in] arguments are simply not passed.
  std::vector<Variant> reversed(natural.rbegin(), natural.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  Variant result;
  Check(object_->Invoke(id, IID_NULL, 0, flags, &params, &result, nullptr, nullptr));
  return CollectResults(member, result, outputs);
}

size_t DispatchProxy::Length() const {
  const py::object count = Call(L"Count", DISPATCH_PROPERTYGET, py::args());
  return count.cast<size_t>();
}

py::object DispatchProxy::Iterate() const {
  Variant enumerator;
  DISPPARAMS none;
  Check(object_->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                        &none, &enumerator, nullptr, nullptr));
  IUnknown* unknown = enumerator.vt() == VT_DISPATCH  ? enumerator.dispatch()
                      : enumerator.vt() == VT_UNKNOWN ? enumerator.unknown()
                                                      : nullptr;
  ComPtr<IEnumVARIANT> items;
  if (unknown == nullptr ||
      Failed(unknown->QueryInterface(IEnumVARIANT::kIid, items.ReceiveVoid()))) {
    throw py::type_error("the object's _NewEnum is not an enumerator");
  }
  py::list values;
  for (;;) {
    Variant item;
    uint32_t fetched = 0;
    const HRESULT hr = items->Next(1, &item, &fetched);
    Check(hr);
    if (fetched == 0) break;
    values.append(FromVariant(item));
  }
  return values.attr("__iter__")();
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
      .def("__len__", &DispatchProxy::Length)
      .def("__iter__", &DispatchProxy::Iterate)
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
