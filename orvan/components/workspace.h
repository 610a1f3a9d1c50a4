#pragma once

#include <memory>
#include <string>

#include "orvan/components/component.h"
#include "orvan/components/session_source.h"

namespace ovc::orvan::components {

// "Orvan.Workspace": one engineering database and the session of its user.
// Starts closed; every member that needs the database fails with an error
// object until Create or Open succeeds.
class Workspace final : public Component<IOVWorkspace, ISessionSource> {
 public:
  Workspace() : session_(std::make_shared<Session>()) {}

  // `path` is a workspace file or a database URI. Create fails when it
  // already holds a database; Open when it holds none or one that is not a
  // workspace. On failure the workspace keeps the
  // database it had open.
  HRESULT Create(const std::wstring& path) override;
  HRESULT Open(const std::wstring& path) override;
  HRESULT Close() override;
  // Import replaces the workspace's content with that of a JSON file in one
  // transaction (on failure nothing changes); Export writes the whole
  // workspace to a JSON file.
  HRESULT Import(const std::wstring& json_path) override;
  HRESULT Export(const std::wstring& json_path) override;
  // Copies every record into a new workspace at `target` (a file path or a
  // database URI); an existing one is refused and left alone.
  HRESULT CopyTo(const std::wstring& target) override;
  // The same cache object every time.
  HRESULT get_Cache(IDispatch** cache) override;
  // The name of the session's user: the login name until set. An empty
  // name is refused (the database marks free locks with it).
  HRESULT get_UserName(std::wstring* name) override;
  HRESULT put_UserName(const std::wstring& name) override;
  HRESULT NewDataServiceCall(IDispatch** call) override;
  HRESULT get_UnitStandardNames(Variant* names) override;
  // 0 when the workspace has no default case.
  HRESULT get_DefaultCase(int32_t* oid) override;
  // The location opened, a URI without its password.
  HRESULT get_Path(std::wstring* path) override;

  std::shared_ptr<Session> session() override { return session_; }

 private:
  std::shared_ptr<Session> session_;
  ComPtr<IDispatch> cache_;  // made on first use
};

}  // namespace ovc::orvan::components
