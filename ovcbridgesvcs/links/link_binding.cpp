#include "ovcbridgesvcs/links/link_binding.h"

namespace ovc::links {

const AttributeBinding* BindingCache::Find(IDispatch* view, IOVCache* host,
                                           const std::wstring& route) const {
  if (view != view_.get() || host != host_.get()) return nullptr;
  const auto found = bindings_.find(route);
  return found == bindings_.end() ? nullptr : &found->second;
}

void BindingCache::Keep(IDispatch* view, IOVCache* host, const std::wstring& route,
                        const AttributeBinding& binding) {
  if (view != view_.get() || host != host_.get()) {
    bindings_.clear();
    view_ = ComPtr<IDispatch>(view);
    host_ = ComPtr<IOVCache>(host);
  }
  bindings_.insert_or_assign(route, binding);
}

const std::wstring* DefaultUnitTexts::Find(const std::wstring& type, int32_t id) const {
  const auto found = texts_.find({type, id});
  return found == texts_.end() ? nullptr : &found->second;
}

void DefaultUnitTexts::Keep(const std::wstring& type, int32_t id, std::wstring text) {
  texts_.insert_or_assign({type, id}, std::move(text));
}

}  // namespace ovc::links
