#include "automation/enum_variant.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "automation/com_object.h"

namespace ovc {
namespace {

using Snapshot = std::shared_ptr<const std::vector<Variant>>;

class VariantEnumerator final : public ComObject<IEnumVARIANT> {
 public:
  VariantEnumerator(Snapshot values, size_t position)
      : values_(std::move(values)), position_(position) {}

  HRESULT Next(uint32_t count, Variant* out, uint32_t* fetched) override {
    if ((out == nullptr && count > 0) || (fetched == nullptr && count > 1)) return E_POINTER;
    const size_t available = std::min<size_t>(count, Remaining());
    std::copy_n(values_->begin() + static_cast<ptrdiff_t>(position_), available, out);
    position_ += available;
    if (fetched != nullptr) *fetched = static_cast<uint32_t>(available);
    return available == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(uint32_t count) override {
    const size_t skipped = std::min<size_t>(count, Remaining());
    position_ += skipped;
    return skipped == count ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT Clone(IEnumVARIANT** clone) override {
    return CreateObject<VariantEnumerator>(IEnumVARIANT::kIid, reinterpret_cast<void**>(clone),
                                           values_, position_);
  }

 private:
  size_t Remaining() const { return values_->size() - position_; }

  const Snapshot values_;
  size_t position_;
};

}  // namespace

ComPtr<IEnumVARIANT> CreateVariantEnumerator(std::vector<Variant> values) {
  return MakeObject<VariantEnumerator>(
      std::make_shared<const std::vector<Variant>>(std::move(values)), 0);
}

}  // namespace ovc
