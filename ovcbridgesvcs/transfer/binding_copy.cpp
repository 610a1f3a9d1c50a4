#include "ovcbridgesvcs/transfer/binding_copy.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/user_interface.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/host/own_error.h"
#include "ovcbridgesvcs/resources/message_ids.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/transfer/location_numbering.h"
#include "ovcbridgesvcs/transfer/working_copies.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"
#include "ovcbridgesvcs/xml/xml_part.h"

namespace ovc::transfer {
namespace {

constexpr std::wstring_view kOverwriteCaption = L"Confirm Binding Overwrite";
constexpr size_t kSeparatorWidth = 85;

// A LinkSet's name and class view.
using Key = std::pair<std::wstring, std::wstring>;

Key KeyOf(CMethodFrame& frame, ILinkSet* link_set) {
  return {Got(frame, link_set, &ILinkSet::get_Name), Got(frame, link_set, &ILinkSet::get_Class)};
}

// The log line of a LinkSet that lacks a name or class view (at 1-based
// `position`), without its line end; nullopt for one that has both.
std::optional<std::wstring> SkippedLine(const Key& key, int32_t position) {
  const auto& [name, class_view] = key;
  if (name.empty()) {
    return FormatMessageText(
        L"%s %d %s", LoadMessage(class_view.empty() ? msg::kBothMissing : msg::kNameMissing),
        position, LoadMessage(msg::kWillBeSkipped));
  }
  if (!class_view.empty()) return std::nullopt;
  return FormatMessageText(L"%s %s %s", LoadMessage(msg::kClassMissing), name,
                           LoadMessage(msg::kWillBeSkipped));
}

// The bound copies a walk makes, those of one name next to each other, in
// no Bridge: they are cleaned up with the list.
class BindingList {
 public:
  struct Group {
    std::wstring name;
    std::vector<ComPtr<ILinkSet>> copies;
  };

  BindingList() = default;
  BindingList(const BindingList&) = delete;
  BindingList& operator=(const BindingList&) = delete;
  ~BindingList() {
    for (const Group& group : groups_) {
      for (const ComPtr<ILinkSet>& copy : group.copies) copy->FinalCleanUp();
    }
  }

  // A new copy of `source` in the group `name`.
  ILinkSet* NewCopy(CMethodFrame& frame, const std::wstring& name, ILinkSet* source) {
    ComPtr<ILinkSet> copy;
    CheckAndRaise(frame, CoCreateInstance(CLSID_LinkSet, nullptr, CLSCTX_ALL, ILinkSet::kIid,
                                          copy.ReceiveVoid()));
    const auto [at, added] = group_of_.try_emplace(name, groups_.size());
    if (added) groups_.push_back({name, {}});
    groups_[at->second].copies.push_back(copy);
    ++count_;
    CheckAndRaise(frame, copy->CopyLinkSet(source));
    return copy.get();
  }

  const std::vector<Group>& groups() const { return groups_; }
  int32_t count() const { return count_; }

 private:
  std::vector<Group> groups_;
  std::map<std::wstring, size_t, std::less<>> group_of_;
  int32_t count_ = 0;
};

// The overwrite question for a bound LinkSet, asked until the user answers
// Yes to All.
class OverwriteQuestion {
 public:
  // Whether to go on with the LinkSet `name` at 1-based `position`; nullopt
  // when the user cancels.
  std::optional<bool> GoOn(const std::wstring& name, int32_t position) {
    if (yes_to_all_) return true;
    const Confirmation answer = AskConfirmation(
        FormatMessageText(LoadMessage(msg::kOverwrite), name, static_cast<long>(position)),
        kOverwriteCaption);
    if (answer == Confirmation::kCancel) return std::nullopt;
    yes_to_all_ = answer == Confirmation::kYesToAll;
    return answer != Confirmation::kNo;
  }

 private:
  bool yes_to_all_ = false;
};

// Releases, on the way out, the lock that opening a stored Bridge took. The
// copy is made or has failed by then: a refused release changes neither,
// and the thread's error object stays the one before the release.
class SourceLock {
 public:
  SourceLock(IOVWorkspace* workspace, int32_t oid, bool taken)
      : workspace_(workspace), oid_(oid), taken_(taken) {}
  SourceLock(const SourceLock&) = delete;
  SourceLock& operator=(const SourceLock&) = delete;
  ~SourceLock() {
    if (!taken_) return;
    try {
      const ComPtr<IErrorInfo> error = GetErrorInfo();
      std::wstring response;
      DataServiceStep step = DataServiceStep::kNone;
      RunDataServiceCall(workspace_,
                         {.service = kBridgeService,
                          .method = L"ReleaseLock",
                          .text = OidRequest(L"ReleaseLock", oid_)},
                         &response, &step);
      SetErrorInfo(error);
    } catch (...) {  // the lock stays with the user; the host keeps it
    }
  }

 private:
  IOVWorkspace* workspace_;
  int32_t oid_;
  bool taken_;
};

// The stored Bridge `oid`, opened in the host, parsed into `source`;
// returns its Bridge element.
pugi::xml_node OpenSource(CMethodFrame& frame, IOVWorkspace* workspace, int32_t oid,
                          pugi::xml_document* source) {
  const std::wstring open_failed = LoadMessage(msg::kBindingOpenFailed);
  const std::wstring bad_response = LoadMessage(msg::kBadOpenResponse);
  const std::wstring response = CallDataService(
      frame, workspace,
      {.service = kBridgeService, .method = L"OpenBridge", .text = OidRequest(L"Bridge", oid)},
      {.new_call = {}, .execute = open_failed, .response = bad_response});
  if (!xml::TryParseTree(ToUtf8(response), source) ||
      std::string_view(source->document_element().name()) != "Bridge") {
    RaiseOwnError(frame, SourceLocation::Current(), E_FAIL, bad_response);
  }
  return source->document_element();
}

struct HostObject {
  int32_t oid;
  std::wstring name;
};

// The objects the host lists for `class_view`.
std::vector<HostObject> ListObjects(CMethodFrame& frame, const std::wstring& class_view) {
  const DataServiceParameter filter[] = {{L"FilterView", Variant(class_view)}};
  const std::wstring response =
      CallDataService(frame, HostState::Current().workspace().get(),
                      {.service = kGenericService, .method = L"ListObjects", .parameters = filter});
  pugi::xml_document answer;
  xml::ParseTree(frame, ToUtf8(response), &answer);
  std::vector<HostObject> objects;
  xml::ForEachElementNamed(answer, "Object", [&](pugi::xml_node object) {
    const xml::ElementReader reader(object);
    objects.push_back({reader.Oid("OID"), reader.Text("KnownName")});
  });
  return objects;
}

// One run of either operation on a Bridge.
class BindingRun {
 public:
  BindingRun(CMethodFrame& frame, IBridge* bridge) : frame_(frame), bridge_(bridge) {}

  std::wstring CopyFrom(pugi::xml_node source) {
    log_ = LoadMessage(msg::kTemplateWalk);
    CollectTemplates();
    log_ += LoadMessage(msg::kTemplateWalkDone);
    log_ += LoadMessage(msg::kSourceWalk);
    int32_t position = 0;
    for (const pugi::xml_node link_sets : source.children("Linksets")) {
      for (const pugi::xml_node element : link_sets.children("Linkset")) {
        if (!TakeElement(element, ++position)) return log_;
      }
    }
    log_ += LoadMessage(msg::kSourceWalkDone);
    Create();
    return log_;
  }

  std::wstring AutoCreate() {
    std::set<std::wstring, std::less<>> class_views_done;
    for (int32_t i = 0; i < LinkSetCount(frame_, bridge_); ++i) {
      const ComPtr<ILinkSet> link_set = LinkSetAt(frame_, bridge_, i);
      const auto [name, class_view] = KeyOf(frame_, link_set.get());
      if (Got(frame_, link_set.get(), &ILinkSet::get_ObjectCount) > 0) {
        const std::optional<bool> go_on = question_.GoOn(name, i + 1);
        if (!go_on) return log_;
        if (!*go_on) continue;
      }
      if (class_view.empty()) {
        log_ += *SkippedLine({name, class_view}, i + 1) + L"\n";
      } else if (!class_views_done.insert(class_view).second) {
        log_ += FormatMessageText(LoadMessage(msg::kClassViewDone), name, class_view) + L"\r\n";
      } else {
        BindEachObject(link_set.get(), name, class_view);
      }
    }
    if (bindings_.count() > 0) Create();
    return log_;
  }

 private:
  // The LinkSets of the Bridge of one name and class view, in Bridge order:
  // the first is the template of that pair; each copy made from it retires
  // one of them, the next in order.
  struct SameKey {
    std::vector<ComPtr<ILinkSet>> link_sets;
    size_t retired = 0;
  };

  void CollectTemplates() {
    for (int32_t i = LinkSetCount(frame_, bridge_) - 1; i >= 0; --i) {
      ComPtr<ILinkSet> link_set = LinkSetAt(frame_, bridge_, i);
      Key key = KeyOf(frame_, link_set.get());
      if (const std::optional<std::wstring> skipped = SkippedLine(key, i + 1)) {
        log_ += *skipped + L"\r\n";
        continue;
      }
      templates_[std::move(key)].link_sets.push_back(std::move(link_set));
    }
    for (auto& [key, same] : templates_) std::ranges::reverse(same.link_sets);
  }

  // Binds a copy of the template of `element` (at 1-based `position`) as the
  // element is bound; false when the user cancels.
  bool TakeElement(pugi::xml_node element, int32_t position) {
    const xml::ElementReader reader(element);
    const Key key{reader.Text("Name"), reader.Text("Class")};
    if (const std::optional<std::wstring> skipped = SkippedLine(key, position)) {
      log_ += *skipped + L"\r\n";
      return true;
    }
    const auto found = templates_.find(key);
    if (found == templates_.end()) return true;
    SameKey& same = found->second;
    ILinkSet* const source = same.link_sets.front().get();
    const std::wstring bound_to = Got(frame_, source, &ILinkSet::get_ObjectName);
    if (!bound_to.empty() && bound_to != reader.Text("ObjectName")) {
      const std::optional<bool> go_on = question_.GoOn(key.first, position);
      if (!go_on) return false;
      if (!*go_on) return true;
    }
    ILinkSet* const copy = bindings_.NewCopy(frame_, key.first, source);
    CheckAndRaise(frame_, copy->ClearObject());
    CheckAndRaise(frame_, copy->put_CaseOID(reader.Integer("CaseSelected")));
    // Read as an iterative LinkSet, so that turning Iterative off afterwards
    // keeps one object even when the element lists several.
    CheckAndRaise(frame_, copy->put_Iterative(VARIANT_TRUE));
    CheckAndRaise(frame_, copy->ReadObjects(xml::ElementValue(frame_, element).dispatch()));
    CheckAndRaise(frame_, copy->put_Iterative(ToVariantBool(reader.Flag("Iterative"))));
    if (same.retired < same.link_sets.size()) replaced_.push_back(same.link_sets[same.retired++]);
    return true;
  }

  void BindEachObject(ILinkSet* source, const std::wstring& name, const std::wstring& class_view) {
    const std::vector<HostObject> objects = ListObjects(frame_, class_view);
    for (const HostObject& object : objects) {
      ILinkSet* const copy = bindings_.NewCopy(frame_, name, source);
      CheckAndRaise(frame_, copy->ClearObject());
      // An iterative LinkSet refuses a single object.
      CheckAndRaise(frame_, copy->put_Iterative(VARIANT_FALSE));
      CheckAndRaise(frame_, copy->put_ObjectOID(object.oid));
      CheckAndRaise(frame_, copy->put_ObjectName(object.name));
    }
    if (!objects.empty()) replaced_.emplace_back(source);
  }

  // Adds the copies to the Bridge, then removes the LinkSets they replace.
  // A failure while adding takes the added ones out again.
  void Create() {
    log_ += FormatMessageText(LoadMessage(msg::kCopying), static_cast<long>(bindings_.count()));
    const int32_t before = LinkSetCount(frame_, bridge_);
    const bool was_dirty = GotFlag(frame_, bridge_, &IBridge::get_Dirty);
    try {
      AddCopies();
    } catch (...) {
      RemoveAddedAfter(before, was_dirty);
      throw;
    }
    RemoveReplaced();
  }

  void AddCopies() {
    std::optional<LocationNumbering> numbering;
    int32_t number = 0;
    const std::vector<BindingList::Group>& groups = bindings_.groups();
    for (size_t g = 0; g < groups.size(); ++g) {
      const std::vector<ComPtr<ILinkSet>>& copies = groups[g].copies;
      if (copies.size() > 1 && !numbering) numbering = AskLocationNumbering();
      for (size_t k = 0; k < copies.size(); ++k) {
        const ComPtr<ILinkSet> added = AddCopy(copies[k].get());
        if (copies.size() > 1) {
          NumberLocations(added.get(), *numbering, numbering->start + static_cast<int64_t>(k));
        }
        log_ += BoundLine(added.get(), ++number);
      }
      if (g + 1 < groups.size()) log_.append(kSeparatorWidth, L'=').append(L"\r\n");
    }
  }

  ComPtr<ILinkSet> AddCopy(ILinkSet* copy) {
    Variant made;
    CheckAndRaise(frame_, bridge_->CreateLinkSet(&made));
    const ComPtr<ILinkSet> added = ComPtr<IDispatch>(made.dispatch()).As<ILinkSet>();
    if (!added) RaiseError(frame_, SourceLocation::Current(), E_NOINTERFACE);
    CheckAndRaise(frame_, added->CopyLinkSet(copy));
    return added;
  }

  void NumberLocations(ILinkSet* link_set, const LocationNumbering& numbering, int64_t number) {
    for (int32_t j = 0; j < Got(frame_, link_set, &ILinkSet::get_Count); ++j) {
      const ComPtr<ILink> link = LinkAt(frame_, link_set, j);
      const std::wstring read = Got(frame_, link.get(), &ILink::get_ReadLocation);
      if (!read.empty()) {
        CheckAndRaise(frame_, link->put_ReadLocation(NumberedLocation(read, numbering, number)));
      }
      const std::wstring write = Got(frame_, link.get(), &ILink::get_WriteLocation);
      if (!write.empty()) {
        CheckAndRaise(frame_, link->put_WriteLocation(NumberedLocation(write, numbering, number)));
      }
    }
  }

  std::wstring BoundLine(ILinkSet* added, int32_t number) {
    const auto [name, class_view] = KeyOf(frame_, added);
    return FormatMessageText(LoadMessage(msg::kBound),
                             Got(frame_, added, &ILinkSet::get_ObjectName), name,
                             static_cast<long>(number), class_view);
  }

  void RemoveAddedAfter(int32_t before, bool was_dirty) noexcept {
    int32_t count = 0;
    if (Failed(bridge_->get_Count(&count))) return;
    for (int32_t i = count - 1; i >= before; --i) bridge_->Remove(i);
    if (!was_dirty) bridge_->put_Dirty(VARIANT_FALSE);
  }

  void RemoveReplaced() {
    std::set<ILinkSet*> replaced;
    for (const ComPtr<ILinkSet>& link_set : replaced_) replaced.insert(link_set.get());
    for (int32_t i = LinkSetCount(frame_, bridge_) - 1; i >= 0 && !replaced.empty(); --i) {
      if (replaced.erase(LinkSetAt(frame_, bridge_, i).get()) > 0) {
        CheckAndRaise(frame_, bridge_->Remove(i));
      }
    }
  }

  CMethodFrame& frame_;
  IBridge* const bridge_;
  std::wstring log_;
  std::map<Key, SameKey> templates_;
  OverwriteQuestion question_;
  BindingList bindings_;
  std::vector<ComPtr<ILinkSet>> replaced_;
};

}  // namespace

std::wstring CopyObjectBindings(CMethodFrame& frame, IBridge* bridge, int32_t source_oid) {
  const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
  pugi::xml_document source;
  const pugi::xml_node root = OpenSource(frame, workspace.get(), source_oid, &source);
  const SourceLock lock(workspace.get(), source_oid,
                        xml::ElementReader(root).Integer("Locked") == 0);
  return BindingRun(frame, bridge).CopyFrom(root);
}

std::wstring AutoCreateObjectBindings(CMethodFrame& frame, IBridge* bridge) {
  return BindingRun(frame, bridge).AutoCreate();
}

}  // namespace ovc::transfer
