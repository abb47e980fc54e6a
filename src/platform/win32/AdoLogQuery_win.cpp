#include "AdoLogQuery_win.h"

#include "engine/LocaleText.h"

// The system's ADO header holds empty declarations that C++ refuses; this file
// is built with -fpermissive, which turns them into (system-header) notes.
#include <adoint.h>

#include <cstdio>

namespace brevlund {

namespace {

// The classic ADO identifiers, answered by Windows and Wine alike.
const CLSID ClsidRecordset = {
    0x00000535, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
const IID IidRecordset = {
    0x00000556, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
const IID IidConnection = {
    0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

bool Unloading = false;

constexpr const char* NotAConnection =
    "LogQuery: the host's log connection is not an ADO connection object";

bool Readable(const void* Address, std::size_t Bytes) {
    MEMORY_BASIC_INFORMATION Info;
    if (!VirtualQuery(Address, &Info, sizeof Info) || Info.State != MEM_COMMIT) return false;
    if (Info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
    const auto Start = reinterpret_cast<std::uintptr_t>(Address);
    const auto End = reinterpret_cast<std::uintptr_t>(Info.BaseAddress) + Info.RegionSize;
    return Start + Bytes <= End;
}

std::string Narrow(const wchar_t* Wide, int Length) {
    if (Length <= 0) return {};
    const int Bytes = WideCharToMultiByte(CP_ACP, 0, Wide, Length, nullptr, 0, nullptr, nullptr);
    std::string Text(static_cast<std::size_t>(Bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, Wide, Length, Text.data(), Bytes, nullptr, nullptr);
    return Text;
}

std::string Narrow(BSTR Text) {
    return Text ? Narrow(Text, static_cast<int>(SysStringLen(Text))) : std::string();
}

void Check(HRESULT Result) {
    if (FAILED(Result)) throw TDatabaseError(ComErrorText(Result));
}

template <typename Interface> struct TReleaser {
    Interface* Object = nullptr;
    ~TReleaser() {
        if (Object) Object->Release();
    }
};

} // namespace

bool IsAdoConnection(const void* Object) {
    if (!Object || !Readable(Object, sizeof(void*))) return false;
    const void* Table = *static_cast<void* const*>(Object);
    if (!Readable(Table, 3 * sizeof(void*))) return false;
    HMODULE Module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(Table), &Module))
        return false;
    return Module == GetModuleHandleA("msado15.dll");
}

std::string VariantText(const VARIANT& Value) {
    if (Value.vt == VT_NULL || Value.vt == VT_EMPTY) return {};
    if (Value.vt == VT_BSTR) return Narrow(Value.bstrVal);
    VARIANT Text;
    VariantInit(&Text);
    const HRESULT Result =
        VariantChangeTypeEx(&Text, const_cast<VARIANT*>(&Value), LOCALE_USER_DEFAULT, 0, VT_BSTR);
    if (FAILED(Result)) throw TDatabaseError(ComErrorText(Result));
    std::string Narrowed = Narrow(Text.bstrVal);
    VariantClear(&Text);
    return Narrowed;
}

std::string ComErrorText(HRESULT Result) {
    IErrorInfo* Info = nullptr;
    if (GetErrorInfo(0, &Info) == S_OK && Info) {
        BSTR Description = nullptr;
        Info->GetDescription(&Description);
        std::string Text = Narrow(Description);
        SysFreeString(Description);
        Info->Release();
        if (!Text.empty()) return Text;
    }
    char* System = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(Result), 0, reinterpret_cast<LPSTR>(&System), 0, nullptr);
    std::string Text = System ? System : "";
    LocalFree(System);
    while (!Text.empty() && (Text.back() == '\n' || Text.back() == '\r' || Text.back() == ' '))
        Text.pop_back();
    if (Text.empty()) {
        char Code[40];
        std::snprintf(Code, sizeof Code, "Database error 0x%08lX",
                      static_cast<unsigned long>(Result));
        Text = Code;
    }
    return Text;
}

TAdoLogQuery::TAdoLogQuery() {
    // The host uses ADO and so has COM running on this thread; start it if not.
    ComStarted = SUCCEEDED(CoInitialize(nullptr));
}

void NoteLibraryUnloading() {
    Unloading = true;
}

TAdoLogQuery::~TAdoLogQuery() {
    Close();
    if (ComStarted && !Unloading) CoUninitialize();
}

void TAdoLogQuery::Attach(std::uint32_t Value) {
    AttachObject(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(Value)));
}

void TAdoLogQuery::AttachObject(const void* Value) {
    Connection = nullptr;
    ConnectionInvalid = false;
    if (!Value) return;
    // A wrong value must not take the host down: check before any call through it.
    if (!IsAdoConnection(Value)) {
        ConnectionInvalid = true;
        return;
    }
    auto* Object = static_cast<IUnknown*>(const_cast<void*>(Value));
    IDispatch* Checked = nullptr;
    if (FAILED(Object->QueryInterface(IidConnection, reinterpret_cast<void**>(&Checked))) ||
        !Checked) {
        ConnectionInvalid = true;
        return;
    }
    // Borrowed: the host keeps its connection alive as long as it hands it to us.
    Checked->Release();
    Connection = Checked;
}

void TAdoLogQuery::Close() {
    if (!Records) return;
    LONG State = 0;
    if (SUCCEEDED(Records->get_State(&State)) && State != adStateClosed) Records->Close();
    Records->Release();
    Records = nullptr;
    ColumnNames.clear();
}

void TAdoLogQuery::Open() {
    Close();
    if (ConnectionInvalid) throw TDatabaseError(NotAConnection);
    if (!Connection) throw TDatabaseError(MissingConnection);
    // A connection not yet connected is connected now, by its own settings; it
    // stays connected afterwards, as that is the connection's own affair.
    auto* Link = reinterpret_cast<Connection15*>(Connection); // answered for _Connection
    LONG State = adStateClosed;
    Check(Link->get_State(&State));
    if (State == adStateClosed) Check(Link->Open(nullptr, nullptr, nullptr, adOptionUnspecified));
    Check(CoCreateInstance(ClsidRecordset, nullptr, CLSCTX_INPROC_SERVER, IidRecordset,
                           reinterpret_cast<void**>(&Records)));
    VARIANT Source, Active;
    VariantInit(&Source);
    VariantInit(&Active);
    std::wstring Wide(
        static_cast<std::size_t>(MultiByteToWideChar(
            CP_ACP, 0, Statement.data(), static_cast<int>(Statement.size()), nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_ACP, 0, Statement.data(), static_cast<int>(Statement.size()),
                        Wide.data(), static_cast<int>(Wide.size()));
    Source.vt = VT_BSTR;
    Source.bstrVal = SysAllocStringLen(Wide.data(), static_cast<UINT>(Wide.size()));
    Active.vt = VT_DISPATCH;
    Active.pdispVal = Connection;
    // Read once, front to back: a forward-only, read-only cursor is all it takes.
    const HRESULT Result =
        Records->Open(Source, Active, adOpenForwardOnly, adLockReadOnly, adCmdText);
    SysFreeString(Source.bstrVal);
    if (FAILED(Result)) {
        const std::string Text = ComErrorText(Result);
        Records->Release();
        Records = nullptr;
        throw TDatabaseError(Text);
    }
    TReleaser<ADOFields> Fields;
    Check(Records->get_Fields(&Fields.Object));
    long Count = 0;
    Check(Fields.Object->get_Count(&Count));
    for (long I = 0; I < Count; ++I) {
        VARIANT Index;
        VariantInit(&Index);
        Index.vt = VT_I4;
        Index.lVal = I;
        TReleaser<ADOField> Field;
        Check(Fields.Object->get_Item(Index, &Field.Object));
        BSTR Name = nullptr;
        Check(Field.Object->get_Name(&Name));
        ColumnNames.push_back(Narrow(Name));
        SysFreeString(Name);
    }
}

bool TAdoLogQuery::AtEnd() const {
    VARIANT_BOOL End = VARIANT_TRUE;
    return !Records || FAILED(Records->get_EOF(&End)) || End != VARIANT_FALSE;
}

std::string TAdoLogQuery::ColumnText(std::string_view Name) {
    if (!Records) throw TDatabaseError("LogQuery: Dataset not open");
    for (std::size_t I = 0; I < ColumnNames.size(); ++I) {
        if (!locale::SameText(ColumnNames[I], Name)) continue;
        TReleaser<ADOFields> Fields;
        Check(Records->get_Fields(&Fields.Object));
        VARIANT Index;
        VariantInit(&Index);
        Index.vt = VT_I4;
        Index.lVal = static_cast<LONG>(I);
        TReleaser<ADOField> Field;
        Check(Fields.Object->get_Item(Index, &Field.Object));
        VARIANT Value;
        VariantInit(&Value);
        Check(Field.Object->get_Value(&Value));
        std::string Text;
        try {
            Text = VariantText(Value);
        } catch (...) {
            VariantClear(&Value);
            throw;
        }
        VariantClear(&Value);
        return Text;
    }
    throw FieldNotFound(Name);
}

void TAdoLogQuery::Next() {
    if (Records) Check(Records->MoveNext());
}

} // namespace brevlund
