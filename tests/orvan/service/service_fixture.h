#pragma once

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "automation/text.h"
#include "orvan/service/data_service.h"
#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan::testing {

// A pump workspace and the data service as user "ann".
class ServiceTest : public ::testing::Test {
 protected:
  ServiceTest() : store_(NewPumpStore(dir_)), service_(store_.get(), L"ann") {}

  // The answer of one call, in UTF-8.
  struct Answer {
    Status status;
    std::string text;
  };

  Answer Call(const std::string& method, const std::string& text,
              const std::string& service = "OVDBBridgeSvcs.Main",
              std::vector<std::pair<std::wstring, std::wstring>> parameters = {}) {
    return CallAs(&service_, method, text, service, std::move(parameters));
  }

  static Answer CallAs(DataService* data_service, const std::string& method,
                       const std::string& text, const std::string& service = "OVDBBridgeSvcs.Main",
                       std::vector<std::pair<std::wstring, std::wstring>> parameters = {}) {
    ServiceRequest request{FromUtf8(service), FromUtf8(method), FromUtf8(text),
                           std::move(parameters)};
    ServiceResponse response = data_service->Execute(request);
    return {response.status, ToUtf8(response.text)};
  }

  // The parsed answer; fails the test when it is not XML.
  static pugi::xml_document Parse(const Answer& answer) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(answer.text.c_str())) << answer.text;
    return document;
  }

  TempDir dir_;
  std::unique_ptr<SqliteStore> store_;
  DataService service_;
};

}  // namespace ovc::orvan::testing
