#pragma once

#include <cstdint>

#include "automation/dispatch_impl.h"
#include "automation/gated_dispatch.h"

namespace ovc {

// While the library waits for user code it called (the progress service,
// the user interface, a macro of a file), that code may call back into the
// library's objects on the same thread, in the middle of the member that
// called it. It may read their properties; every other member (methods and
// puts, which change objects or run transfers) fails with E_ACCESSDENIED and
// says why, so that nothing changes under that member. Only calls through
// IDispatch, the way user code calls, are checked: the library calls its own
// objects through their interfaces.

// Marks, for as long as it lives, that the library runs user code on this
// thread. Scopes nest.
class UserCodeScope {
 public:
  UserCodeScope() noexcept;
  ~UserCodeScope();
  UserCodeScope(const UserCodeScope&) = delete;
  UserCodeScope& operator=(const UserCodeScope&) = delete;
};

// S_OK when `member` may be called now; otherwise its refusal, reported.
HRESULT AdmitFromUserCode(const MemberInfo& member);

// The dispatch of the library's objects: Invoke passes AdmitFromUserCode
// before it calls the member.
template <class I>
class ReentryGuardedDispatch : public DispatchImpl<I> {
 public:
  HRESULT Invoke(DISPID id, const IID&, LCID, uint16_t flags, DISPPARAMS* params, Variant* result,
                 EXCEPINFO* exception, uint32_t* arg_error) override {
    return GatedDispatchInvoke(I::TypeInfo(), this, id, flags, params, result, exception, arg_error,
                               &AdmitFromUserCode);
  }

 protected:
  ~ReentryGuardedDispatch() = default;
};

}  // namespace ovc
