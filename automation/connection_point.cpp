#include "automation/connection_point.h"

#include <algorithm>
#include <utility>

namespace ovc {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, const IID& iid)
    : container_(container), iid_(iid) {}

HRESULT ConnectionPoint::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IUnknown::kIid && iid != IConnectionPoint::kIid) return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

uint32_t ConnectionPoint::AddRef() { return container_->AddRef(); }

uint32_t ConnectionPoint::Release() { return container_->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = ComPtr<IConnectionPointContainer>(container_).Detach();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, uint32_t* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  void* answer = nullptr;
  if (Failed(sink->QueryInterface(iid_, &answer)) || answer == nullptr) {
    return CONNECT_E_CANNOTCONNECT;
  }
  // Event interfaces derive from IDispatch, so the answer is one.
  auto dispatch = ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(answer));
  std::lock_guard lock(mutex_);
  if (++last_cookie_ == 0) ++last_cookie_;
  connections_.push_back({last_cookie_, std::move(dispatch)});
  *cookie = last_cookie_;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(uint32_t cookie) {
  ComPtr<IDispatch> released;  // released after the lock, the sink may call back
  std::lock_guard lock(mutex_);
  auto found = std::find_if(connections_.begin(), connections_.end(),
                            [cookie](const Connection& c) { return c.cookie == cookie; });
  if (found == connections_.end()) return CONNECT_E_NOCONNECTION;
  released = std::move(found->sink);
  connections_.erase(found);
  return S_OK;
}

size_t ConnectionPoint::connection_count() const {
  std::lock_guard lock(mutex_);
  return connections_.size();
}

bool ConnectionPoint::IsConnected(uint32_t cookie) const {
  std::lock_guard lock(mutex_);
  return std::any_of(connections_.begin(), connections_.end(),
                     [cookie](const Connection& c) { return c.cookie == cookie; });
}

HRESULT ConnectionPoint::Fire(DISPID id, DISPPARAMS* params) {
  std::vector<Connection> snapshot;
  {
    std::lock_guard lock(mutex_);
    snapshot = connections_;
  }
  HRESULT first_failure = S_OK;
  for (const Connection& connection : snapshot) {
    if (!IsConnected(connection.cookie)) continue;
    const HRESULT hr = connection.sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                               params, nullptr, nullptr, nullptr);
    if (Failed(hr) && Succeeded(first_failure)) first_failure = hr;
  }
  return first_failure;
}

HRESULT FindConnectionPointAmong(std::initializer_list<ConnectionPoint*> points, const IID& iid,
                                 IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  for (ConnectionPoint* candidate : points) {
    if (candidate->iid() == iid) {
      candidate->AddRef();
      *point = candidate;
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

}  // namespace ovc
