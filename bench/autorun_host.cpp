#include "bench/autorun_host.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>

#include "automation/number_text.h"
#include "automation/text.h"

namespace ovc::bench {
namespace {

std::wstring Call(IOVWorkspace* workspace, const wchar_t* method, const std::wstring& request,
                  bool* ok) {
  ComPtr<IDispatch> dispatch;
  ComPtr<IOVDataServiceCall> call;
  std::wstring response;
  *ok = Succeeded(workspace->NewDataServiceCall(dispatch.Receive())) &&
        Succeeded(dispatch.As(&call)) && Succeeded(call->put_Option(0)) &&
        Succeeded(call->put_ServiceName(L"OVDBBridgeSvcs.Main")) &&
        Succeeded(call->put_MethodName(method)) && Succeeded(call->put_RequestText(request)) &&
        Succeeded(call->Execute(0)) && Succeeded(call->get_ResponseText(&response));
  return response;
}

// The request naming `objects`, with the values of `values` when given.
std::wstring Request(const std::vector<HostObject>& objects, const std::vector<Values>* values) {
  std::wstring text = L"<Objects>";
  for (size_t i = 0; i < objects.size(); ++i) {
    const HostObject& object = objects[i];
    text += L"<Object OID=\"" + std::to_wstring(object.oid) + L"\" ClassView=\"" +
            object.class_view + L"\"><Attributes>";
    for (size_t k = 0; k < object.routes.size(); ++k) {
      text += L"<Attribute Route=\"" + object.routes[k] + L"\" Case=\"101\" Units=\"kPa\"";
      if (values == nullptr) {
        text += L"/>";
        continue;
      }
      text += L"><Values><Value Quantity=\"" + DoubleToRoundTripText((*values)[i][k]) +
              L"\" Prefix=\"\" Postfix=\"\" Substitution=\"\"/></Values></Attribute>";
    }
    text += L"</Attributes></Object>";
  }
  return text + L"</Objects>";
}

bool ReadNumber(const char* text, double* number) {
  const char* end = text + std::char_traits<char>::length(text);
  return std::from_chars(text, end, *number).ptr == end && end != text;
}

}  // namespace

bool ReadHost(IOVWorkspace* workspace, const std::vector<HostObject>& objects,
              std::vector<Values>* values) {
  bool ok = false;
  const std::string response =
      ToUtf8(Call(workspace, L"ReadAttributes", Request(objects, nullptr), &ok));
  pugi::xml_document document;
  if (!ok || !document.load_buffer(response.data(), response.size())) return false;
  values->clear();
  for (pugi::xml_node object : document.child("Objects").children("Object")) {
    Values& read = values->emplace_back();
    for (pugi::xml_node attribute : object.first_child().children("Attribute")) {
      const char* quantity = attribute.child("Values").child("Value").attribute("Quantity").value();
      if (!ReadNumber(quantity, &read.emplace_back())) return false;
    }
  }
  return values->size() == objects.size();
}

bool WriteHost(IOVWorkspace* workspace, const std::vector<HostObject>& objects,
               const std::vector<Values>& values) {
  bool ok = false;
  Call(workspace, L"WriteAttributes", Request(objects, &values), &ok);
  return ok;
}

HRESULT Invoke(IDispatch* object, Member& member, uint16_t flags, std::vector<Variant> args,
               Variant* result) {
  if (object == nullptr) return E_POINTER;
  if (member.id == DISPID_UNKNOWN) {
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, &member.name, 1, 0, &member.id);
    if (Failed(hr)) return hr;
  }
  std::reverse(args.begin(), args.end());
  DISPID put = DISPID_PROPERTYPUT;
  const bool is_put = (flags & DISPATCH_PROPERTYPUT) != 0;
  DISPPARAMS parameters{args.data(), is_put ? &put : nullptr, static_cast<uint32_t>(args.size()),
                        is_put ? 1u : 0u};
  return object->Invoke(member.id, IID_NULL, 0, flags, &parameters, result, nullptr, nullptr);
}

ComPtr<IDispatch> GetObject(IDispatch* object, Member& member, std::vector<Variant> args) {
  Variant value;
  if (Failed(Invoke(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args),
                    &value)) ||
      value.vt() != VT_DISPATCH) {
    return nullptr;
  }
  return ComPtr<IDispatch>(value.dispatch());
}

}  // namespace ovc::bench
