#include "ovcbridgesvcs/frame/hooked_progress.h"

#include <stdexcept>
#include <string>

#include "automation/text.h"
#include "ovcbridgesvcs/frame/owned_hooks.h"

namespace ovc {
namespace {

class HookedProgress final : public Progress {
 public:
  explicit HookedProgress(const OvcProgressHooks& hooks) : hooks_(hooks) {}

  bool Report(const ProgressStep& step) override {
    if (hooks_->report == nullptr) return true;
    const std::wstring file(step.file);
    const std::wstring object(step.object);
    const OvcProgressStep plain{.phase = static_cast<int32_t>(step.phase),
                                .file = file.c_str(),
                                .object = object.c_str(),
                                .done = step.done,
                                .total = step.total,
                                .links = step.links};
    const wchar_t* failure = nullptr;
    switch (hooks_->report(hooks_->context, &plain, &failure)) {
      case 0:
        return false;
      case 1:
        return true;
      default:
        throw std::runtime_error(failure != nullptr ? ToUtf8(failure) : "the progress hook failed");
    }
  }

 private:
  const OwnedHooks<OvcProgressHooks> hooks_;
};

}  // namespace

std::shared_ptr<Progress> MakeHookedProgress(const OvcProgressHooks& hooks) {
  return std::make_shared<HookedProgress>(hooks);
}

}  // namespace ovc
