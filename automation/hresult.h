#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ovc {

// A 32-bit status code: negative values are failures, zero and positive values
// are success codes.
using HRESULT = int32_t;
using SCODE = int32_t;

constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }
constexpr bool Failed(HRESULT hr) { return hr < 0; }

// Every status code the runtime knows by name, with the text the system gives
// for it. Everything else about status codes is derived from this table.
// clang-format off
#define OVC_HRESULT_TABLE(X)                                                   \
  X(S_OK, 0x00000000, "The operation completed successfully.")                 \
  X(S_FALSE, 0x00000001, "Incorrect function.")                                \
  X(E_NOTIMPL, 0x80004001, "Not implemented")                                  \
  X(E_NOINTERFACE, 0x80004002, "No such interface supported")                  \
  X(E_POINTER, 0x80004003, "Invalid pointer")                                  \
  X(E_ABORT, 0x80004004, "Operation aborted")                                  \
  X(E_FAIL, 0x80004005, "Unspecified error")                                   \
  X(E_UNEXPECTED, 0x8000FFFF, "Catastrophic failure")                          \
  X(E_PENDING, 0x8000000A, "The data necessary to complete this operation "    \
                           "is not yet available.")                            \
  X(E_ACCESSDENIED, 0x80070005, "Access is denied.")                           \
  X(E_HANDLE, 0x80070006, "The handle is invalid.")                            \
  X(E_OUTOFMEMORY, 0x8007000E, "Not enough memory resources are available "    \
                               "to complete this operation.")                  \
  X(E_INVALIDARG, 0x80070057, "The parameter is incorrect.")                   \
  X(E_FILENOTFOUND, 0x80070002, "The system cannot find the file specified.")  \
  X(E_PATHNOTFOUND, 0x80070003, "The system cannot find the path specified.")  \
  X(E_DISKFULL, 0x80070070, "There is not enough space on the disk.")          \
  X(E_SHARINGVIOLATION, 0x80070020,                                            \
    "The process cannot access the file because it is being used by another "  \
    "process.")                                                                \
  X(E_FILEEXISTS, 0x80070050, "The file exists.")                              \
  X(DISP_E_UNKNOWNINTERFACE, 0x80020001, "Unknown interface.")                 \
  X(DISP_E_MEMBERNOTFOUND, 0x80020003, "Member not found.")                    \
  X(DISP_E_PARAMNOTFOUND, 0x80020004, "Parameter not found.")                  \
  X(DISP_E_TYPEMISMATCH, 0x80020005, "Type mismatch.")                         \
  X(DISP_E_UNKNOWNNAME, 0x80020006, "Unknown name.")                           \
  X(DISP_E_NONAMEDARGS, 0x80020007, "No named arguments.")                     \
  X(DISP_E_BADVARTYPE, 0x80020008, "Bad variable type.")                       \
  X(DISP_E_EXCEPTION, 0x80020009, "Exception occurred.")                       \
  X(DISP_E_OVERFLOW, 0x8002000A, "Out of present range.")                      \
  X(DISP_E_BADINDEX, 0x8002000B, "Invalid index.")                             \
  X(DISP_E_ARRAYISLOCKED, 0x8002000D, "Memory is locked.")                     \
  X(DISP_E_BADPARAMCOUNT, 0x8002000E, "Invalid number of parameters.")         \
  X(DISP_E_PARAMNOTOPTIONAL, 0x8002000F, "Parameter not optional.")            \
  X(DISP_E_NOTACOLLECTION, 0x80020011, "Does not support a collection.")       \
  X(DISP_E_DIVBYZERO, 0x80020012, "Division by zero.")                         \
  X(TYPE_E_ELEMENTNOTFOUND, 0x8002802B, "Element not found.")                  \
  X(REGDB_E_READREGDB, 0x80040150,                                             \
    "Could not read key from registry")                                        \
  X(REGDB_E_WRITEREGDB, 0x80040151,                                            \
    "Could not write key to registry")                                         \
  X(REGDB_E_KEYMISSING, 0x80040152,                                            \
    "Could not find the key in the registry")                                  \
  X(REGDB_E_CLASSNOTREG, 0x80040154, "Class not registered")                   \
  X(CLASS_E_NOAGGREGATION, 0x80040110,                                         \
    "Class does not support aggregation (or class object is remote)")          \
  X(CLASS_E_CLASSNOTAVAILABLE, 0x80040111,                                     \
    "ClassFactory cannot supply requested class")                              \
  X(CO_E_CLASSSTRING, 0x800401F3, "Invalid class string")                      \
  X(CO_E_DLLNOTFOUND, 0x800401F8, "DLL for class not found")                   \
  X(CO_E_ERRORINDLL, 0x800401F9, "Error in the DLL")                           \
  X(RPC_E_DISCONNECTED, 0x80010108,                                            \
    "The object invoked has disconnected from its clients.")                   \
  X(CONNECT_E_NOCONNECTION, 0x80040200,                                        \
    "The connection point has no connection for this cookie.")                 \
  X(CONNECT_E_ADVISELIMIT, 0x80040201,                                         \
    "The connection point has reached its limit of connections.")              \
  X(CONNECT_E_CANNOTCONNECT, 0x80040202,                                       \
    "The sink does not support the interface the connection point needs.")     \
  X(STG_E_FILENOTFOUND, 0x80030002, "The file could not be found.")            \
  X(STG_E_PATHNOTFOUND, 0x80030003, "The path could not be found.")            \
  X(STG_E_INSUFFICIENTMEMORY, 0x80030008,                                      \
    "There is insufficient memory available to complete operation.")          \
  X(STG_E_LOCKVIOLATION, 0x80030021, "A lock violation has occurred.")         \
  X(STG_E_FILEALREADYEXISTS, 0x80030050, "The file already exists.")           \
  X(STG_E_MEDIUMFULL, 0x80030070,                                              \
    "There is insufficient disk space to complete operation.")                \
  X(STG_E_DOCFILECORRUPT, 0x80030109, "The file is corrupt.")                  \
  X(STG_E_ACCESSDENIED, 0x80030005, "Access denied.")                          \
  X(STG_E_WRITEFAULT, 0x8003001D, "A disk error occurred during a write "      \
                                  "operation.")                                \
  X(STG_E_READFAULT, 0x8003001E, "A disk error occurred during a read "        \
                                 "operation.")

#define OVC_DECLARE_HRESULT(name, code, text)                                  \
  inline constexpr HRESULT name = static_cast<HRESULT>(code);
OVC_HRESULT_TABLE(OVC_DECLARE_HRESULT)
#undef OVC_DECLARE_HRESULT
// clang-format on

// The system's text for a code of the table, or nothing when the system has
// no text for it.
std::optional<std::wstring_view> SystemMessage(HRESULT hr);

// The status code for a C library error number (errno): missing files,
// refused access, a full disk, no memory, an existing file; anything else
// is E_FAIL.
HRESULT HresultFromErrno(int error_number);

}  // namespace ovc
