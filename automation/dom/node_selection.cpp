// The members of NodeBase that find nodes: XPath selection and the search
// by tag name.
#include <string_view>
#include <vector>

#include "automation/dom/dom_error.h"
#include "automation/dom/node_base.h"
#include "automation/dom/node_factory.h"
#include "automation/dom/static_node_list.h"
#include "automation/dom/tree_walk.h"
#include "automation/text.h"

namespace ovc::dom {

namespace {

HRESULT XPathError(const std::wstring& query, const pugi::xpath_parse_result& result) {
  std::wstring description =
      L"The XPath expression \"" + query + L"\" is not valid: " + FromUtf8(result.description());
  if (result.offset >= 0) {
    description += L" (at character " + std::to_wstring(result.offset + 1) + L")";
  }
  return DomError(E_FAIL, description + L".");
}

HRESULT WrapFound(const std::shared_ptr<NodeStore>& store, const pugi::xpath_node& found,
                  DomDocument* owner, IDispatch** object) {
  if (found.attribute()) {
    return WrapAttribute(store, found.parent(), found.attribute(), owner, object);
  }
  return WrapNode(store, found.node(), owner, object);
}

}  // namespace

HRESULT NodeBase::SelectNodes(const std::wstring& query, IDispatch** list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  const pugi::xpath_node context =
      attribute_ ? pugi::xpath_node(attribute_, node_) : pugi::xpath_node(node_);
  pugi::xpath_node_set found;
  try {
    const pugi::xpath_query compiled(ToUtf8(query).c_str());
    found = compiled.evaluate_node_set(context);
  } catch (const pugi::xpath_exception& error) {
    return XPathError(query, error.result());
  }
  found.sort();
  std::vector<ComPtr<IDispatch>> nodes;
  nodes.reserve(found.size());
  for (const pugi::xpath_node& item : found) {
    ComPtr<IDispatch> object;
    WrapFound(store_, item, document(), object.Receive());
    if (object) nodes.push_back(std::move(object));
  }
  *list = MakeObject<StaticNodeList>(std::move(nodes)).Detach();
  return S_OK;
}

HRESULT NodeBase::SelectSingleNode(const std::wstring& query, IDispatch** node) {
  if (node == nullptr) return E_POINTER;
  *node = nullptr;
  ComPtr<IDispatch> list_object;
  const HRESULT hr = SelectNodes(query, list_object.Receive());
  if (Failed(hr)) return hr;
  ComPtr<IXMLDOMNodeList> list = list_object.As<IXMLDOMNodeList>();
  return list->get_item(0, node);
}

HRESULT NodeBase::ElementsByTagName(const std::wstring& name, IDispatch** list) {
  if (list == nullptr) return E_POINTER;
  const std::string wanted = ToUtf8(name);
  const bool any = wanted == "*";
  std::vector<ComPtr<IDispatch>> nodes;
  TreeWalk walk(attribute_ ? pugi::xml_node() : node_);
  while (walk.Next()) {
    const pugi::xml_node node = walk.node();
    if (node.type() != pugi::node_element || !(any || wanted == node.name())) continue;
    ComPtr<IDispatch> object;
    WrapNode(store_, node, document(), object.Receive());
    nodes.push_back(std::move(object));
  }
  *list = MakeObject<StaticNodeList>(std::move(nodes)).Detach();
  return S_OK;
}

}  // namespace ovc::dom
