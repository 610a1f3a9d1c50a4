#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "automation/com_ptr.h"

namespace ovc {

// A rich error: what went wrong (description), who reported it (source) and
// on which interface (the interface id, often IID_NULL). Error objects are
// immutable once created.
struct IErrorInfo : IUnknown {
  static constexpr IID kIid = MakeGuid("1CF2B120-547D-101B-8E65-08002B2BD119");
  using Base = IUnknown;

  // Each getter stores the field in its argument and returns S_OK, or
  // returns E_POINTER when the argument is null.
  virtual HRESULT GetGUID(GUID* iid) = 0;
  virtual HRESULT GetSource(std::wstring* source) = 0;
  virtual HRESULT GetDescription(std::wstring* description) = 0;

 protected:
  ~IErrorInfo() = default;
};

// Answered by objects that leave an error object on the thread when a member
// of an interface fails, so that callers know whether the thread's error
// object belongs to the failure they just saw.
struct ISupportErrorInfo : IUnknown {
  static constexpr IID kIid = MakeGuid("DF0B3D60-548F-101B-8E65-08002B2BD119");
  using Base = IUnknown;

  // S_OK when failures of interface `iid` set the thread's error object,
  // S_FALSE otherwise.
  virtual HRESULT InterfaceSupportsErrorInfo(const IID& iid) = 0;

 protected:
  ~ISupportErrorInfo() = default;
};

// A list of error records, offered next to IErrorInfo by error objects that
// carry several errors at once (database providers report this way). The
// IErrorInfo of such an object describes its first record.
struct IErrorRecords : IUnknown {
  static constexpr IID kIid = MakeGuid("0C733A67-2A1C-11CE-ADE5-00AA0044773D");
  using Base = IUnknown;

  // The number of records; E_POINTER when `count` is null.
  virtual HRESULT GetRecordCount(uint32_t* count) = 0;
  // An AddRef'd error object for record `index` (0 is the first) in *info.
  // DISP_E_BADINDEX when there is no such record (*info is then null),
  // E_POINTER when `info` is null.
  virtual HRESULT GetErrorInfo(uint32_t index, IErrorInfo** info) = 0;

 protected:
  ~IErrorRecords() = default;
};

// A new error object with the given fields. Throws std::bad_alloc like new.
ComPtr<IErrorInfo> CreateErrorInfo(std::wstring description, std::wstring source,
                                   const IID& iid = IID_NULL);

// A new error object answering IErrorInfo (for the first record, or empty
// fields when there is none) and IErrorRecords (for all of them). Holds a
// reference to every record.
ComPtr<IErrorInfo> CreateErrorRecords(std::vector<ComPtr<IErrorInfo>> records);

// The calling thread's current error object. SetErrorInfo replaces it (a
// null pointer clears it); GetErrorInfo hands it to the caller and leaves the
// thread without one (null when there is none). The thread's reference is
// released when the thread ends.
void SetErrorInfo(ComPtr<IErrorInfo> info);
ComPtr<IErrorInfo> GetErrorInfo();

// The description and the source of an error object; empty for null.
std::wstring DescriptionOf(IErrorInfo* error);
std::wstring SourceOf(IErrorInfo* error);

// Takes the calling thread's error object, as GetErrorInfo does, and gives its
// description; empty when the thread had none.
std::wstring TakeErrorDescription();

// Sets a new error object with `description`, `source` and `iid` as the
// thread's current one and returns `code`, for failures reported in one line.
HRESULT SetErrorResult(HRESULT code, std::wstring description, std::wstring source,
                       const IID& iid = IID_NULL);

}  // namespace ovc
