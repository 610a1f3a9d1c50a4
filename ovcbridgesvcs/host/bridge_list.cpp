#include "ovcbridgesvcs/host/bridge_list.h"

#include "automation/com_ptr.h"
#include "automation/dom/dom.h"
#include "automation/variant.h"

namespace ovc {
namespace {

// Appends the attributes of one Bridge element to *texts.
HRESULT ReadBridge(IDispatch* node, std::vector<std::wstring>* texts) {
  ComPtr<IXMLDOMElement> bridge;
  HRESULT hr = ComPtr<IDispatch>(node).As(&bridge);
  for (const std::wstring_view name : kBridgeListAttributes) {
    if (Failed(hr)) break;
    Variant value;
    hr = bridge->getAttribute(std::wstring(name), &value);
    if (hr == S_FALSE || (Succeeded(hr) && value.vt() != VT_BSTR)) hr = E_POINTER;
    if (Succeeded(hr)) texts->push_back(value.bstr());
  }
  return hr;
}

}  // namespace

HRESULT ReadBridgeList(std::wstring_view response, std::vector<std::wstring>* texts) {
  ComPtr<IXMLDOMDocument> document;
  HRESULT hr = CreateDomDocument(&document);
  VARIANT_BOOL parsed = VARIANT_FALSE;
  if (Succeeded(hr)) hr = document->loadXML(std::wstring(response), &parsed);
  if (Succeeded(hr) && parsed != VARIANT_TRUE) hr = E_FAIL;
  ComPtr<IDispatch> list_dispatch;
  if (Succeeded(hr)) hr = document->getElementsByTagName(L"Bridge", list_dispatch.Receive());
  ComPtr<IXMLDOMNodeList> list;
  if (Succeeded(hr)) hr = list_dispatch.As(&list);
  int32_t count = 0;
  if (Succeeded(hr)) hr = list->get_length(&count);
  std::vector<std::wstring> read;
  for (int32_t i = 0; Succeeded(hr) && i < count; ++i) {
    ComPtr<IDispatch> node;
    hr = list->get_item(i, node.Receive());
    if (Succeeded(hr)) hr = ReadBridge(node.get(), &read);
  }
  if (Failed(hr)) return hr;
  texts->insert(texts->end(), read.begin(), read.end());
  return S_OK;
}

}  // namespace ovc
