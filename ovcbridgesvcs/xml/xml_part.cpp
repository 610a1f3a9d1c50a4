#include "ovcbridgesvcs/xml/xml_part.h"

#include <string>
#include <string_view>

#include "automation/text.h"
#include "ovcbridgesvcs/xml/xml_document.h"

namespace ovc::xml {

Variant PartDocument(CMethodFrame& frame, XmlPart& part) {
  pugi::xml_document tree;
  StartDocument(frame, &tree);
  part.WriteXml(frame, tree);
  return DocumentValue(frame, tree);
}

void AppendPartDocument(CMethodFrame& frame, const Variant& document, pugi::xml_node parent,
                        const char* name) {
  const ComPtr<IXMLDOMNode> node = NodeOf(document);
  if (!node) RaiseError(frame, SourceLocation::Current(), E_NOINTERFACE);
  pugi::xml_document tree;
  const pugi::xml_node element = TreeOfNode(frame, node.get(), &tree);
  if (std::string_view(element.name()) != name) {
    RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                   L"The document of a part has no " + FromUtf8(name) + L" element.");
  }
  if (!parent.append_copy(element)) RaiseError(frame, SourceLocation::Current(), E_OUTOFMEMORY);
}

Variant ElementValue(CMethodFrame& frame, pugi::xml_node element) {
  const ComPtr<IXMLDOMDocument> document = DomDocumentOf(frame, element);
  ComPtr<IDispatch> root;
  CheckAndRaise(frame, document->get_documentElement(root.Receive()));
  return Variant(root.get());
}

}  // namespace ovc::xml
