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
    const ComPtr<IXMLDOMDocument> built =
        xml::ParseDocument(frame, L"<?xml version=\"1.0\"?><Link/>");
    const ComPtr<IXMLDOMElement> element = xml::DocumentElement(frame, built.get());
    WriteXmlAttributes(frame, built.get(), element.get());
    *document = xml::DocumentValue(built.get());
    return S_OK;
  });
}

void CLink::WriteXmlAttributes(CMethodFrame& frame, IXMLDOMDocument* document,
                               IXMLDOMElement* element) {
  std::wstring units = pending_unit_sys_name_;
  if (units.empty()) units = SelectionText(unit_selected_id_, UnitText::kSystemName);
  xml::AddAttributes(frame, document, element,
                     {{L"Description", Variant(description_)},
                      {L"Route", Variant(attrib_name_)},
                      {L"ReadLocation", Variant(read_location_)},
                      {L"WriteLocation", Variant(write_location_)},
                      {L"Case", Variant::I4(case_oid_)},
                      {L"Units", Variant(units)},
                      {L"ReadFormat", Variant(read_format_)},
                      {L"WriteFormat", Variant(write_format_)},
                      {L"Enabled", xml::FlagValue(enabled_)}});
}

HRESULT CLink::ReadXML(const Variant& link) {
  CMethodFrame frame(L"CLink::ReadXML");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IXMLDOMElement> node =
        xml::ElementToRead(frame, link, L"Link", xml::TextSource::kFilePath);
    if (!node) {
      return ReportError(CLSID_Link, L"ReadXML takes a Link element or a file holding one.",
                         IID_NULL, E_INVALIDARG);
    }
    const xml::AttributeReader reader(frame, node.get());
    CheckAndRaise(frame, put_Description(reader.Text(L"Description")));
    CheckAndRaise(frame, put_AttribName(reader.Text(L"Route")));
    CheckAndRaise(frame, put_ReadLocation(reader.Text(L"ReadLocation")));
    CheckAndRaise(frame, put_WriteLocation(reader.Text(L"WriteLocation")));
    CheckAndRaise(frame, put_CaseOID(reader.Integer(L"Case")));
    pending_unit_sys_name_ = reader.Text(L"Units");
    ApplyPendingUnitName();
    CheckAndRaise(frame, put_ReadFormat(reader.Text(L"ReadFormat")));
    CheckAndRaise(frame, put_WriteFormat(reader.Text(L"WriteFormat")));
    CheckAndRaise(frame, put_Enabled(ToVariantBool(reader.Flag(L"Enabled"))));
    return S_OK;
  });
}

}  // namespace ovc::links
