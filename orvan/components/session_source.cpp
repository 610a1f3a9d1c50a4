#include "orvan/components/session_source.h"

#include "automation/com_ptr.h"
#include "orvan/orvan.h"

namespace ovc::orvan::components {

Status SessionOf(IDispatch* workspace, std::shared_ptr<Session>* session) {
  if (workspace == nullptr) return Status::Invalid("No workspace was given.");
  ComPtr<IOVWorkspace> host_workspace;
  ComPtr<ISessionSource> source;
  if (workspace->QueryInterface(IOVWorkspace::kIid, host_workspace.ReceiveVoid()) != S_OK ||
      host_workspace->QueryInterface(ISessionSource::kIid, source.ReceiveVoid()) != S_OK) {
    return Status::Invalid("The object given as workspace is not an Orvan workspace.");
  }
  *session = source->session();
  return Status::Ok();
}

}  // namespace ovc::orvan::components
