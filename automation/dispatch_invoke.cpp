#include <optional>
#include <vector>

#include "automation/conversion.h"
#include "automation/dispatch_impl.h"
#include "automation/error_info.h"
#include "automation/exception_guard.h"
#include "automation/gated_dispatch.h"
#include "automation/text.h"

namespace ovc {
namespace {

bool HasRetval(const MemberInfo& member) {
  return !member.params.empty() && member.params.back().is_retval();
}

// Which member of a DISPID a call means. Scripting clients call properties
// with DISPATCH_METHOD | DISPATCH_PROPERTYGET, so a method is preferred and
// a property get serves as a fallback; a property get alone is answered by a
// method that returns a value when there is no get; puts fall back to putrefs
// and back.
const MemberInfo* ResolveMember(const InterfaceInfo& info, DISPID id, uint16_t flags) {
  const MemberInfo* member = nullptr;
  if (flags & DISPATCH_PROPERTYPUT) {
    member = info.Find(id, MemberKind::kPropertyPut);
    if (member == nullptr) member = info.Find(id, MemberKind::kPropertyPutRef);
  } else if (flags & DISPATCH_PROPERTYPUTREF) {
    member = info.Find(id, MemberKind::kPropertyPutRef);
    if (member == nullptr) member = info.Find(id, MemberKind::kPropertyPut);
  } else {
    if (flags & DISPATCH_METHOD) member = info.Find(id, MemberKind::kMethod);
    if (member == nullptr && (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) {
      member = info.Find(id, MemberKind::kPropertyGet);
    }
    if (member == nullptr && (flags & DISPATCH_PROPERTYGET)) {
      const MemberInfo* method = info.Find(id, MemberKind::kMethod);
      if (method != nullptr && HasRetval(*method)) member = method;
    }
  }
  return member;
}

// The caller's arguments matched to parameters: for each parameter the
// index in DISPPARAMS::args of its argument, if one was passed.
class ArgumentMap {
 public:
  // DISP_E_BADPARAMCOUNT for too many positional arguments,
  // DISP_E_PARAMNOTFOUND for a named argument that names no parameter.
  HRESULT Build(const MemberInfo& member, const DISPPARAMS& params, uint32_t* arg_error) {
    const size_t count = member.params.size();
    positions_.assign(count, std::nullopt);
    const uint32_t positional = params.count - params.named_count;
    const size_t callable = count - (HasRetval(member) ? 1 : 0);
    if (positional > callable) return DISP_E_BADPARAMCOUNT;
    for (uint32_t i = 0; i < positional; ++i) {
      positions_[i] = params.count - 1 - i;
    }
    for (uint32_t n = 0; n < params.named_count; ++n) {
      const DISPID name = params.named_ids[n];
      size_t target = count;
      if (name == DISPID_PROPERTYPUT && IsPut(member)) {
        target = count - 1;
      } else if (name >= 0 && static_cast<size_t>(name) < callable) {
        target = static_cast<size_t>(name);
      }
      if (target == count) {
        if (arg_error != nullptr) *arg_error = n;
        return DISP_E_PARAMNOTFOUND;
      }
      positions_[target] = n;
    }
    return S_OK;
  }

  std::optional<uint32_t> operator[](size_t parameter) const { return positions_[parameter]; }

 private:
  static bool IsPut(const MemberInfo& member) {
    return !member.params.empty() &&
           (member.kind == MemberKind::kPropertyPut || member.kind == MemberKind::kPropertyPutRef);
  }

  std::vector<std::optional<uint32_t>> positions_;
};

// Fills the slot of an [in] parameter from its argument (or its default).
HRESULT PrepareInput(const ParamInfo& param, const Variant* argument, Variant* slot) {
  const bool omitted = argument == nullptr || (argument->IsMissing() && param.is_optional());
  if (omitted) {
    if (param.flags & kParamHasDefault) {
      return VariantChangeType(slot, Variant::Str(std::wstring(param.default_value)), 0, param.vt);
    }
    if (param.is_optional()) {
      *slot = param.vt == VT_VARIANT ? Variant::Missing() : ZeroValue(param.vt);
      return S_OK;
    }
    return DISP_E_PARAMNOTOPTIONAL;
  }
  if (param.vt & VT_BYREF) {
    if (argument->vt() != param.vt) return DISP_E_TYPEMISMATCH;
    *slot = *argument;
    return S_OK;
  }
  Variant value = argument->Dereferenced();
  if (param.vt == VT_VARIANT) {
    *slot = std::move(value);
    return S_OK;
  }
  const bool is_interface = param.vt == VT_DISPATCH || param.vt == VT_UNKNOWN;
  if (is_interface && (value.IsEmpty() || value.IsNull())) {
    *slot = ZeroValue(param.vt);  // a null reference; the member decides what it means
    return S_OK;
  }
  return VariantChangeType(slot, value, 0, param.vt);
}

// Fills the slot of an [out] parameter; the caller's argument, when given,
// must be by reference so that the result can be stored through it.
HRESULT PrepareOutput(const ParamInfo& param, const Variant* argument, Variant* slot) {
  if (argument != nullptr && !argument->IsByRef() && !argument->IsMissing()) {
    return DISP_E_TYPEMISMATCH;
  }
  *slot = ZeroValue(param.vt);
  return S_OK;
}

HRESULT StoreOutputs(const MemberInfo& member, const ArgumentMap& map, const DISPPARAMS& params,
                     std::vector<Variant>& slots, Variant* result) {
  for (size_t i = 0; i < member.params.size(); ++i) {
    const ParamInfo& param = member.params[i];
    if (param.is_retval()) {
      if (result != nullptr) *result = std::move(slots[i]);
      continue;
    }
    if (!param.is_out() || !map[i]) continue;
    const Variant& argument = params.args[*map[i]];
    if (argument.IsByRef()) {
      const HRESULT hr = argument.StoreThroughReference(slots[i]);
      if (Failed(hr)) return hr;
    }
  }
  return S_OK;
}

void CopyErrorTo(EXCEPINFO* exception, HRESULT hr) {
  if (exception == nullptr) return;
  *exception = EXCEPINFO{};
  exception->scode = hr;
  ComPtr<IErrorInfo> error = GetErrorInfo();
  if (!error) return;
  exception->source = SourceOf(error.get());
  exception->description = DescriptionOf(error.get());
  SetErrorInfo(error);
}

}  // namespace

HRESULT DispatchGetIDsOfNames(const InterfaceInfo& info, const std::wstring* names, uint32_t count,
                              DISPID* ids) {
  if (count == 0) return S_OK;
  if (names == nullptr || ids == nullptr) return E_POINTER;
  ids[0] = info.IdOfName(names[0]);
  HRESULT hr = ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  const MemberInfo* member = ids[0] == DISPID_UNKNOWN ? nullptr : info.Find(ids[0]);
  for (uint32_t n = 1; n < count; ++n) {
    ids[n] = DISPID_UNKNOWN;
    if (member == nullptr) continue;
    for (size_t p = 0; p < member->params.size(); ++p) {
      if (EqualsNoCase(member->params[p].name, names[n])) ids[n] = static_cast<DISPID>(p);
    }
    if (ids[n] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

namespace {

HRESULT InvokeMember(const InterfaceInfo& info, IDispatch* self, DISPID id, uint16_t flags,
                     DISPPARAMS* params, Variant* result, EXCEPINFO* exception, uint32_t* arg_error,
                     MemberGate gate) {
  DISPPARAMS no_arguments;
  if (params == nullptr) params = &no_arguments;
  if (params->count < params->named_count || (params->count > 0 && params->args == nullptr) ||
      (params->named_count > 0 && params->named_ids == nullptr)) {
    return E_INVALIDARG;
  }
  const MemberInfo* member = ResolveMember(info, id, flags);
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;
  if (gate != nullptr) {
    const HRESULT refused = gate(*member);
    if (Failed(refused)) {
      CopyErrorTo(exception, refused);
      return refused;
    }
  }

  ArgumentMap map;
  HRESULT hr = map.Build(*member, *params, arg_error);
  if (Failed(hr)) return hr;

  std::vector<Variant> slots(member->params.size());
  for (size_t i = 0; i < member->params.size(); ++i) {
    const ParamInfo& param = member->params[i];
    const Variant* argument = map[i] ? &params->args[*map[i]] : nullptr;
    hr = param.is_out() ? PrepareOutput(param, argument, &slots[i])
                        : PrepareInput(param, argument, &slots[i]);
    if (Failed(hr)) {
      if (arg_error != nullptr && map[i]) *arg_error = *map[i];
      return hr;
    }
  }
  if (result != nullptr) result->Clear();
  hr = GuardedCall(info.name, [&] { return member->thunk(self, slots); });
  if (Failed(hr)) {
    CopyErrorTo(exception, hr);
    return hr;
  }
  const HRESULT stored = StoreOutputs(*member, map, *params, slots, result);
  return Failed(stored) ? stored : hr;
}

}  // namespace

HRESULT DispatchInvoke(const InterfaceInfo& info, IDispatch* self, DISPID id, uint16_t flags,
                       DISPPARAMS* params, Variant* result, EXCEPINFO* exception,
                       uint32_t* arg_error) {
  return GatedDispatchInvoke(info, self, id, flags, params, result, exception, arg_error, nullptr);
}

HRESULT GatedDispatchInvoke(const InterfaceInfo& info, IDispatch* self, DISPID id, uint16_t flags,
                            DISPPARAMS* params, Variant* result, EXCEPINFO* exception,
                            uint32_t* arg_error, MemberGate gate) {
  return GuardedCall(info.name, [&] {
    return InvokeMember(info, self, id, flags, params, result, exception, arg_error, gate);
  });
}

}  // namespace ovc
