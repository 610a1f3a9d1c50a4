#pragma once

#include <pugixml.hpp>

#include "automation/variant.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/raise_error.h"

namespace ovc::xml {

// An object of the library that writes its own element of a document straight
// into a tree and reads it back from one, so that a document of many parts is
// built and read in one pass. Objects of other origins take part through
// their GetXML and ReadXML (see WritePart and ReadPart).
class XmlPart {
 public:
  // Appends the object's element as the last child of `parent`; failures
  // raise through `frame`.
  virtual void WriteXml(CMethodFrame& frame, pugi::xml_node parent) = 0;
  // Reads the object from its `element` as ReadXML does; failures raise
  // through `frame`.
  virtual void ReadXml(CMethodFrame& frame, pugi::xml_node element) = 0;

 protected:
  ~XmlPart() = default;
};

// The DOM document of `part` alone, as its GetXML hands it out.
Variant PartDocument(CMethodFrame& frame, XmlPart& part);

// Appends to `parent` a copy of the element `name` of `document`, the DOM
// document a GetXML handed out. Raises E_NOINTERFACE when `document` holds
// no DOM node, E_FAIL when the document has no such element.
void AppendPartDocument(CMethodFrame& frame, const Variant& document, pugi::xml_node parent,
                        const char* name);

// A DOM element (VT_DISPATCH) parsed from the text of `element`, for a
// ReadXML of another origin.
Variant ElementValue(CMethodFrame& frame, pugi::xml_node element);

// Appends the element `name` of `part` (an ILink, ILinkSet or IApp) to
// `parent`: written by the part itself when it is an XmlPart, copied from
// its GetXML otherwise.
template <class Part>
void WritePart(CMethodFrame& frame, Part* part, pugi::xml_node parent, const char* name) {
  if (auto* own = dynamic_cast<XmlPart*>(part)) return own->WriteXml(frame, parent);
  Variant document;
  CheckAndRaise(frame, part->GetXML(&document));
  AppendPartDocument(frame, document, parent, name);
}

// Reads `part` (an ILink, ILinkSet or IApp) from `element`: by the part
// itself when it is an XmlPart, through its ReadXML otherwise.
template <class Part>
void ReadPart(CMethodFrame& frame, Part* part, pugi::xml_node element) {
  if (auto* own = dynamic_cast<XmlPart*>(part)) return own->ReadXml(frame, element);
  CheckAndRaise(frame, part->ReadXML(ElementValue(frame, element)));
}

}  // namespace ovc::xml
