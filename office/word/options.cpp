#include "office/word/options.h"

#include <utility>

namespace ovc::word {

Options::Options(std::shared_ptr<ApplicationState> application)
    : application_(std::move(application)) {}

HRESULT Options::get_Pagination(VARIANT_BOOL* pagination) {
  *pagination = application_->pagination ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Options::put_Pagination(VARIANT_BOOL pagination) {
  application_->pagination = pagination != VARIANT_FALSE;
  return S_OK;
}

HRESULT Options::get_ShowReadabilityStatistics(VARIANT_BOOL* show) {
  *show = application_->show_readability_statistics ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Options::put_ShowReadabilityStatistics(VARIANT_BOOL show) {
  application_->show_readability_statistics = show != VARIANT_FALSE;
  return S_OK;
}

}  // namespace ovc::word
