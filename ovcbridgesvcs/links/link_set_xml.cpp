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
namespace {

// Each element `name` whose parent is an element `parent_name` below
// `element`, in document order.
template <class Visit>
void ForEachChildOf(pugi::xml_node element, std::string_view parent_name, std::string_view name,
                    Visit&& visit) {
  xml::ForEachElementNamed(element, name, [&](pugi::xml_node child) {
    const pugi::xml_node parent = child.parent();
    if (parent != element && parent_name == parent.name()) visit(child);
  });
}

}  // namespace

HRESULT CLinkSet::GetXML(Variant* document) {
  CMethodFrame frame(L"CLinkSet::GetXML");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr) return E_POINTER;
    *document = xml::PartDocument(frame, *this);
    return S_OK;
  });
}

void CLinkSet::WriteXml(CMethodFrame& frame, pugi::xml_node parent) {
  const xml::ElementWriter element = xml::ElementWriter(frame, parent).Child("Linkset");
  element.Integer("OID", oid_)
      .Text("Name", name_)
      .Text("Class", class_)
      .Integer("CaseSelected", case_oid_)
      .Text("UnitStdSelected", unit_std_selected_)
      .Flag("Enabled", enabled_)
      .Text("Description", description_)
      .Flag("Iterative", iterative_);
  const xml::ElementWriter objects = element.Child("ClassViewObjects");
  for (size_t i = 0; i < object_oids_.size(); ++i) {
    // An object may be given by its OID alone.
    const std::wstring_view name =
        i < object_names_.size() ? std::wstring_view(object_names_[i]) : std::wstring_view();
    objects.Child("Object").Integer("OID", object_oids_[i]).Text("ObjectName", name);
  }
  const pugi::xml_node links = element.Child("Links").element();
  DefaultUnitTexts unit_texts;
  for (const ComPtr<ILink>& link : links_.items()) {
    if (CLink* own = AsOwnLink(link.get())) {
      own->WriteElement(frame, links, &unit_texts);
    } else {
      xml::WritePart(frame, link.get(), links, "Link");
    }
  }
}

HRESULT CLinkSet::ReadXML(const Variant& link_set) {
  return xml::RunReadXml(
      L"CLinkSet::ReadXML", CLSID_LinkSet, link_set, "Linkset", xml::TextSource::kXmlText,
      L"ReadXML takes a Linkset element or XML text of one.",
      [&](CMethodFrame& frame, pugi::xml_node element) { ReadXml(frame, element); });
}

void CLinkSet::ReadXml(CMethodFrame& frame, pugi::xml_node element) {
  const xml::ElementReader reader(element);
  CheckAndRaise(frame, put_OID(reader.Oid("OID")));
  CheckAndRaise(frame, put_Name(reader.Text("Name")));
  CheckAndRaise(frame, put_Class(reader.Text("Class")));
  ReadObjectsOf(element);
  CheckAndRaise(frame, put_Description(reader.Text("Description")));
  CheckAndRaise(frame, put_CaseOID(reader.Integer("CaseSelected")));
  CheckAndRaise(frame, put_UnitStdSelected(reader.Text("UnitStdSelected")));
  CheckAndRaise(frame, put_Enabled(ToVariantBool(reader.Flag("Enabled"))));
  CheckAndRaise(frame, put_Iterative(ToVariantBool(reader.Flag("Iterative"))));
  BindingCache bindings;
  ForEachChildOf(element, "Links", "Link", [&](pugi::xml_node link_element) {
    const ComPtr<CLink> link = MakeObject<CLink>();
    link->JoinLinkSet(ComPtr<ILinkSet>(this));
    Append(link);
    link->ReadElement(link_element, &bindings);
  });
}

HRESULT CLinkSet::ReadObjects(IDispatch* node) {
  CMethodFrame frame(L"CLinkSet::ReadObjects");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IXMLDOMNode> dom_node = xml::NodeOf(Variant(node));
    if (!dom_node) return E_INVALIDARG;
    pugi::xml_document tree;
    ReadObjectsOf(xml::TreeOfNode(frame, dom_node.get(), &tree));
    return S_OK;
  });
}

void CLinkSet::ReadObjectsOf(pugi::xml_node element) {
  ForEachChildOf(element, "ClassViewObjects", "Object", [&](pugi::xml_node object) {
    const xml::ElementReader reader(object);
    object_oids_.push_back(reader.Oid("OID"));
    object_names_.push_back(reader.Text("ObjectName"));
  });
}

}  // namespace ovc::links
