// The Bridge document: written to and read from XML.
#include <string>

#include "automation/class_registry.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"
#include "ovcbridgesvcs/xml/xml_part.h"

namespace ovc::bridge {
namespace {

// A file name keeps its first "&" plain in the Bridge document: the first
// "#38;" of the stored value goes, so "&#38;" reads back as "&".
void UnescapeFirstAmpersand(CMethodFrame& frame, pugi::xml_node file) {
  pugi::xml_attribute attribute = file.attribute("FileName");
  std::string name = attribute.value();
  const size_t reference = name.find("#38;");
  if (reference == std::string::npos) return;
  name.erase(reference, 4);
  if (!attribute.set_value(name.c_str()))
    RaiseError(frame, SourceLocation::Current(), E_OUTOFMEMORY);
}

// What a time-stamp property takes for a date read: no date is empty.
Variant TimeStampOf(const Variant& date) { return date.IsNull() ? Variant() : date; }

}  // namespace

HRESULT CBridge::GetXML(Variant* document) {
  CMethodFrame frame(L"CBridge::GetXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr) return E_POINTER;
    pugi::xml_document tree;
    WriteXml(frame, &tree);
    *document = xml::DocumentValue(frame, tree);
    return S_OK;
  });
}

void CBridge::WriteXml(CMethodFrame& frame, pugi::xml_document* tree) {
  xml::StartDocument(frame, tree);
  const xml::ElementWriter root = xml::ElementWriter(frame, *tree).Child("Bridge");
  root.Integer("OID", oid_)
      .Text("Name", name_)
      .Text("CreatedBy", created_by_)
      .Date("DateCreated", created_time_stamp_)
      .Text("ModifiedBy", modified_by_)
      .Date("DateModified", modified_time_stamp_)
      .Integer("Case", case_oid_)
      .Text("UnitStandard", unit_std_selected_)
      .Text("Description", description_)
      .Flag("Optimize", optimize_performance_);
  const pugi::xml_node link_sets = root.Child("Linksets").element();
  for (const ComPtr<ILinkSet>& link_set : link_sets_.items()) {
    // Working copies live for one run; stored, they would come back as
    // ordinary LinkSets writing the template's locations once more.
    VARIANT_BOOL working_copy = VARIANT_FALSE;
    CheckAndRaise(frame, link_set->get_IterativeCopy(&working_copy));
    if (working_copy == VARIANT_FALSE) xml::WritePart(frame, link_set.get(), link_sets, "Linkset");
  }
  const pugi::xml_node files = root.Child("BridgeFiles").element();
  int32_t app_count = 0;
  if (apps_) CheckAndRaise(frame, apps_->get_Count(&app_count));
  for (int32_t i = 0; i < app_count; ++i) {
    Variant item;
    CheckAndRaise(frame, apps_->get_Item(Variant::I4(i), &item));
    ComPtr<IApp> app;
    CheckAndRaise(frame, ComPtr<IDispatch>(item.dispatch()).As(&app));
    xml::WritePart(frame, app.get(), files, "File");
    UnescapeFirstAmpersand(frame, files.last_child());
  }
}

HRESULT CBridge::ReadXML(const Variant& bridge) {
  return xml::RunReadXml(
      L"CBridge::ReadXML", CLSID_Bridge, bridge, "Bridge", xml::TextSource::kXmlText,
      L"ReadXML takes a Bridge element or XML text of one.",
      [&](CMethodFrame& frame, pugi::xml_node element) { ReadXml(frame, element); });
}

void CBridge::ReadXml(CMethodFrame& frame, pugi::xml_node element) {
  const xml::ElementReader reader(element);
  CheckAndRaise(frame, put_OID(reader.Oid("OID")));
  version_ = element.attribute("Version").value();
  locked_ = reader.Integer("Locked") != 0;
  CheckAndRaise(frame, put_Name(reader.Text("Name")));
  CheckAndRaise(frame, put_CreatedBy(reader.Text("CreatedBy")));
  CheckAndRaise(frame, put_CreatedTimeStamp(TimeStampOf(reader.Date("DateCreated"))));
  CheckAndRaise(frame, put_ModifiedBy(reader.Text("ModifiedBy")));
  CheckAndRaise(frame, put_ModifiedTimeStamp(TimeStampOf(reader.Date("DateModified"))));
  CheckAndRaise(frame, put_CaseOID(reader.Integer("Case")));
  CheckAndRaise(frame, put_UnitStdSelected(reader.Text("UnitStandard")));
  CheckAndRaise(frame, put_Description(reader.Text("Description")));
  CheckAndRaise(frame, put_OptimizePerformance(links::ToVariantBool(reader.Flag("Optimize"))));
  for (const pugi::xml_node link_sets : element.children("Linksets")) {
    for (const pugi::xml_node link_set : link_sets.children("Linkset")) {
      Variant added;
      CheckAndRaise(frame, AddLinkSet(&added));
      xml::ReadPart(frame, ComPtr<IDispatch>(added.dispatch()).As<ILinkSet>().get(), link_set);
    }
  }
  for (const pugi::xml_node files : element.children("BridgeFiles")) {
    for (const pugi::xml_node file : files.children("File")) {
      ComPtr<IApp> app;
      CheckAndRaise(
          frame, CoCreateInstance(CLSID_App, nullptr, CLSCTX_ALL, IApp::kIid, app.ReceiveVoid()));
      xml::ReadPart(frame, app.get(), file);
      if (!apps_) RaiseError(frame, SourceLocation::Current(), E_POINTER);
      CheckAndRaise(frame, apps_->Add(app.get()));
    }
  }
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
