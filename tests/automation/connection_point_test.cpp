#include "automation/connection_point.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "automation/com_object.h"
#include "tests/automation/live_objects.h"
#include "tests/automation/value_object.h"

namespace ovc {
namespace {

// The event interface of the test source: a dispatch interface.
struct ITestEvents : IDispatch {
  static constexpr IID kIid = MakeGuid("5E7E0001-0000-4000-8000-00000000E7E7");
  using Base = IDispatch;

 protected:
  ~ITestEvents() = default;
};

constexpr IID kOtherEvents = MakeGuid("5E7E0002-0000-4000-8000-00000000E7E7");
constexpr DISPID kChanged = 7;

class Source final : public ComObject<IConnectionPointContainer>,
                     public objects_testing::LiveObjects<Source> {
 public:
  HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override {
    return FindConnectionPointAmong({&events_}, iid, point);
  }
  ConnectionPoint& events() { return events_; }

 private:
  ConnectionPoint events_{this, ITestEvents::kIid};
};

// A sink recording the calls it gets into a shared journal; `on_event`
// runs inside the call.
class Sink final : public values_testing::UntypedDispatch<ITestEvents>,
                   public objects_testing::LiveObjects<Sink> {
 public:
  Sink(std::wstring name, std::vector<std::wstring>* journal, HRESULT answer = S_OK)
      : name_(std::move(name)), journal_(journal), answer_(answer) {}

  HRESULT Invoke(DISPID id, const IID&, LCID, uint16_t flags, DISPPARAMS* params, Variant*,
                 EXCEPINFO*, uint32_t*) override {
    std::wstring entry = name_ + L":" + std::to_wstring(id) + L":" + std::to_wstring(flags);
    for (uint32_t i = 0; i < params->count; ++i) entry += L":" + params->args[i].bstr();
    journal_->push_back(entry);
    if (on_event) on_event();
    return answer_;
  }

  std::function<void()> on_event;

 private:
  std::wstring name_;
  std::vector<std::wstring>* journal_;
  HRESULT answer_;
};

// Answers only IUnknown and IDispatch, not the event interface.
class Stranger final : public ComObject<IUnknown> {};

class ConnectionPointTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(source_->FindConnectionPoint(ITestEvents::kIid, point_.Receive()), S_OK);
  }
  void TearDown() override {
    point_.Reset();
    source_.Reset();
    EXPECT_EQ(Source::count(), 0);
    EXPECT_EQ(Sink::count(), 0);
  }

  ComPtr<Sink> NewSink(const wchar_t* name, HRESULT answer = S_OK) {
    return MakeObject<Sink>(name, &journal_, answer);
  }
  uint32_t Connect(const ComPtr<Sink>& sink) {
    uint32_t cookie = 0;
    EXPECT_EQ(point_->Advise(static_cast<ITestEvents*>(sink.get()), &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    return cookie;
  }
  HRESULT FireChanged(const wchar_t* text) {
    Variant argument = Variant::Str(text);
    DISPPARAMS params{&argument, nullptr, 1, 0};
    return source_->events().Fire(kChanged, &params);
  }

  ComPtr<Source> source_ = MakeObject<Source>();
  ComPtr<IConnectionPoint> point_;
  std::vector<std::wstring> journal_;
};

TEST_F(ConnectionPointTest, FiresToEverySinkInAdviseOrderUntilUnadvised) {
  ComPtr<IConnectionPoint> other;
  EXPECT_EQ(source_->FindConnectionPoint(kOtherEvents, other.Receive()), CONNECT_E_NOCONNECTION);
  uint32_t cookie = 5;
  EXPECT_EQ(point_->Advise(MakeObject<Stranger>().get(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);

  const uint32_t first_cookie = Connect(NewSink(L"first", E_FAIL));
  Connect(NewSink(L"second"));
  EXPECT_EQ(Sink::count(), 2) << "the connections hold the sinks";
  EXPECT_EQ(FireChanged(L"A1"), E_FAIL) << "a failing sink does not stop the others";
  EXPECT_EQ(point_->Unadvise(first_cookie), S_OK);
  EXPECT_EQ(Sink::count(), 1);
  EXPECT_EQ(point_->Unadvise(first_cookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(FireChanged(L"B2"), S_OK);
  EXPECT_EQ(journal_,
            (std::vector<std::wstring>{L"first:7:1:A1", L"second:7:1:A1", L"second:7:1:B2"}));

  source_.Reset();
  EXPECT_EQ(Source::count(), 1) << "the connection point holds the source";
  // The source releases the second sink when it goes (checked in TearDown).
}

// Changes made while an event is fired take effect at once for removals
// and from the next event for additions.
TEST_F(ConnectionPointTest, SinksMayAdviseAndUnadviseWhileCalled) {
  auto leaving = NewSink(L"leaving");
  const auto staying = NewSink(L"staying");
  const auto dropped = NewSink(L"dropped");
  const auto late = NewSink(L"late");
  const uint32_t cookie = Connect(leaving);
  Connect(staying);
  const uint32_t dropped_cookie = Connect(dropped);
  leaving->on_event = [this, cookie, dropped_cookie, &late] {
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
    EXPECT_EQ(point_->Unadvise(dropped_cookie), S_OK);
    Connect(late);
  };
  leaving.Reset();  // only the connection and the firing hold it now

  EXPECT_EQ(FireChanged(L"x"), S_OK);
  EXPECT_EQ(Sink::count(), 3) << "the leaving sink is gone after the call";
  FireChanged(L"y");
  EXPECT_EQ(journal_, (std::vector<std::wstring>{L"leaving:7:1:x", L"staying:7:1:x",
                                                 L"staying:7:1:y", L"late:7:1:y"}));
}

}  // namespace
}  // namespace ovc
