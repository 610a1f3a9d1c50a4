#include "office/word/options.h"

#include <utility>

namespace ovc::word {

Options::Options(std::shared_ptr<ApplicationState> application)
    : application_(std::move(application)) {}

HRESULT Options::get_Pagination(VARIANT_BOOL* pagination) {
  return office::GetFlag(application_->pagination, pagination);
}

HRESULT Options::put_Pagination(VARIANT_BOOL pagination) {
  return office::PutFlag(pagination, &application_->pagination);
}

HRESULT Options::get_ShowReadabilityStatistics(VARIANT_BOOL* show) {
  return office::GetFlag(application_->show_readability_statistics, show);
}

HRESULT Options::put_ShowReadabilityStatistics(VARIANT_BOOL show) {
  return office::PutFlag(show, &application_->show_readability_statistics);
}

}  // namespace ovc::word
