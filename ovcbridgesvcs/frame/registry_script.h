#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/hresult.h"
#include "automation/registry_tree.h"

namespace ovc {

// A registry script in the registrar's syntax, which registers and
// unregisters a set of keys and values:
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove %CLSID_Bridge% = s 'Bridge Class'
//       {
//         InprocServer32 = s '%MODULE%'
//         {
//           val ThreadingModel = s '%ThreadingModel%'
//         }
//       }
//     }
//   }
// A script is a list of root keys (HKCR, HKCU, HKLM, HKU or their long
// names), each with a block. In a block, a key is a name, optionally
// "= s 'text'" (or "= d number") for its default value, optionally its own
// block; "val name = s 'text'" is a named value of the enclosing key. Names
// are bare words or quoted with single quotes ('' inside quotes is one
// quote). A key may be marked:
//   ForceRemove  register: replaced whole; unregister: deleted whole;
//   NoRemove     unregister: kept, only what is inside it is unregistered;
//   Delete       register: deleted whole; unregister: left alone.
// An unmarked key is deleted on unregister once it has no subkeys left.
// %NAME% is replaced by the variable NAME and %% by %, inside names and
// values after the script is split into words, so that a value (a path with
// a quote in it) never changes the script's structure.
class RegistryScript {
 public:
  using Variables = std::map<std::wstring, std::wstring, std::less<>>;

  enum class Removal { kNormal, kForceRemove, kNoRemove, kDelete };

  struct Key {
    Removal removal = Removal::kNormal;
    std::wstring name;
    std::optional<std::wstring> default_value;
    std::vector<RegistryValue> values;
    std::vector<Key> subkeys;
  };

  // Reads `text` with `variables` into *script. On failure *script is left
  // as it is, the thread's error object says at which line what was wrong
  // (a syntax error, an unknown variable or root key), and E_INVALIDARG is
  // returned.
  static HRESULT Parse(std::wstring_view text, const Variables& variables, RegistryScript* script);

  // The root keys, named as the registry tree names them
  // ("HKEY_CLASSES_ROOT").
  const std::vector<Key>& roots() const { return roots_; }

  // Creates the script's keys and values in `tree`. Returns the first
  // failure of the tree, or S_OK.
  HRESULT Register(RegistryTree& tree) const;
  // Removes what Register created as the markings say; keys that do not
  // exist are passed over. Returns the first failure of the tree, or S_OK.
  HRESULT Unregister(RegistryTree& tree) const;

 private:
  std::vector<Key> roots_;
};

}  // namespace ovc
