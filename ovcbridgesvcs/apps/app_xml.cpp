// An App's "File" element of the Bridge document.
#include <utility>

#include "ovcbridgesvcs/apps/app.h"
#include "ovcbridgesvcs/apps/host_files.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/xml/variant_util.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::apps {
namespace {

// The name of a macro the adapter keeps; empty without one.
std::wstring MacroName(IApp& app, HRESULT (IApp::*get)(std::wstring*)) {
  std::wstring name;
  if (Failed((app.*get)(&name))) name.clear();
  return name;
}

// The "File" element `files` names, copied into `tree`: the node itself,
// the document element of a document (as GetXML gives it) or of the local
// file at the path it holds. Null for anything else.
pugi::xml_node FileElement(CMethodFrame& frame, const Variant& files, pugi::xml_document* tree) {
  ComPtr<IXMLDOMNode> node = xml::NodeOf(files);
  std::wstring path;
  if (!node && xml::TextOf(files, &path)) {
    node = xml::LoadLocalDocument(frame, path).As<IXMLDOMNode>();
  }
  return node ? xml::TreeOfNode(frame, node.get(), tree) : pugi::xml_node();
}

}  // namespace

HRESULT CApp::GetXML(Variant* document) {
  CMethodFrame frame(L"CApp::GetXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr) return E_POINTER;
    *document = xml::PartDocument(frame, *this);
    return S_OK;
  });
}

void CApp::WriteXml(CMethodFrame& frame, pugi::xml_node parent) {
  xml::ElementWriter(frame, parent)
      .Child("File")
      .Integer("OID", oid_)
      .Flag("Enabled", enabled_)
      .Text("FileName", xml::UnescapeXmlText(name_ + type_))
      .Text("BeforeToAppMacro", MacroName(*this, &IApp::get_MacroPreExport))
      .Text("BeforeFromAppMacro", MacroName(*this, &IApp::get_MacroPreImport))
      .Text("AfterToAppMacro", MacroName(*this, &IApp::get_MacroPostExport))
      .Text("AfterFromAppMacro", MacroName(*this, &IApp::get_MacroPostImport))
      .Text("ReleaseMacro", MacroName(*this, &IApp::get_MacroRelease));
}

HRESULT CApp::ReadXML(const Variant& files) {
  CMethodFrame frame(L"CApp::ReadXML");
  return RunMethod(frame, [&]() -> HRESULT {
    pugi::xml_document tree;
    const pugi::xml_node element = FileElement(frame, files, &tree);
    if (!element) return E_INVALIDARG;
    ReadXml(frame, element);
    return S_OK;
  });
}

void CApp::ReadXml(CMethodFrame& frame, pugi::xml_node element) {
  const xml::ElementReader file(element);
  oid_ = file.Oid("OID");
  CheckAndRaise(frame, put_Path(TakeHostFile(frame, oid_)));
  CheckAndRaise(frame, put_Enabled(ToVariantBool(file.Flag("Enabled"))));
  CheckAndRaise(frame, put_MacroPreExport(file.Text("BeforeToAppMacro")));
  CheckAndRaise(frame, put_MacroPreImport(file.Text("BeforeFromAppMacro")));
  CheckAndRaise(frame, put_MacroPostExport(file.Text("AfterToAppMacro")));
  CheckAndRaise(frame, put_MacroPostImport(file.Text("AfterFromAppMacro")));
  CheckAndRaise(frame, put_MacroRelease(file.Text("ReleaseMacro")));
}

std::wstring CApp::TakeHostFile(CMethodFrame& frame, int32_t oid) {
  const ComPtr<IOVFileService> service = HostFileService(frame);
  const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
  std::wstring holder;
  std::wstring file_name;
  VARIANT_BOOL linked = VARIANT_FALSE;
  CheckAndRaise(frame, service->FileRecord(oid, workspace.get(), &holder, &file_name, &linked));
  linked_ = linked;
  std::wstring path;
  if (holder.empty()) {
    if (Failed(CheckResult(frame, service->CheckOut(oid, workspace.get(), &path)))) {
      RaiseError(frame, SourceLocation::Current(), std::nullopt,
                 L"Failed to checkout application file %s", file_name);
    }
    checked_out_ = true;
    return path;
  }
  CheckAndRaise(frame, service->OwnCheckOut(oid, file_name, workspace.get(), &path));
  checked_out_ = !path.empty();
  CheckAndRaise(frame, checked_out_ ? service->CheckOut(oid, workspace.get(), &path)
                                    : service->GetCopy(oid, workspace.get(), &path));
  return path;
}

}  // namespace ovc::apps
