#pragma once

#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"

namespace ovc {

struct IConnectionPoint;

// Offered by an object that fires events: finds the connection point for
// one outgoing (event) interface.
struct IConnectionPointContainer : IUnknown {
  static constexpr IID kIid = MakeGuid("B196B284-BAB4-101A-B69C-00AA00341D07");
  using Base = IUnknown;

  // An AddRef'd connection point for the event interface `iid` in *point.
  // CONNECT_E_NOCONNECTION (and null) when the object fires no such events,
  // E_POINTER when `point` is null.
  virtual HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) = 0;

 protected:
  ~IConnectionPointContainer() = default;
};

// One outgoing interface of an event source, to which sinks connect.
struct IConnectionPoint : IUnknown {
  static constexpr IID kIid = MakeGuid("B196B286-BAB4-101A-B69C-00AA00341D07");
  using Base = IUnknown;

  // The event interface's id in *iid; E_POINTER when `iid` is null.
  virtual HRESULT GetConnectionInterface(IID* iid) = 0;
  // The AddRef'd object this connection point belongs to; E_POINTER when
  // `container` is null.
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
  // Connects `sink`, which must answer the event interface, and stores a
  // cookie (never 0) for Unadvise. The connection holds a reference to the
  // sink until Unadvise. CONNECT_E_CANNOTCONNECT when the sink does not
  // answer the interface, E_POINTER for a null sink or cookie.
  virtual HRESULT Advise(IUnknown* sink, uint32_t* cookie) = 0;
  // Ends the connection `cookie` and releases its sink.
  // CONNECT_E_NOCONNECTION for a cookie that is not connected.
  virtual HRESULT Unadvise(uint32_t cookie) = 0;

 protected:
  ~IConnectionPoint() = default;
};

// The connection point an event source embeds (one per event interface,
// usually as a member) and fires through. Its reference count is that of the
// container, which owns it and must outlive every use of it. Event
// interfaces are dispatch interfaces: the sink's answer to the event
// interface is called through IDispatch::Invoke. Safe to use from several
// threads; sinks are called without any lock held, so a sink may advise or
// unadvise (itself or others) while it is called.
class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* container, const IID& iid);
  virtual ~ConnectionPoint() = default;
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  HRESULT QueryInterface(const IID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  HRESULT GetConnectionInterface(IID* iid) override;
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT Advise(IUnknown* sink, uint32_t* cookie) override;
  HRESULT Unadvise(uint32_t cookie) override;

  const IID& iid() const { return iid_; }
  size_t connection_count() const;

  // Calls event `id` (DISPATCH_METHOD with `params`) on every sink connected
  // when firing starts and still connected when its turn comes, in the order
  // they were advised. A failing sink does not stop the others. Returns S_OK,
  // or the first failure a sink returned.
  HRESULT Fire(DISPID id, DISPPARAMS* params);

 private:
  struct Connection {
    uint32_t cookie;
    ComPtr<IDispatch> sink;
  };

  bool IsConnected(uint32_t cookie) const;

  IConnectionPointContainer* const container_;
  const IID iid_;
  mutable std::mutex mutex_;
  std::vector<Connection> connections_;
  uint32_t last_cookie_ = 0;
};

// FindConnectionPoint over the connection points of one container: an
// AddRef'd pointer to the one for `iid`, or CONNECT_E_NOCONNECTION.
HRESULT FindConnectionPointAmong(std::initializer_list<ConnectionPoint*> points, const IID& iid,
                                 IConnectionPoint** point);

}  // namespace ovc
