// The LinkSet's XML form.
#include <string>

#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/links/link_set.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::links {

HRESULT CLinkSet::GetXML(Variant* document) {
  CMethodFrame frame(L"CLinkSet::GetXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr) return E_POINTER;
    const ComPtr<IXMLDOMDocument> built =
        xml::ParseDocument(frame, L"<?xml version=\"1.0\"?><Linkset/>");
    const ComPtr<IXMLDOMElement> element = xml::DocumentElement(frame, built.get());
    xml::AddAttributes(frame, built.get(), element.get(),
                       {{L"OID", Variant::I4(oid_)},
                        {L"Name", Variant(name_)},
                        {L"Class", Variant(class_)},
                        {L"CaseSelected", Variant::I4(case_oid_)},
                        {L"UnitStdSelected", Variant(unit_std_selected_)},
                        {L"Enabled", xml::FlagValue(enabled_)},
                        {L"Description", Variant(description_)},
                        {L"Iterative", xml::FlagValue(iterative_)}});
    const ComPtr<IXMLDOMElement> objects =
        xml::AppendNewElement(frame, built.get(), element.get(), L"ClassViewObjects");
    for (size_t i = 0; i < object_oids_.size(); ++i) {
      const ComPtr<IXMLDOMElement> object =
          xml::AppendNewElement(frame, built.get(), objects.get(), L"Object");
      xml::AddAttributes(frame, built.get(), object.get(),
                         {{L"OID", Variant(std::to_wstring(object_oids_[i]))},
                          {L"ObjectName", Variant(object_names_[i])}});
    }
    const ComPtr<IXMLDOMElement> links =
        xml::AppendNewElement(frame, built.get(), element.get(), L"Links");
    for (const ComPtr<ILink>& link : links_.items()) {
      if (auto* own = dynamic_cast<CLink*>(link.get())) {
        own->WriteXmlAttributes(
            frame, built.get(),
            xml::AppendNewElement(frame, built.get(), links.get(), L"Link").get());
        continue;
      }
      Variant link_document;
      CheckAndRaise(frame, link->GetXML(&link_document));
      const ComPtr<IXMLDOMNode> link_root = xml::NodeOf(link_document);
      if (!link_root) RaiseError(frame, SourceLocation::Current(), E_NOINTERFACE);
      const ComPtr<IXMLDOMNode> link_element =
          xml::SelectFirstNode(frame, link_root.get(), L"./Link");
      if (link_element) xml::AppendNode(frame, links.get(), link_element.get());
    }
    *document = xml::DocumentValue(built.get());
    return S_OK;
  });
}

HRESULT CLinkSet::ReadXML(const Variant& link_set) {
  CMethodFrame frame(L"CLinkSet::ReadXML");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IXMLDOMElement> node =
        xml::ElementToRead(frame, link_set, L"Linkset", xml::TextSource::kXmlText);
    if (!node) {
      return ReportError(CLSID_LinkSet, L"ReadXML takes a Linkset element or XML text of one.",
                         IID_NULL, E_INVALIDARG);
    }
    const xml::AttributeReader reader(frame, node.get());
    CheckAndRaise(frame, put_OID(reader.Oid(L"OID")));
    CheckAndRaise(frame, put_Name(reader.Text(L"Name")));
    CheckAndRaise(frame, put_Class(reader.Text(L"Class")));
    CheckAndRaise(frame, ReadObjects(node.get()));
    CheckAndRaise(frame, put_Description(reader.Text(L"Description")));
    CheckAndRaise(frame, put_CaseOID(reader.Integer(L"CaseSelected")));
    CheckAndRaise(frame, put_UnitStdSelected(reader.Text(L"UnitStdSelected")));
    CheckAndRaise(frame, put_Enabled(ToVariantBool(reader.Flag(L"Enabled"))));
    CheckAndRaise(frame, put_Iterative(ToVariantBool(reader.Flag(L"Iterative"))));
    for (const ComPtr<IXMLDOMNode>& link_node :
         xml::SelectNodes(frame, node.get(), L".//Links/Link")) {
      Variant added;
      CheckAndRaise(frame, AddLink(&added));
      const ComPtr<ILink> link = ComPtr<IDispatch>(added.dispatch()).As<ILink>();
      CheckAndRaise(frame, link->ReadXML(Variant(static_cast<IDispatch*>(link_node.get()))));
    }
    return S_OK;
  });
}

HRESULT CLinkSet::ReadObjects(IDispatch* node) {
  CMethodFrame frame(L"CLinkSet::ReadObjects");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IXMLDOMNode> element = xml::NodeOf(Variant(node));
    if (!element) return E_INVALIDARG;
    for (const ComPtr<IXMLDOMNode>& object :
         xml::SelectNodes(frame, element.get(), L".//ClassViewObjects/Object")) {
      const xml::AttributeReader reader(frame, object.get());
      const int32_t oid = reader.Oid(L"OID");
      std::wstring name = reader.Text(L"ObjectName");
      object_oids_.push_back(oid);
      object_names_.push_back(std::move(name));
    }
    return S_OK;
  });
}

}  // namespace ovc::links
