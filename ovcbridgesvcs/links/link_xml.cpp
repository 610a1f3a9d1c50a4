// The Link's XML form.
#include "ovcbridgesvcs/frame/raise_error.h"
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
  std::wstring units = pending_unit_sys_name_;
  if (units.empty()) units = SelectionText(unit_selected_id_, UnitText::kSystemName);
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
  CMethodFrame frame(L"CLink::ReadXML");
  return RunMethod(frame, [&]() -> HRESULT {
    pugi::xml_document tree;
    const pugi::xml_node element =
        xml::ElementToRead(frame, link, "Link", xml::TextSource::kFilePath, &tree);
    if (!element) {
      return ReportError(CLSID_Link, L"ReadXML takes a Link element or a file holding one.",
                         IID_NULL, E_INVALIDARG);
    }
    ReadXml(frame, element);
    return S_OK;
  });
}

void CLink::ReadXml(CMethodFrame& frame, pugi::xml_node element) {
  const xml::ElementReader reader(element);
  CheckAndRaise(frame, put_Description(reader.Text("Description")));
  CheckAndRaise(frame, put_AttribName(reader.Text("Route")));
  CheckAndRaise(frame, put_ReadLocation(reader.Text("ReadLocation")));
  CheckAndRaise(frame, put_WriteLocation(reader.Text("WriteLocation")));
  CheckAndRaise(frame, put_CaseOID(reader.Integer("Case")));
  pending_unit_sys_name_ = reader.Text("Units");
  ApplyPendingUnitName();
  CheckAndRaise(frame, put_ReadFormat(reader.Text("ReadFormat")));
  CheckAndRaise(frame, put_WriteFormat(reader.Text("WriteFormat")));
  CheckAndRaise(frame, put_Enabled(ToVariantBool(reader.Flag("Enabled"))));
}

}  // namespace ovc::links
