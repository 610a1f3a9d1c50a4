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

// The "File" element `files` names: the node itself, the document element
// of a document (as GetXML gives it) or of the local file at the path it
// holds. Null for anything else.
ComPtr<IXMLDOMNode> FileNode(CMethodFrame& frame, const Variant& files) {
  ComPtr<IXMLDOMNode> node = xml::NodeOf(files);
  ComPtr<IXMLDOMDocument> document;
  std::wstring path;
  if (node) {
    if (Failed(node.As(&document))) return node;
  } else if (xml::TextOf(files, &path)) {
    document = xml::LoadLocalDocument(frame, path);
  } else {
    return nullptr;
  }
  return xml::DocumentElement(frame, document.get()).As<IXMLDOMNode>();
}

}  // namespace

HRESULT CApp::GetXML(Variant* document) {
  CMethodFrame frame(L"CApp::GetXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr) return E_POINTER;
    const ComPtr<IXMLDOMDocument> made =
        xml::ParseDocument(frame, L"<?xml version=\"1.0\"?><File/>");
    const ComPtr<IXMLDOMElement> file = xml::DocumentElement(frame, made.get());
    xml::AddAttributes(
        frame, made.get(), file.get(),
        {{L"OID", Variant(oid_)},
         {L"Enabled", xml::FlagValue(enabled_)},
         {L"FileName", Variant(xml::UnescapeXmlText(name_ + type_))},
         {L"BeforeToAppMacro", Variant(MacroName(*this, &IApp::get_MacroPreExport))},
         {L"BeforeFromAppMacro", Variant(MacroName(*this, &IApp::get_MacroPreImport))},
         {L"AfterToAppMacro", Variant(MacroName(*this, &IApp::get_MacroPostExport))},
         {L"AfterFromAppMacro", Variant(MacroName(*this, &IApp::get_MacroPostImport))},
         {L"ReleaseMacro", Variant(MacroName(*this, &IApp::get_MacroRelease))}});
    *document = xml::DocumentValue(made.get());
    return S_OK;
  });
}

HRESULT CApp::ReadXML(const Variant& files) {
  CMethodFrame frame(L"CApp::ReadXML");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IXMLDOMNode> node = FileNode(frame, files);
    if (!node) return E_INVALIDARG;
    const xml::AttributeReader file(frame, node.get());
    oid_ = file.Oid(L"OID");
    CheckAndRaise(frame, put_Path(TakeHostFile(frame, oid_)));
    CheckAndRaise(frame, put_Enabled(ToVariantBool(file.Flag(L"Enabled"))));
    CheckAndRaise(frame, put_MacroPreExport(file.Text(L"BeforeToAppMacro")));
    CheckAndRaise(frame, put_MacroPreImport(file.Text(L"BeforeFromAppMacro")));
    CheckAndRaise(frame, put_MacroPostExport(file.Text(L"AfterToAppMacro")));
    CheckAndRaise(frame, put_MacroPostImport(file.Text(L"AfterFromAppMacro")));
    CheckAndRaise(frame, put_MacroRelease(file.Text(L"ReleaseMacro")));
    return S_OK;
  });
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
