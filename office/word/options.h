#pragma once

#include <memory>
#include <string>

#include "office/word/application_state.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The application's options: kept and reported, never acted on (nothing is
// drawn or paginated).
class Options final : public WordObject<IOptions> {
 public:
  explicit Options(std::shared_ptr<ApplicationState> application);

  HRESULT get_Pagination(VARIANT_BOOL* pagination) override;
  HRESULT put_Pagination(VARIANT_BOOL pagination) override;
  HRESULT get_ShowReadabilityStatistics(VARIANT_BOOL* show) override;
  HRESULT put_ShowReadabilityStatistics(VARIANT_BOOL show) override;

  std::string Disconnected() const override { return application_->Disconnected(); }

 private:
  std::shared_ptr<ApplicationState> application_;
};

}  // namespace ovc::word
