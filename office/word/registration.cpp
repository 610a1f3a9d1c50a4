#include "office/word/registration.h"

#include "office/common/application_class.h"
#include "office/word/application.h"

namespace ovc::word {

HRESULT RegisterWordClasses() {
  return office::RegisterApplicationClass<Application>(
      CLSID_WordApplication, {L"Word.Application", L"", L"Word processor application"});
}

}  // namespace ovc::word
