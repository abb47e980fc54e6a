// The log query over ADO: one recordset run over the host's own connection,
// which the plug-in never opens, closes or releases.
#pragma once

#include "engine/LogQuery.h"

#include <oaidl.h>
#include <windows.h>

#include <string>
#include <vector>

struct Recordset15;
struct ADOField;

namespace brevlund {

// The classic ADO identifiers, answered by Windows and Wine alike (the newer
// 0x1550 and 0x1556 interfaces are not answered by Wine).
namespace ado {
inline constexpr CLSID ClsidConnection = {
    0x00000514, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr CLSID ClsidRecordset = {
    0x00000535, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID IidConnection = {
    0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
inline constexpr IID IidRecordset = {
    0x00000556, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
} // namespace ado

// Whether a 32-bit value the host handed over points to an ADO connection
// object: readable memory whose vtable, and the vtable's first three entries,
// lie in the loaded ADO library. Nothing is called through it.
bool IsAdoConnection(const void* Connection);

// The host's ADO connection behind the value it handed over: the value itself,
// or the first field of the object it points to, within its first 256 bytes at
// pointer alignment, that is an ADO object answering for _Connection. Null when
// there is none. Only checked pointers are called through.
IDispatch* FindAdoConnection(const void* Value);

// A column value as single-byte text in the ANSI code page; null and empty give "".
std::string VariantText(const VARIANT& Value);

// Called when the library is being unloaded: from then on COM is left as it is,
// since the loader's lock forbids ending it.
void NoteLibraryUnloading();

// The text for a failure: after a failed call of an ADO object (AfterCall),
// the error object that call left on this thread; else, or without one, the
// system's text for Result. Callers clear the thread's error object before
// the call (ClearComError), so an earlier, unrelated failure never lends its
// text.
std::string ComErrorText(HRESULT Result, bool AfterCall = false);
void ClearComError();

class TAdoLogQuery final : public TLogQuery {
public:
    TAdoLogQuery();
    ~TAdoLogQuery() override;
    TAdoLogQuery(const TAdoLogQuery&) = delete;
    TAdoLogQuery& operator=(const TAdoLogQuery&) = delete;

    void Attach(std::uint32_t Connection) override;
    // The same for a connection object at any address (a 64-bit process).
    void AttachObject(const void* Connection);
    void Close() override;
    void SetStatement(const std::string& Sql) override { Statement = Sql; }
    void Open() override;
    bool AtEnd() const override;
    std::string ColumnText(std::string_view Name) override;
    void Next() override;

private:
    IDispatch* Connection = nullptr; // the host's; only borrowed, never released
    bool ConnectionInvalid = false;
    bool ComStarted = false;
    std::string Statement;
    Recordset15* Records = nullptr; // owned while open
    std::vector<std::string> ColumnNames;
    std::vector<ADOField*> ColumnFields; // one per column, owned while open
    std::vector<std::pair<std::string, std::size_t>> KnownColumns; // name asked, column
    std::size_t LastKnown = 0; // the entry of KnownColumns found last
};

} // namespace brevlund
