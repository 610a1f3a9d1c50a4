// The Link's XML form.
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::links {

HRESULT CLink::GetXML(Variant* document) {
  CMethodFrame frame(L"CLink::GetXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr) return E_POINTER;
    *document = xml::PartDocument(frame, *this);
    return S_OK;
  });
}

void CLink::WriteXml(CMethodFrame& frame, pugi::xml_node parent) {
  WriteElement(frame, parent, nullptr);
}

void CLink::WriteElement(CMethodFrame& frame, pugi::xml_node parent, DefaultUnitTexts* unit_texts) {
  std::wstring units = pending_unit_sys_name_;
  if (units.empty()) units = SelectionText(unit_selected_id_, UnitText::kSystemName, unit_texts);
  xml::ElementWriter(frame, parent)
      .Child("Link")
      .Text("Description", description_)
      .Text("Route", attrib_name_)
      .Text("ReadLocation", read_location_)
      .Text("WriteLocation", write_location_)
      .Integer("Case", case_oid_)
      .Text("Units", units)
      .Text("ReadFormat", read_format_)
      .Text("WriteFormat", write_format_)
      .Flag("Enabled", enabled_);
}

HRESULT CLink::ReadXML(const Variant& link) {
  return xml::RunReadXml(
      L"CLink::ReadXML", CLSID_Link, link, "Link", xml::TextSource::kFilePath,
      L"ReadXML takes a Link element or a file holding one.",
      [&](CMethodFrame& frame, pugi::xml_node element) { ReadXml(frame, element); });
}

void CLink::ReadXml(CMethodFrame&, pugi::xml_node element) { ReadElement(element, nullptr); }

void CLink::ReadElement(pugi::xml_node element, BindingCache* bindings) {
  const xml::ElementReader reader(element);
  SetPersisted(description_, reader.Text("Description"), dirty_);
  SetRoute(reader.Text("Route"), bindings);
  SetPersisted(read_location_, reader.Text("ReadLocation"), dirty_);
  SetPersisted(write_location_, reader.Text("WriteLocation"), dirty_);
  SetPersisted(case_oid_, reader.Integer("Case"), dirty_);
  pending_unit_sys_name_ = reader.Text("Units");
  ApplyPendingUnitName();
  SetPersisted(read_format_, reader.Text("ReadFormat"), dirty_);
  SetPersisted(write_format_, reader.Text("WriteFormat"), dirty_);
  SetPersisted(enabled_, reader.Flag("Enabled"), dirty_);
}

}  // namespace ovc::links
