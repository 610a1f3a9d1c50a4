// The "Objects" request of a transfer with the host.
#include <cstdint>
#include <string>

#include "automation/number_text.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/xml/variant_util.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::transfer {
namespace {

// The text of a value the host stores: reals and dates (as serial numbers)
// in the shortest form that reads back exactly. False for a value no text
// expresses (an error value, an object).
bool QuantityText(const Variant& value, std::wstring* text) {
  if (value.vt() == VT_R8) {
    *text = DoubleToRoundTripText(value.r8());
    return true;
  }
  if (value.vt() == VT_DATE) {
    *text = DoubleToRoundTripText(value.date());
    return true;
  }
  if (value.vt() == VT_ERROR) return false;
  return Succeeded(xml::FormatForXML(value, text));
}

// The text of a prefix, postfix or substitution; empty for anything but text.
std::wstring AffixText(const Variant& value) {
  std::wstring text;
  if (value.vt() == VT_BSTR) text = value.bstr();
  return text;
}

bool IsNothing(const Variant& value) { return value.IsEmpty() || value.IsNull(); }

// Element `k` of `value` when it is a vector holding one; empty otherwise.
Variant ElementOf(const Variant& value, int32_t k) {
  Variant element;
  if (!value.IsArray() || value.array().dimensions() != 1) return element;
  int32_t index = 0;
  value.array().LowerBound(1, &index);
  index += k;
  if (Failed(value.array().GetElement(std::span<const int32_t>(&index, 1), &element))) {
    return Variant();
  }
  return element;
}

// Adds Quantity when `value` can be expressed; a value that cannot (an error
// value of a cell) is sent without it, so that it never fails the request.
void AddQuantity(const xml::ElementWriter& value_element, const Variant& value) {
  std::wstring text;
  if (QuantityText(value, &text)) value_element.Text("Quantity", text);
}

void AddSingleValue(CMethodFrame& frame, const xml::ElementWriter& values, ILink* link,
                    const Variant& app_value) {
  const xml::ElementWriter value = values.Child("Value");
  if (GotFlag(frame, link, &ILink::get_ReadValueFromApp)) AddQuantity(value, app_value);
  value.Text("Prefix", AffixText(Got(frame, link, &ILink::get_Prefix)))
      .Text("Postfix", AffixText(Got(frame, link, &ILink::get_Postfix)))
      .Text("Substitution", AffixText(Got(frame, link, &ILink::get_Substitution)));
}

// One Value per element; an empty element sends its substitution alone when
// it has one.
void AddVectorValues(CMethodFrame& frame, const xml::ElementWriter& values, ILink* link,
                     const Variant& app_value) {
  const Variant substitutions = Got(frame, link, &ILink::get_Substitution);
  const Variant prefixes = Got(frame, link, &ILink::get_Prefix);
  const Variant postfixes = Got(frame, link, &ILink::get_Postfix);
  const auto count = static_cast<int32_t>(app_value.array().size());
  for (int32_t k = 0; k < count; ++k) {
    const xml::ElementWriter value = values.Child("Value");
    const Variant element = ElementOf(app_value, k);
    const Variant substitution = ElementOf(substitutions, k);
    if (!IsNothing(element)) {
      AddQuantity(value, element);
      if (!IsNothing(substitution)) value.Text("Substitution", AffixText(substitution));
    } else {
      if (IsNothing(substitution)) value.Text("Quantity", L"");
      value.Text("Substitution", AffixText(substitution));
    }
    value.Text("Prefix", AffixText(ElementOf(prefixes, k)))
        .Text("Postfix", AffixText(ElementOf(postfixes, k)));
  }
}

void AddValues(CMethodFrame& frame, const xml::ElementWriter& attribute, ILink* link) {
  const xml::ElementWriter values = attribute.Child("Values");
  const Variant app_value = Got(frame, link, &ILink::get_AppValue);
  if (app_value.IsArray() && app_value.array().dimensions() == 1) {
    AddVectorValues(frame, values, link, app_value);
  } else {
    AddSingleValue(frame, values, link, app_value);
  }
}

void AddAttribute(CMethodFrame& frame, const xml::ElementWriter& attributes, ILink* link,
                  const std::wstring& route, Direction direction) {
  const xml::ElementWriter attribute = attributes.Child("Attribute");
  attribute.Text("Route", route).Integer("Case", Got(frame, link, &ILink::get_CaseResolved));
  const std::wstring unit_set = Got(frame, link, &ILink::get_UnitSetName);
  if (!unit_set.empty()) {
    attribute.Text("UnitSet", unit_set);
  } else {
    attribute.Text("Units", Got(frame, link, &ILink::get_UnitSysNameResolved));
  }
  if (direction == Direction::kWrite) AddValues(frame, attribute, link);
}

void AddObject(CMethodFrame& frame, const xml::ElementWriter& objects, ILinkSet* link_set,
               Direction direction) {
  const xml::ElementWriter object = objects.Child("Object");
  object.Integer("OID", Got(frame, link_set, &ILinkSet::get_ObjectOID))
      .Text("ClassView", Got(frame, link_set, &ILinkSet::get_Class));
  const xml::ElementWriter attributes = object.Child("Attributes");
  const int32_t count = Got(frame, link_set, &ILinkSet::get_Count);
  for (int32_t i = 0; i < count; ++i) {
    const ComPtr<ILink> link = LinkAt(frame, link_set, i);
    std::wstring route;
    if (LinkInRequest(frame, link.get(), direction, &route)) {
      AddAttribute(frame, attributes, link.get(), route, direction);
    }
  }
}

}  // namespace

std::wstring BuildAttributesRequest(CMethodFrame& frame,
                                    std::span<const ComPtr<ILinkSet>> link_sets,
                                    Direction direction) {
  pugi::xml_document tree;
  xml::StartDocument(frame, &tree);
  const xml::ElementWriter objects(frame, tree.append_child("Objects"));
  for (const ComPtr<ILinkSet>& link_set : link_sets) {
    if (LinkSetInRequest(frame, link_set.get()))
      AddObject(frame, objects, link_set.get(), direction);
  }
  return FromUtf8(xml::TreeText(tree));
}

}  // namespace ovc::transfer
