#pragma once

#include <cstdint>
#include <string>

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"

// Reading the LinkSets and Links of a transfer through their interfaces;
// every failing call raises through the frame.
namespace ovc::transfer {

// What the getter `get` of `object` gives.
template <class I, class T>
T Got(CMethodFrame& frame, I* object, HRESULT (I::*get)(T*)) {
  T value{};
  CheckAndRaise(frame, (object->*get)(&value));
  return value;
}

template <class I>
bool GotFlag(CMethodFrame& frame, I* object, HRESULT (I::*get)(VARIANT_BOOL*)) {
  return Got(frame, object, get) != VARIANT_FALSE;
}

// Whether `link_set` has an object in a request: enabled, not iterative and
// bound to an object.
bool LinkSetInRequest(CMethodFrame& frame, ILinkSet* link_set);

// The item at `index` of `collection` as an `Item`; E_POINTER is raised
// for an item that is none.
template <class Item, class Collection>
ComPtr<Item> ItemAt(CMethodFrame& frame, Collection* collection, int32_t index) {
  Variant item;
  CheckAndRaise(frame, collection->get_Item(Variant::I4(index), &item));
  ComPtr<Item> typed = ComPtr<IDispatch>(item.dispatch()).template As<Item>();
  if (!typed) RaiseError(frame, SourceLocation::Current(), E_POINTER);
  return typed;
}

inline ComPtr<ILink> LinkAt(CMethodFrame& frame, ILinkSet* link_set, int32_t index) {
  return ItemAt<ILink>(frame, link_set, index);
}

// Whether `link` answers in a request of `direction`: enabled, with a route
// and, for a write, marked for import. *route receives the route.
bool LinkInRequest(CMethodFrame& frame, ILink* link, Direction direction, std::wstring* route);

inline ComPtr<IApp> AppAt(CMethodFrame& frame, IAppCollection* apps, int32_t index) {
  return ItemAt<IApp>(frame, apps, index);
}

// The first description of the thread's error chain (which the thread gives
// up), or the system's text of `code`.
std::wstring TakeFailureReason(HRESULT code);

// Appends `line` to the status of `link`.
void AppendStatus(CMethodFrame& frame, ILink* link, const std::wstring& line);

}  // namespace ovc::transfer
