#include "orvan/service/attribute_requests.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "orvan/service/xml_io.h"
#include "tests/orvan/service/service_fixture.h"

namespace ovc::orvan {
namespace {

// One Attribute element of a request; `unit` is the whole unit attribute
// ("Units=\"psi\"", "UnitSet=\"US\"" or "").
std::string Attribute(const std::string& route, int case_oid, const std::string& unit = "",
                      const std::string& values = "") {
  std::string text =
      "<Attribute Route=\"" + route + "\" Case=\"" + std::to_string(case_oid) + "\" " + unit;
  if (values.empty()) return text + "/>";
  return text + "><Values>" + values + "</Values></Attribute>";
}

// A Value element holding `quantity`.
std::string Value(const std::string& quantity) { return "<Value Quantity=\"" + quantity + "\"/>"; }

std::string Objects(int oid, const std::string& attributes) {
  return "<?xml version=\"1.0\"?><Objects><Object OID=\"" + std::to_string(oid) +
         "\" ClassView=\"Pumps\"><Attributes>" + attributes + "</Attributes></Object></Objects>";
}

class AttributeRequestsTest : public testing::ServiceTest {
 protected:
  // The answer elements of the first Object of a read or write.
  std::vector<pugi::xml_node> Answers(const Answer& answer) {
    EXPECT_TRUE(answer.status.ok()) << answer.status.message();
    document_ = Parse(answer);
    std::vector<pugi::xml_node> answers;
    pugi::xml_node object = document_.child("Objects").child("Object");
    for (pugi::xml_node node : object.first_child().children()) answers.push_back(node);
    return answers;
  }

  // The Value elements of a single-attribute read.
  std::vector<pugi::xml_node> ReadValues(int oid, const std::string& attribute) {
    std::vector<pugi::xml_node> answers = Answers(Call("ReadAttributes", Objects(oid, attribute)));
    std::vector<pugi::xml_node> values;
    if (answers.size() != 1) {
      ADD_FAILURE() << "expected one answer";
      return values;
    }
    for (pugi::xml_node node : answers[0].child("Values").children("Value")) values.push_back(node);
    return values;
  }

  std::string ReadOne(int oid, const std::string& attribute, const char* field = "Quantity") {
    std::vector<pugi::xml_node> values = ReadValues(oid, attribute);
    if (values.size() != 1) return "<" + std::to_string(values.size()) + " values>";
    EXPECT_STREQ(values[0].attribute("Error").value(), "Read Successful");
    return values[0].attribute(field).value();
  }

  std::string WriteOne(int oid, const std::string& attribute) {
    std::vector<pugi::xml_node> answers = Answers(Call("WriteAttributes", Objects(oid, attribute)));
    return answers.size() == 1 ? answers[0].attribute("Error").value() : "<no answer>";
  }

  // Writes one attribute of pump 1, which must succeed.
  void Store(const std::string& route, int case_oid, const std::string& unit,
             const std::string& values) {
    ASSERT_EQ(WriteOne(1, Attribute(route, case_oid, unit, values)), "Write Successful") << values;
  }

  pugi::xml_document document_;
};

TEST_F(AttributeRequestsTest, ValuesAreConvertedToTheUnitAsked) {
  Store("Pressure", 101, "Units=\"kPa\"", Value("101.325"));
  Store("Temperature", 101, "UnitSet=\"US\"", Value("212"));
  struct Case {
    std::string attribute;
    double expected;
  };
  const Case cases[] = {
      {Attribute("Pressure", 101, "Units=\"Pa\""), 101325},
      {Attribute("Pressure", 101, "UnitSet=\"US\""), 14.695948775513449},
      {Attribute("Temperature", 101, "Units=\"K\""), 373.15},
      {Attribute("Temperature", 101, "Units=\"°F\""), 212},  // a unit by its text
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(std::stod(ReadOne(1, c.attribute)), c.expected, 1e-9) << c.attribute;
  }
}

TEST_F(AttributeRequestsTest, ReadAnswersHaveTheShapeTheLibraryWalks) {
  Store("Stages", 101, "", "<Value Quantity=\"3\" Prefix=\"~\"/>");
  std::string request = Objects(1, Attribute("Stages", 101) + Attribute("Nope", 101) +
                                       Attribute("Curve", 101) + Attribute("Tag", 101));
  request.insert(
      request.find("</Objects>"),
      "<Object OID=\"77\"><Attributes>" + Attribute("Stages", 101) + "</Attributes></Object>");
  std::vector<pugi::xml_node> answers = Answers(Call("ReadAttributes", request));
  EXPECT_STREQ(document_.child("Objects").child("Object").attribute("OID").value(), "1");
  pugi::xml_node unknown = document_.child("Objects").last_child();
  EXPECT_STREQ(unknown.attribute("OID").value(), "77");
  EXPECT_STREQ(unknown.first_child().first_child().attribute("Error").value(), "Read Unsuccessful");
  ASSERT_EQ(answers.size(), 4u);
  EXPECT_STREQ(answers[0].attribute("DataType").value(), "Integer");
  EXPECT_STREQ(answers[0].attribute("Vector").value(), "0");
  pugi::xml_node stages = answers[0].child("Values").child("Value");
  EXPECT_STREQ(stages.attribute("Quantity").value(), "3");
  EXPECT_STREQ(stages.attribute("Prefix").value(), "~");
  EXPECT_TRUE(stages.attribute("Postfix"));
  EXPECT_STREQ(answers[1].attribute("Error").value(), "Read Unsuccessful");
  EXPECT_STREQ(answers[2].attribute("Vector").value(), "1");
  EXPECT_FALSE(answers[2].child("Values").child("Value"));  // a vector never stored
  pugi::xml_node tag = answers[3].child("Values").child("Value");
  EXPECT_STREQ(tag.attribute("Error").value(), "Read Successful");
  EXPECT_TRUE(tag.attribute("Quantity"));
  EXPECT_STREQ(tag.attribute("Quantity").value(), "");
  EXPECT_FALSE(tag.attribute("Prefix"));  // only Real and Integer carry descriptive texts
}

TEST_F(AttributeRequestsTest, CaseMarkersMeanTheWorkspaceDefaultCase) {
  Store("Stages", 101, "", Value("5"));
  Store("Stages", 102, "", Value("6"));
  for (int marker : {-10, -11, -12}) EXPECT_EQ(ReadOne(1, Attribute("Stages", marker)), "5");
  EXPECT_EQ(ReadOne(1, Attribute("Stages", 102)), "6");
  std::vector<pugi::xml_node> values = ReadValues(1, Attribute("Stages", 999));
  ASSERT_EQ(values.size(), 1u);
  EXPECT_NE(std::string(values[0].attribute("Error").value()).find("999"), std::string::npos);
}

// Reals read back exactly in the unit they were sent in; texts sent without
// a Quantity keep the value.
TEST_F(AttributeRequestsTest, EveryTypeIsStoredAndAnswered) {
  struct Case {
    const char* route;
    std::string sent;  // as written in the request's XML
    std::string read;  // the answer's attribute value
    std::string unit = "";
  };
  // Texts travel with '&' and control characters as character references.
  const Case cases[] = {
      {"Pressure", "0.1", "0.1", "Units=\"psi\""},
      {"Pressure", "1e-300", "1e-300", "Units=\"psi\""},
      {"Pressure", "0.30000000000000004", "0.30000000000000004", "Units=\"psi\""},
      {"Stages", "7.0", "7"},
      {"Tag", "A&amp;B &lt;é&gt;", "A&#38;B <é>"},
      {"Service", "water", "Water"},
      {"Installed", "36526.5", "36526.5"},
      {"Spare", "true", "1"},
      {"Spare", "False", "0"},
      {"Stages", "", ""},
  };
  for (const Case& c : cases) {
    Store(c.route, 101, c.unit, Value(c.sent));
    EXPECT_EQ(ReadOne(1, Attribute(c.route, 101, c.unit)), c.read) << c.route << " " << c.sent;
  }
  const std::string psi = Attribute("Pressure", 101, "Units=\"psi\"");
  Store("Pressure", 101, "Units=\"psi\"", "<Value Prefix=\"~\"/>");
  EXPECT_EQ(ReadOne(1, psi), "0.30000000000000004");
  EXPECT_EQ(ReadOne(1, psi, "Prefix"), "~");
}

TEST_F(AttributeRequestsTest, RefusalsSayWhyAndLeaveTheValueAsItWas) {
  Store("Pressure", 101, "Units=\"kPa\"", Value("5"));
  Store("Service", 101, "", Value("Oil"));
  struct Case {
    int oid;
    std::string attribute;
    const char* reason;
  };
  const Case cases[] = {
      {1, Attribute("Pressure", 101, "Units=\"kPa\"", Value("5 kPa")), "is not a number"},
      {1, Attribute("Pressure", 101, "Units=\"bar\"", Value("1")), "'bar' is not a unit of"},
      {1, Attribute("Pressure", 101, "Units=\"kPa\"", Value("1") + Value("2")), "holds one value"},
      {1, Attribute("Service", 101, "", Value("Steam")), "allowed texts"},
      {1, Attribute("Serial", 101, "", Value("X")), "read-only"},
      {1, Attribute("Nope", 101, "", Value("1")), "is not in class view 'Pumps'"},
      {77, Attribute("Pressure", 101, "", Value("1")), "Object 77 does not exist"},
      {2, Attribute("Pressure", 102, "", Value("1")), "does not apply to object 2"},
      {1, Attribute("Stages", 101, "", Value("3.5")), "32-bit integer"},
      {1, Attribute("Spare", 101, "", Value("yes")), "boolean"},
  };
  for (const Case& c : cases) {
    std::string error = WriteOne(c.oid, c.attribute);
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  EXPECT_EQ(ReadOne(1, Attribute("Pressure", 101, "Units=\"kPa\"")), "5");
  EXPECT_EQ(ReadOne(1, Attribute("Service", 101)), "Oil");
}

// The database refuses the Tag value only when the request commits (a
// deferred constraint), which leaves its transaction open; a store call
// failing on the way is left to the write-faults tests.
TEST_F(AttributeRequestsTest, ACommitTheDatabaseRefusesUndoesTheWholeRequest) {
  ASSERT_EQ(sqlite3_exec(store_->handle(),
                         "PRAGMA foreign_keys = ON; CREATE TABLE guard(id INTEGER PRIMARY KEY);"
                         "CREATE TABLE guarded(id REFERENCES guard(id) DEFERRABLE INITIALLY "
                         "DEFERRED); CREATE TRIGGER fail_tag AFTER INSERT ON attribute_values "
                         "WHEN NEW.route = 'Tag' BEGIN INSERT INTO guarded VALUES(1); END",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  Answer answer = Call("WriteAttributes", Objects(1, Attribute("Stages", 101, "", Value("4")) +
                                                         Attribute("Tag", 101, "", Value("x"))));
  EXPECT_EQ(answer.status.code(), Status::Code::kStorage);
  EXPECT_NE(answer.status.message().find("FOREIGN KEY constraint failed"), std::string::npos)
      << answer.status.message();
  EXPECT_EQ(ReadOne(1, Attribute("Stages", 101)), "");
}

// One request as a Bridge of 1,000 LinkSets of 20 Links sends it: every
// value is answered and stored but the one refused.
TEST_F(AttributeRequestsTest, OneRequestCarriesAThousandObjectsOfTwentyRoutes) {
  constexpr int kObjects = 1000;
  constexpr int kRoutes = 20;
  Catalog catalog = testing::PumpCatalog();
  ClassView& view = catalog.class_views.emplace_back();
  view.name = "Bench";
  for (int r = 0; r < kRoutes; ++r) {
    view.routes.push_back(
        {"R" + std::to_string(r), AttributeType::kReal, "Pressure", false, false, {}});
  }
  Transaction transaction(store_.get(), true);
  ASSERT_TRUE(store_->ReplaceCatalog(catalog).ok());
  std::string request = "<Objects>";
  for (int oid = 100; oid < 100 + kObjects; ++oid) {
    ASSERT_TRUE(store_->PutObject({oid, "B", "Bench", {}}).ok());
    request += "<Object OID=\"" + std::to_string(oid) + "\"><Attributes>";
    for (int r = 0; r < kRoutes; ++r) {
      const std::string route = oid == 500 && r == 7 ? "Gone" : "R" + std::to_string(r);
      request += Attribute(route, 101, "Units=\"kPa\"", Value(std::to_string(oid + r)));
    }
    request += "</Attributes></Object>";
  }
  ASSERT_TRUE(transaction.Commit().ok());
  Answer answer = Call("WriteAttributes", request + "</Objects>");
  ASSERT_TRUE(answer.status.ok()) << answer.status.message();
  std::vector<std::string> refusals;
  int answers = 0;
  pugi::xml_document document = Parse(answer);
  for (pugi::xml_node object : document.child("Objects").children("Object")) {
    for (pugi::xml_node attribute : object.first_child().children()) {
      ++answers;
      std::string error = attribute.attribute("Error").value();
      if (error != "Write Successful") refusals.push_back(error);
    }
  }
  EXPECT_EQ(answers, kObjects * kRoutes);
  EXPECT_EQ(refusals,
            std::vector<std::string>{"The attribute route 'Gone' is not in class view 'Bench'."});
  std::vector<StoredValue> stored;
  ASSERT_TRUE(store_->ListValues(&stored).ok());
  EXPECT_EQ(stored.size(), size_t{kObjects * kRoutes - 1});
}

TEST_F(AttributeRequestsTest, VectorsKeepEveryElementAndItsTexts) {
  std::string values =
      "<Value Quantity=\"1\" Prefix=\"\" Postfix=\"\"/>"
      "<Value Substitution=\"N/A\" Prefix=\"\" Postfix=\"\"/>"
      "<Value Quantity=\"\" Substitution=\"\" Prefix=\"\" Postfix=\"\"/>"
      "<Value Quantity=\"4.25\" Substitution=\"\" Prefix=\"~\" Postfix=\"\"/>";
  Store("Curve", 101, "Units=\"kPa\"", values);
  // Quantity|Prefix|Substitution of each element read in `units`.
  auto read = [&](const std::string& units) {
    std::vector<std::string> elements;
    for (pugi::xml_node value : ReadValues(1, Attribute("Curve", 101, "Units=\"" + units + "\""))) {
      elements.push_back(std::string(value.attribute("Quantity").value()) + "|" +
                         value.attribute("Prefix").value() + "|" +
                         value.attribute("Substitution").value());
    }
    return elements;
  };
  EXPECT_EQ(read("kPa"), (std::vector<std::string>{"1||", "||N/A", "||", "4.25|~|"}));
  EXPECT_EQ(read("Pa"), (std::vector<std::string>{"1000||", "||N/A", "||", "4250|~|"}));
}

TEST_F(AttributeRequestsTest, EntitiesAreNeverExpanded) {
  std::string laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE Objects [<!ENTITY a \"aaaaaaaaaa\">"
      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY ext SYSTEM \"file:///etc/passwd\">]>"
      "<Objects><Object OID=\"1\"><Attributes><Attribute Route=\"Tag\" Case=\"101\"><Values>"
      "<Value Quantity=\"&b;&ext;\"/></Values></Attribute></Attributes></Object></Objects>";
  ASSERT_TRUE(Call("WriteAttributes", laughs).status.ok());
  std::string read = ReadOne(1, Attribute("Tag", 101));
  EXPECT_LT(read.size(), 30u) << read;
  EXPECT_EQ(read.find("root:"), std::string::npos);
}

TEST_F(AttributeRequestsTest, BadRequestsAreClearErrors) {
  struct Case {
    std::string method;
    std::string text;
    const char* message;
  };
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  const Case cases[] = {
      {"ReadAttributes", "", "No document element"},
      {"WriteAttributes", "<Objects><Object>", "not well-formed"},
      {"ReadAttributes", "<Bridge/>", "must be a Objects element"},
      {"ReadAttributes", deep, "not well-formed"},
      {"FormatDisk", "", "has no method 'FormatDisk'"},
      {"ReadAttributes", std::string(kMaxRequestBytes + 1, ' '), "too large"},
  };
  for (const Case& c : cases) {
    Answer answer = Call(c.method, c.text);
    EXPECT_FALSE(answer.status.ok()) << c.text.substr(0, 40);
    EXPECT_NE(answer.status.message().find(c.message), std::string::npos)
        << answer.status.message();
    pugi::xml_document error = Parse(answer);
    EXPECT_STREQ(error.child("Error").attribute("Method").value(), c.method.c_str());
  }
  Answer unknown = Call("ReadAttributes", "<Objects/>", "Nope.Main");
  EXPECT_NE(unknown.status.message().find("no data service 'Nope.Main'"), std::string::npos);
}

}  // namespace
}  // namespace ovc::orvan
