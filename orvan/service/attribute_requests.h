#pragma once

#include <string>
#include <string_view>

#include "orvan/service/request_context.h"

namespace ovc::orvan {

// "ReadAttributes": for each requested Object and Attribute, the answer
// element with DataType, Vector and one Value per value (see README.md).
Status ReadAttributes(const RequestContext& context, std::string_view request,
                      std::string* response);

// "WriteAttributes": stores each sent value, answering "Write Successful" or
// the reason it was refused (that value then stays as it was).
Status WriteAttributes(const RequestContext& context, std::string_view request,
                       std::string* response);

}  // namespace ovc::orvan
