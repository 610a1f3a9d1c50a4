#include "orvan/components/class_view.h"

#include "automation/text.h"
#include "orvan/components/attribute.h"

namespace ovc::orvan::components {

HRESULT ClassView::Definition(const void* out, const orvan::ClassView** view) const {
  if (out == nullptr) return E_POINTER;
  if (!view_) {
    return Fail(E_UNEXPECTED, L"This class view holds no definition; get it from Cache.ClassView.");
  }
  *view = view_.get();
  return S_OK;
}

HRESULT ClassView::get_Name(std::wstring* name) {
  const orvan::ClassView* view = nullptr;
  if (HRESULT hr = Definition(name, &view); Failed(hr)) return hr;
  *name = FromUtf8(view->name);
  return S_OK;
}

HRESULT ClassView::Attribute(const std::wstring& route, IDispatch** attribute) {
  const orvan::ClassView* view = nullptr;
  if (HRESULT hr = Definition(attribute, &view); Failed(hr)) return hr;
  const Route* found = view->FindRoute(ToUtf8(route));
  if (found == nullptr) {
    return Fail(E_INVALIDARG, L"The class view '" + FromUtf8(view->name) + L"' has no attribute '" +
                                  route + L"'.");
  }
  *attribute = MakeObject<components::Attribute>(Share(view_, found)).Detach();
  return S_OK;
}

HRESULT ClassView::get_AttributeRoutes(Variant* routes) {
  const orvan::ClassView* view = nullptr;
  if (HRESULT hr = Definition(routes, &view); Failed(hr)) return hr;
  std::vector<std::string> names;
  names.reserve(view->routes.size());
  for (const Route& route : view->routes) names.push_back(route.name);
  *routes = TextArray(names);
  return S_OK;
}

}  // namespace ovc::orvan::components
