#include "ovcbridgesvcs/frame/server_module.h"

namespace ovc {

ServerModule& ServerModule::Instance() {
  static ServerModule module;
  return module;
}

}  // namespace ovc
