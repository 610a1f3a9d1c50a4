#pragma once

#include <memory>

#include "automation/dispatch.h"
#include "orvan/components/session.h"
#include "orvan/status.h"

namespace ovc::orvan::components {

// A private interface of the host's Workspace component, through which the
// other components reach the session behind a workspace they were handed as
// IDispatch. Objects of other origins never answer it.
struct ISessionSource : IUnknown {
  static constexpr IID kIid = MakeGuid("B6C1E2A4-5D0F-4E7B-9A31-7C2F8D4E6B10");
  using Base = IUnknown;

  // The workspace's session, shared with the caller; never null.
  virtual std::shared_ptr<Session> session() = 0;

 protected:
  ~ISessionSource() = default;
};

// The session behind `workspace`, which must be a host Workspace component
// (IOVWorkspace that also answers ISessionSource). Fails with
// kInvalidArgument for null and for any other object, leaving *session as it
// is. The workspace need not be open.
Status SessionOf(IDispatch* workspace, std::shared_ptr<Session>* session);

}  // namespace ovc::orvan::components
