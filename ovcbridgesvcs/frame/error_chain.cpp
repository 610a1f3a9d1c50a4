#include "ovcbridgesvcs/frame/error_chain.h"

#include <string>
#include <utility>

#include <fmt/xchar.h>

#include "automation/guid.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/trace_log.h"

namespace ovc {
namespace {

// Descriptions up to this length are kept as they are, not made records.
constexpr size_t kShortForeignText = 8;

GUID InterfaceOf(IErrorInfo* error) {
  GUID iid = IID_NULL;
  if (error != nullptr) error->GetGUID(&iid);
  return iid;
}

// The Desc of a new record: `text`, else the first Desc of `chain`, else the
// system text of the frame's code in the frame's activity.
std::wstring RecordDescription(const CMethodFrame& frame, std::wstring_view text,
                               std::wstring_view chain) {
  if (!text.empty()) return std::wstring(text);
  std::wstring description = ExtractDesc(chain);
  if (!description.empty()) return description;
  description = MessageText(frame.hr);
  if (frame.activity.empty()) return description;
  return fmt::format(L"Error while {} ({})", frame.activity, description);
}

// The record of the frame's failure in front of `chain`, traced with its
// location.
std::wstring FailureRecord(const CMethodFrame& frame, std::optional<SourceLocation> where,
                           std::wstring_view text, std::wstring_view chain) {
  const CTraceLog& trace = CTraceLog::Instance();
  if (where) {
    trace.TraceLocation(CTraceLog::kErrorLevel, FromUtf8(where->file_name()),
                        static_cast<int32_t>(where->line()), L"!!!! OVComException Error !!!!");
  }
  std::wstring record = ErrorRecord()
                            .Add(L"Desc", RecordDescription(frame, text, chain))
                            .Add(L"Activity", frame.activity)
                            .AddHr(frame.hr)
                            .Finish();
  trace.Trace(CTraceLog::kErrorLevel, TraceKind::kError, record);
  return record;
}

std::wstring ForeignRecord(std::wstring_view description, std::wstring_view source, HRESULT code) {
  return ErrorRecord().Add(L"Desc", description).Add(L"Src", source).AddHr(code).Finish();
}

// The records of an IErrorRecords object, or nothing when it has none.
std::wstring ForeignRecords(IErrorRecords* records, HRESULT code) {
  uint32_t count = 0;
  records->GetRecordCount(&count);
  std::wstring text;
  for (uint32_t index = 0; index < count; ++index) {
    ComPtr<IErrorInfo> record;
    if (Failed(records->GetErrorInfo(index, record.Receive()))) continue;
    std::wstring description = DescriptionOf(record.get());
    if (description.empty()) {
      description = L"OLEDB Interface::" + GuidToString(InterfaceOf(record.get()));
    }
    if (!text.empty()) text += kRecordSeparator;
    text += ForeignRecord(description, SourceOf(record.get()), code);
  }
  return text;
}

}  // namespace

ComPtr<IErrorInfo> ConvertForeignError(IErrorInfo* foreign, HRESULT code) {
  std::wstring text;
  ComPtr<IErrorRecords> records;
  if (Succeeded(foreign->QueryInterface(IErrorRecords::kIid, records.ReceiveVoid()))) {
    text = ForeignRecords(records.get(), code);
  }
  const std::wstring source = SourceOf(foreign);
  if (text.empty()) {
    std::wstring description = DescriptionOf(foreign);
    if (description.empty()) description = MessageText(code);
    text = ForeignRecord(description, source, code);
  }
  return CreateErrorInfo(std::move(text), source, InterfaceOf(foreign));
}

void AddErrorRecord(CMethodFrame& frame, std::optional<SourceLocation> where,
                    std::wstring_view text) {
  ComPtr<IErrorInfo> previous = frame.error ? frame.error : GetErrorInfo();
  std::wstring chain = DescriptionOf(previous.get());
  if (chain.size() > kShortForeignText && !IsErrorChain(chain)) {
    previous = ConvertForeignError(previous.get(), frame.hr);
    chain = DescriptionOf(previous.get());
  }
  std::wstring description = Failed(frame.hr) ? FailureRecord(frame, where, text, chain) : L"";
  if (!chain.empty()) {
    if (!description.empty()) description += kRecordSeparator;
    description += chain;
  }
  if (description.empty()) return;
  std::wstring source =
      frame.method_name.empty() ? SourceOf(previous.get()) : std::wstring(frame.method_name);
  frame.error = CreateErrorInfo(std::move(description), std::move(source));
  SetErrorInfo(frame.error);
}

void SetErrorRecord(CMethodFrame& frame, HRESULT code, std::wstring_view text,
                    const SourceLocation& where) {
  frame.hr = code;
  std::wstring record =
      ErrorRecord()
          .Add(L"Desc", RecordDescription(frame, text, {}))
          .Add(L"Src", frame.method_name)
          .Add(L"Activity", frame.activity)
          .AddHr(code)
          .AddLocation(FromUtf8(where.file_name()), static_cast<int32_t>(where.line()))
          .Finish();
  frame.error = CreateErrorInfo(std::move(record), std::wstring(frame.method_name));
}

}  // namespace ovc
