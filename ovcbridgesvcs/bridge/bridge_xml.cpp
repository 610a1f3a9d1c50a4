// The Bridge document: written to and read from XML.
#include "automation/class_registry.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::bridge {
namespace {

// Adds a date attribute only when `time_stamp` holds a date.
void AddTimeStamp(CMethodFrame& frame, IXMLDOMDocument* document, IXMLDOMElement* element,
                  std::wstring_view name, const Variant& time_stamp) {
  if (time_stamp.vt() == VT_DATE)
    xml::AddAttributes(frame, document, element, {{name, time_stamp}});
}

// The first `name` element of the document a part's GetXML handed out.
ComPtr<IXMLDOMNode> PartElement(CMethodFrame& frame, const Variant& part_document,
                                std::wstring_view name) {
  const ComPtr<IXMLDOMNode> root = xml::NodeOf(part_document);
  if (!root) RaiseError(frame, SourceLocation::Current(), E_NOINTERFACE);
  const ComPtr<IXMLDOMNode> element = xml::SelectFirstNode(frame, root.get(), name);
  if (!element) {
    RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                   L"The document of a part has no " + std::wstring(name) + L" element.");
  }
  return element;
}

// A file name keeps its first "&" plain in the Bridge document: the first
// "#38;" of the stored value goes, so "&#38;" reads back as "&".
void UnescapeFirstAmpersand(CMethodFrame& frame, IXMLDOMNode* file) {
  const ComPtr<IXMLDOMElement> element = ComPtr<IXMLDOMNode>(file).As<IXMLDOMElement>();
  if (!element) return;
  Variant value;
  CheckAndRaise(frame, element->getAttribute(L"FileName", &value));
  if (value.vt() != VT_BSTR) return;
  std::wstring name = value.bstr();
  const size_t reference = name.find(L"#38;");
  if (reference == std::wstring::npos) return;
  name.erase(reference, 4);
  CheckAndRaise(frame, element->setAttribute(L"FileName", Variant(std::move(name))));
}

// What a time-stamp property takes for a date read: no date is empty.
Variant TimeStampOf(const Variant& date) { return date.IsNull() ? Variant() : date; }

Variant NodeValue(IXMLDOMNode* node) { return Variant(static_cast<IDispatch*>(node)); }

}  // namespace

HRESULT CBridge::GetXML(Variant* document) {
  CMethodFrame frame(L"CBridge::GetXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr) return E_POINTER;
    const ComPtr<IXMLDOMDocument> built =
        xml::ParseDocument(frame, L"<?xml version=\"1.0\"?><Bridge/>");
    const ComPtr<IXMLDOMElement> root = xml::DocumentElement(frame, built.get());
    xml::AddAttributes(frame, built.get(), root.get(),
                       {{L"OID", Variant::I4(oid_)},
                        {L"Name", Variant(name_)},
                        {L"CreatedBy", Variant(created_by_)}});
    AddTimeStamp(frame, built.get(), root.get(), L"DateCreated", created_time_stamp_);
    xml::AddAttributes(frame, built.get(), root.get(), {{L"ModifiedBy", Variant(modified_by_)}});
    AddTimeStamp(frame, built.get(), root.get(), L"DateModified", modified_time_stamp_);
    xml::AddAttributes(frame, built.get(), root.get(),
                       {{L"Case", Variant::I4(case_oid_)},
                        {L"UnitStandard", Variant(unit_std_selected_)},
                        {L"Description", Variant(description_)},
                        {L"Optimize", xml::FlagValue(optimize_performance_)}});
    const ComPtr<IXMLDOMElement> link_sets =
        xml::AppendNewElement(frame, built.get(), root.get(), L"Linksets");
    for (const ComPtr<ILinkSet>& link_set : link_sets_.items()) {
      Variant part;
      CheckAndRaise(frame, link_set->GetXML(&part));
      xml::AppendNode(frame, link_sets.get(), PartElement(frame, part, L"Linkset").get());
    }
    const ComPtr<IXMLDOMElement> files =
        xml::AppendNewElement(frame, built.get(), root.get(), L"BridgeFiles");
    int32_t app_count = 0;
    if (apps_) CheckAndRaise(frame, apps_->get_Count(&app_count));
    for (int32_t i = 0; i < app_count; ++i) {
      Variant item;
      CheckAndRaise(frame, apps_->get_Item(Variant::I4(i), &item));
      ComPtr<IApp> app;
      CheckAndRaise(frame, ComPtr<IDispatch>(item.dispatch()).As(&app));
      Variant part;
      CheckAndRaise(frame, app->GetXML(&part));
      const ComPtr<IXMLDOMNode> file = PartElement(frame, part, L"File");
      xml::AppendNode(frame, files.get(), file.get());
      UnescapeFirstAmpersand(frame, file.get());
    }
    *document = xml::DocumentValue(built.get());
    return S_OK;
  });
}

HRESULT CBridge::ReadXML(const Variant& bridge) {
  CMethodFrame frame(L"CBridge::ReadXML");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IXMLDOMElement> element =
        xml::ElementToRead(frame, bridge, L"Bridge", xml::TextSource::kXmlText);
    if (!element) {
      return ReportError(CLSID_Bridge, L"ReadXML takes a Bridge element or XML text of one.",
                         IID_NULL, E_INVALIDARG);
    }
    const xml::AttributeReader reader(frame, element.get());
    CheckAndRaise(frame, put_OID(reader.Oid(L"OID")));
    locked_ = reader.Integer(L"Locked") != 0;
    CheckAndRaise(frame, put_Name(reader.Text(L"Name")));
    CheckAndRaise(frame, put_CreatedBy(reader.Text(L"CreatedBy")));
    CheckAndRaise(frame, put_CreatedTimeStamp(TimeStampOf(reader.Date(L"DateCreated"))));
    CheckAndRaise(frame, put_ModifiedBy(reader.Text(L"ModifiedBy")));
    CheckAndRaise(frame, put_ModifiedTimeStamp(TimeStampOf(reader.Date(L"DateModified"))));
    CheckAndRaise(frame, put_CaseOID(reader.Integer(L"Case")));
    CheckAndRaise(frame, put_UnitStdSelected(reader.Text(L"UnitStandard")));
    CheckAndRaise(frame, put_Description(reader.Text(L"Description")));
    CheckAndRaise(frame, put_OptimizePerformance(links::ToVariantBool(reader.Flag(L"Optimize"))));
    for (const ComPtr<IXMLDOMNode>& node :
         xml::SelectNodes(frame, element.get(), L"Linksets/Linkset")) {
      Variant added;
      CheckAndRaise(frame, AddLinkSet(&added));
      const ComPtr<ILinkSet> link_set = ComPtr<IDispatch>(added.dispatch()).As<ILinkSet>();
      CheckAndRaise(frame, link_set->ReadXML(NodeValue(node.get())));
    }
    for (const ComPtr<IXMLDOMNode>& node :
         xml::SelectNodes(frame, element.get(), L"BridgeFiles/File")) {
      ComPtr<IApp> app;
      CheckAndRaise(
          frame, CoCreateInstance(CLSID_App, nullptr, CLSCTX_ALL, IApp::kIid, app.ReceiveVoid()));
      CheckAndRaise(frame, app->ReadXML(NodeValue(node.get())));
      if (!apps_) RaiseError(frame, SourceLocation::Current(), E_POINTER);
      CheckAndRaise(frame, apps_->Add(app.get()));
    }
    return S_OK;
  });
}

HRESULT CBridge::WriteToXML(const Variant& file) {
  CMethodFrame frame(L"CBridge::WriteToXML");
  return RunMethod(frame, [&]() -> HRESULT {
    Variant document;
    const HRESULT hr = GetXML(&document);
    if (Failed(hr)) return ReportError(CLSID_Bridge, L"Failed to get Bridge XML", IID_NULL, hr);
    const ComPtr<IXMLDOMNode> node = xml::NodeOf(document);
    const ComPtr<IXMLDOMDocument> dom = node ? node.As<IXMLDOMDocument>() : nullptr;
    if (!dom) return ReportError(CLSID_Bridge, L"Failed to get XML Document", IID_NULL, E_FAIL);
    CheckAndRaise(frame, dom->save(file));
    return S_OK;
  });
}

}  // namespace ovc::bridge
