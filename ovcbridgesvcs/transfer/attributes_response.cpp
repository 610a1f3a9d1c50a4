// The host's answer to a transfer request, walked in step with the request.
#include <cstdint>
#include <string>
#include <vector>

#include "automation/text.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"
#include "ovcbridgesvcs/transfer/host_values.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/xml/variant_util.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::transfer {
namespace {

// A walk over the answers of one response.
class ResponseWalk {
 public:
  ResponseWalk(CMethodFrame& frame, const HostTransfer& transfer, Direction direction,
               bool record_changes)
      : frame_(frame),
        transfer_(transfer),
        direction_(direction),
        record_changes_(record_changes) {}

  void Walk(pugi::xml_node document) {
    std::vector<pugi::xml_node> objects;
    xml::ForEachElementNamed(document, "Object",
                             [&](pugi::xml_node element) { objects.push_back(element); });
    size_t next = 0;
    for (const ComPtr<ILinkSet>& link_set : transfer_.link_sets) {
      if (next == objects.size()) return;
      if (!InWalk(link_set.get())) continue;
      const pugi::xml_node object = objects[next];
      if (xml::ElementReader(object).Integer("OID") !=
          Got(frame_, link_set.get(), &ILinkSet::get_ObjectOID)) {
        continue;
      }
      ++next;
      WalkLinkSet(link_set.get(), object.first_child());
    }
  }

 private:
  bool InWalk(ILinkSet* link_set) {
    return GotFlag(frame_, link_set, &ILinkSet::get_Enabled) &&
           !GotFlag(frame_, link_set, &ILinkSet::get_Iterative);
  }

  void WalkLinkSet(ILinkSet* link_set, pugi::xml_node container) {
    if (!container) return;
    const std::wstring object_name = Got(frame_, link_set, &ILinkSet::get_ObjectName);
    pugi::xml_node answer = container.first_child();
    const int32_t count = Got(frame_, link_set, &ILinkSet::get_Count);
    for (int32_t i = 0; i < count && answer; ++i) {
      const ComPtr<ILink> link = LinkAt(frame_, link_set, i);
      std::wstring route;
      if (!LinkInRequest(frame_, link.get(), direction_, &route)) continue;
      if (direction_ == Direction::kRead) {
        ReadAnswer(answer, link.get(), route, object_name);
      } else {
        WriteAnswer(answer, link.get(), route, object_name);
      }
      answer = answer.next_sibling();
    }
  }

  void ReadAnswer(pugi::xml_node answer, ILink* link, const std::wstring& route,
                  const std::wstring& object_name) {
    const xml::ElementReader reader(answer);
    if (reader.Text("Error") == L"Read Unsuccessful") {
      AppendStatus(frame_, link, route + L" Invalid Attribute/Route found.");
      CheckAndRaise(frame_, link->put_Error(VARIANT_TRUE));
      return;
    }
    const std::wstring data_type = reader.Text("DataType");
    if (data_type.empty()) return;
    const std::wstring location = Got(frame_, link, &ILink::get_WriteLocation);
    const Variant old_value =
        location.empty() ? Variant() : Got(frame_, link, &ILink::get_AppValue);
    if (!StoreHostValues(frame_, answer, link, route, data_type, reader.Flag("Vector"))) {
      MarkFailed(link, route + L"\tInvalid\tdata type.", reader.Text("Error"));
      return;
    }
    if (!location.empty() && record_changes_ && transfer_.record_change &&
        !GotFlag(frame_, link, &ILink::get_Error)) {
      RecordRead(link, object_name, location, old_value);
    }
  }

  // Offers the value a read stored to the change report, once per file that
  // has the link's location.
  void RecordRead(ILink* link, const std::wstring& object_name, const std::wstring& location,
                  const Variant& old_value) {
    Variant new_value;
    CheckAndRaise(frame_, link->get_PublishedValue(VARIANT_TRUE, VARIANT_TRUE, &new_value));
    if (new_value.IsEmpty()) new_value = Got(frame_, link, &ILink::get_OrvanValue);
    if (transfer_.apps == nullptr) return;
    const int32_t count = Got(frame_, transfer_.apps, &IAppCollection::get_Count);
    for (int32_t i = 0; i < count; ++i) {
      Variant item;
      CheckAndRaise(frame_, transfer_.apps->get_Item(Variant::I4(i), &item));
      const ComPtr<IApp> app = ComPtr<IDispatch>(item.dispatch()).As<IApp>();
      VARIANT_BOOL exists = VARIANT_FALSE;
      if (!app || Failed(app->get_LocationExists(location, &exists)) || exists == VARIANT_FALSE) {
        continue;
      }
      Variant old_in_file = old_value;
      if (old_in_file.IsEmpty() && Failed(app->GetValue(location, &old_in_file))) {
        old_in_file = Variant();
      }
      transfer_.record_change(
          {Got(frame_, app.get(), &IApp::get_Name) + Got(frame_, app.get(), &IApp::get_Type),
           object_name, location, old_in_file, new_value});
    }
  }

  void WriteAnswer(pugi::xml_node answer, ILink* link, const std::wstring& route,
                   const std::wstring& object_name) {
    const std::wstring error = xml::ElementReader(answer).Text("Error");
    if (error != L"Write Successful") {
      MarkFailed(link, route + L"\tFailed to\twrite\tvalue\tin Orvan.", error);
      return;
    }
    CheckAndRaise(frame_, link->put_WrittenToOrvan(VARIANT_TRUE));
    AppendStatus(frame_, link, L"Value\twritten\tto Orvan");
    if (transfer_.record_change) {
      transfer_.record_change({transfer_.bridge_name, object_name, route,
                               Got(frame_, link, &ILink::get_OrvanValue),
                               Got(frame_, link, &ILink::get_AppValue)});
    }
  }

  // The status, then the host's reason, as two lines.
  void MarkFailed(ILink* link, const std::wstring& status, const std::wstring& reason) {
    AppendStatus(frame_, link, status);
    AppendStatus(frame_, link, reason);
    CheckAndRaise(frame_, link->put_Error(VARIANT_TRUE));
  }

  CMethodFrame& frame_;
  const HostTransfer& transfer_;
  Direction direction_;
  bool record_changes_;
};

}  // namespace

void ApplyAttributesResponse(CMethodFrame& frame, const HostTransfer& transfer,
                             std::wstring_view response, Direction direction, bool record_changes) {
  pugi::xml_document tree;
  if (!xml::TryParseTree(ToUtf8(response), &tree)) return;
  ResponseWalk(frame, transfer, direction, record_changes).Walk(tree);
}

}  // namespace ovc::transfer
