#pragma once

#include <memory>
#include <string>

#include "office/common/application_object.h"
#include "office/common/services.h"
#include "office/word/application_state.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The word processor: its state (nothing is ever drawn), its open documents,
// its options and Run for the macros the embedding program registered. Each
// instance is independent of every other. Its last release without Quit
// closes every open document without saving (traced); after Quit every call
// on it and on everything taken from it fails with RPC_E_DISCONNECTED.
class Application final
    : public office::ApplicationObject<WordObject<IApplication>, ApplicationState, std::wstring> {
 public:
  explicit Application(office::Services services);
  ~Application() override;

  HRESULT get_Documents(IDispatch** documents) override;
  HRESULT get_Options(IDispatch** options) override;
  HRESULT get_Selection(IDispatch** selection) override;
  HRESULT Activate() override;
  // Closes every document: those marked saved are discarded; the others are
  // saved (SaveChanges -1), discarded (0) or put to the prompt service (-2
  // or missing). A failed save stops Quit, the application living on.
  HRESULT Quit(const Variant& save_changes, const Variant& original_format,
               const Variant& route_document) override;

  std::string Disconnected() const override { return state_->Disconnected(); }
};

}  // namespace ovc::word
