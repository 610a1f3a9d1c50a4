#include "ovcbridgesvcs/transfer/name_synch.h"

#include <cstdint>
#include <vector>

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/apps/location_names.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"
#include "ovcbridgesvcs/transfer/link_walk.h"

namespace ovc::transfer {
namespace {

constexpr std::wstring_view kDroppedCharacters = L"()*.";
constexpr std::wstring_view kDifferingLocations =
    L"Write location and read location are both specified but are different\r\n";

// What one Link synchronises: the location cloned (its write location, or
// its read location) and whether its write and read locations follow.
struct LinkSynch {
  std::wstring source;
  std::wstring target;
  bool write = false;
  bool read = false;
};

// A file of the Bridge holding the location a Link synchronises.
struct HoldingFile {
  ComPtr<IApp> app;
  std::wstring name;
};

void MarkError(CMethodFrame& frame, ILink* link, const std::wstring& line) {
  AppendStatus(frame, link, line);
  CheckAndRaise(frame, link->put_Error(VARIANT_TRUE));
}

// What `link` synchronises onto `target`, or nothing (source empty). Write
// and read locations that differ are reported; only the write location
// follows then.
LinkSynch SynchOf(CMethodFrame& frame, ILink* link, std::wstring target) {
  const std::wstring write = Got(frame, link, &ILink::get_WriteLocation);
  const std::wstring read = Got(frame, link, &ILink::get_ReadLocation);
  LinkSynch synch;
  synch.target = std::move(target);
  synch.write = !write.empty() && write != synch.target;
  synch.read = !read.empty() && read != synch.target;
  if (synch.read && !write.empty() && write != read) {
    MarkError(frame, link,
              std::wstring(kDifferingLocations) +
                  (synch.write ? L"Only the write location will by synchronized"
                               : L"The read location will not be synchronized"));
    synch.read = false;
  }
  if (synch.write || synch.read) synch.source = synch.write ? write : read;
  return synch;
}

std::vector<HoldingFile> FilesHolding(CMethodFrame& frame, IAppCollection* apps,
                                      const std::wstring& location) {
  std::vector<HoldingFile> holding;
  const int32_t count = Got(frame, apps, &IAppCollection::get_Count);
  for (int32_t i = 0; i < count; ++i) {
    ComPtr<IApp> app = AppAt(frame, apps, i);
    VARIANT_BOOL exists = VARIANT_FALSE;
    CheckAndRaise(frame, app->get_LocationExists(location, &exists));
    if (exists == VARIANT_FALSE) continue;
    std::wstring name = Got(frame, app.get(), &IApp::get_FullName);
    holding.push_back({std::move(app), std::move(name)});
  }
  return holding;
}

std::wstring NotSynchronised(const HoldingFile& file, const LinkSynch& synch) {
  return file.name + L":  Location Name " + synch.source + L" not synchronised:  ";
}

// Whether every file in `holding` can take the target name; each that
// cannot gives `link` a status line and its Error flag.
bool AllTakeTarget(CMethodFrame& frame, ILink* link, const std::vector<HoldingFile>& holding,
                   const LinkSynch& synch) {
  bool all = true;
  for (const HoldingFile& file : holding) {
    const apps::FileKind kind = apps::FileKindOf(Got(frame, file.app.get(), &IApp::get_Type));
    const std::wstring problem = apps::LocationNameProblem(kind, synch.target);
    if (!problem.empty()) {
      MarkError(frame, link,
                NotSynchronised(file, synch) + L"\"" + synch.target + L"\" " + problem);
      all = false;
    } else if (GotFlag(frame, file.app.get(), &IApp::get_ReadOnly)) {
      MarkError(frame, link,
                NotSynchronised(file, synch) + LoadMessage(msg::kReadOnlySave) + file.name);
      all = false;
    }
  }
  return all;
}

std::wstring ClonedText(const HoldingFile& file, const LinkSynch& synch, bool replace) {
  const wchar_t* names = synch.write && synch.read ? L":  Write and Read Location Names "
                         : synch.write             ? L":  Write Location Name "
                                                   : L":  Read Location Name ";
  return file.name + names +
         (replace ? L"Replaced with " + synch.target : synch.target + L" Added");
}

// Clones the source location in every file holding it; true when at least
// one clone succeeded. A failing clone becomes a status line; a clone that
// had to keep the old name (S_FALSE) says so.
bool CloneInFiles(CMethodFrame& frame, ILink* link, const std::vector<HoldingFile>& holding,
                  const LinkSynch& synch, bool replace) {
  bool cloned = false;
  for (const HoldingFile& file : holding) {
    const HRESULT done =
        file.app->CloneLocation(synch.source, synch.target, ToVariantBool(replace));
    if (Failed(done)) {
      MarkError(frame, link, NotSynchronised(file, synch) + TakeFailureReason(done));
    } else if (done == S_FALSE) {  // the old name was kept
      AppendStatus(frame, link,
                   ClonedText(file, synch, false) + L"; " + synch.source +
                       L" kept:  a formula of the file still uses it");
      cloned = true;
    } else {
      AppendStatus(frame, link, ClonedText(file, synch, replace));
      cloned = true;
    }
  }
  return cloned;
}

void SynchLink(CMethodFrame& frame, ILink* link, IAppCollection* apps, bool replace,
               const std::wstring& suffix) {
  const LinkSynch synch =
      SynchOf(frame, link, SynchTargetName(Got(frame, link, &ILink::get_AttribName), suffix));
  if (synch.source.empty()) return;
  const std::vector<HoldingFile> holding = FilesHolding(frame, apps, synch.source);
  if (holding.empty()) {
    MarkError(
        frame, link,
        L"Location Name " + synch.source + L" not synchronised:  it is in no file of the Bridge");
    return;
  }
  if (!AllTakeTarget(frame, link, holding, synch) ||
      !CloneInFiles(frame, link, holding, synch, replace)) {
    return;
  }
  if (synch.write) CheckAndRaise(frame, link->put_WriteLocation(synch.target));
  if (synch.read) CheckAndRaise(frame, link->put_ReadLocation(synch.target));
}

}  // namespace

std::wstring SynchTargetName(std::wstring_view route, std::wstring_view suffix) {
  std::wstring target;
  for (const std::wstring_view part : {route, suffix}) {
    for (const wchar_t c : part) {
      if (kDroppedCharacters.find(c) == std::wstring_view::npos) target.push_back(c);
    }
  }
  return target;
}

void SynchNames(CMethodFrame& frame, ILinkSet* link_set, IAppCollection* apps, bool replace,
                const std::wstring& suffix) {
  const int32_t count = Got(frame, link_set, &ILinkSet::get_Count);
  for (int32_t i = 0; i < count; ++i) {
    const ComPtr<ILink> link = LinkAt(frame, link_set, i);
    if (!GotFlag(frame, link.get(), &ILink::get_Enabled)) continue;
    CMethodFrame link_frame(frame.method_name);
    const HRESULT done =
        RunMethod(link_frame, [&] { SynchLink(link_frame, link.get(), apps, replace, suffix); });
    if (Failed(done)) MarkError(frame, link.get(), TakeFailureReason(done));
  }
}

}  // namespace ovc::transfer
