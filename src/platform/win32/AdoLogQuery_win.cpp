#include "AdoLogQuery_win.h"

#include "engine/LocaleText.h"

// The system's ADO header holds empty declarations that C++ refuses; this file
// is built with -fpermissive, which turns them into (system-header) notes.
#include <adoint.h>

#include <cstdio>
#include <cstring>

namespace brevlund {

namespace {

using ado::ClsidRecordset;
using ado::IidConnection;
using ado::IidRecordset;

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

// Runs one call of an ADO object with the thread's error object cleared
// first, and turns a failure into the database error the user sees.
template <typename TCall> void Call(TCall&& Run) {
    ClearComError();
    const HRESULT Result = Run();
    if (FAILED(Result)) throw TDatabaseError(ComErrorText(Result, true));
}

bool InModule(const void* Address, HMODULE Module) {
    HMODULE Found = nullptr;
    return Address &&
           GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(Address), &Found) &&
           Found == Module;
}

// The value as the host's connection when it is one: checked first, then asked
// for _Connection. Borrowed: the host keeps it alive while it hands it to us.
IDispatch* AsConnection(const void* Value) {
    if (!IsAdoConnection(Value)) return nullptr;
    auto* Object = static_cast<IUnknown*>(const_cast<void*>(Value));
    IDispatch* Checked = nullptr;
    if (FAILED(Object->QueryInterface(IidConnection, reinterpret_cast<void**>(&Checked))) ||
        !Checked)
        return nullptr;
    Checked->Release();
    return Checked;
}

template <typename Interface> struct TReleaser {
    Interface* Object = nullptr;
    ~TReleaser() {
        if (Object) Object->Release();
    }
};

} // namespace

bool IsAdoConnection(const void* Object) {
    const HMODULE Ado = GetModuleHandleA("msado15.dll");
    if (!Ado || !Object || !Readable(Object, sizeof(void*))) return false;
    void* const* Table = *static_cast<void* const* const*>(Object);
    if (!Readable(Table, 3 * sizeof(void*)) || !InModule(Table, Ado)) return false;
    // QueryInterface, AddRef and Release: the only entries ever called unasked.
    for (int I = 0; I < 3; ++I)
        if (!InModule(Table[I], Ado)) return false;
    return true;
}

IDispatch* FindAdoConnection(const void* Value) {
    if (!Value) return nullptr;
    if (IDispatch* Direct = AsConnection(Value)) return Direct;
    // A class library's connection component holds the interface in a field.
    const auto* Fields = static_cast<const unsigned char*>(Value);
    for (std::size_t Offset = 0; Offset + sizeof(void*) <= 256; Offset += sizeof(void*)) {
        if (!Readable(Fields + Offset, sizeof(void*))) break;
        const void* Field = nullptr;
        std::memcpy(&Field, Fields + Offset, sizeof Field);
        if (IDispatch* Found = AsConnection(Field)) return Found;
    }
    return nullptr;
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

void ClearComError() {
    SetErrorInfo(0, nullptr);
}

std::string ComErrorText(HRESULT Result, bool AfterCall) {
    // The caller cleared the thread's error object before the call, so one
    // found now was left by that call: the failing object's, or its
    // provider's, passed through. ISupportErrorInfo is no guide here: Wine's
    // ADO answers S_FALSE for every interface while it hands the provider's
    // error object on unchanged, and Windows' ADO answers S_OK.
    IErrorInfo* Info = nullptr;
    if (AfterCall && GetErrorInfo(0, &Info) == S_OK && Info) {
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
    // A wrong value must not take the host down: nothing unchecked is called.
    Connection = FindAdoConnection(Value);
    ConnectionInvalid = Connection == nullptr;
}

void TAdoLogQuery::Close() {
    if (!Records) return;
    for (ADOField* Field : ColumnFields)
        Field->Release();
    ColumnFields.clear();
    KnownColumns.clear();
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
    Call([&] { return Link->get_State(&State); });
    if (State == adStateClosed) {
        // Its own connection string, handed over explicitly: Wine's ADO opens
        // nothing without one, Windows' takes it as the same settings.
        BSTR Settings = nullptr;
        Call([&] { return Link->get_ConnectionString(&Settings); });
        const HRESULT Result = [&] {
            ClearComError();
            return Link->Open(Settings, nullptr, nullptr, adOptionUnspecified);
        }();
        SysFreeString(Settings);
        if (FAILED(Result)) throw TDatabaseError(ComErrorText(Result, true));
    }
    ClearComError();
    const HRESULT Made = CoCreateInstance(ClsidRecordset, nullptr, CLSCTX_INPROC_SERVER,
                                          IidRecordset, reinterpret_cast<void**>(&Records));
    if (FAILED(Made) || !Records) {
        Records = nullptr;
        throw TDatabaseError(ComErrorText(FAILED(Made) ? Made : E_NOINTERFACE));
    }
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
    ClearComError();
    const HRESULT Result =
        Records->Open(Source, Active, adOpenForwardOnly, adLockReadOnly, adCmdText);
    SysFreeString(Source.bstrVal);
    if (FAILED(Result)) {
        const std::string Text = ComErrorText(Result, true);
        Records->Release();
        Records = nullptr;
        throw TDatabaseError(Text);
    }
    TReleaser<ADOFields> Fields;
    Call([&] { return Records->get_Fields(&Fields.Object); });
    long Count = 0;
    Call([&] { return Fields.Object->get_Count(&Count); });
    for (long I = 0; I < Count; ++I) {
        VARIANT Index;
        VariantInit(&Index);
        Index.vt = VT_I4;
        Index.lVal = I;
        ADOField* Field = nullptr;
        Call([&] { return Fields.Object->get_Item(Index, &Field); });
        if (!Field) throw TDatabaseError(ComErrorText(E_POINTER));
        ColumnFields.push_back(Field); // a field object shows the current row's value
        BSTR Name = nullptr;
        Call([&] { return Field->get_Name(&Name); });
        ColumnNames.push_back(Narrow(Name));
        SysFreeString(Name);
    }
}

bool TAdoLogQuery::AtEnd() const {
    if (!Records) return true;
    // A failed test is a failed read, never the end of the table.
    VARIANT_BOOL End = VARIANT_TRUE;
    Call([&] { return Records->get_EOF(&End); });
    return End != VARIANT_FALSE;
}

std::string TAdoLogQuery::ColumnText(std::string_view Name) {
    if (!Records) throw TDatabaseError("LogQuery: Dataset not open");
    // Every row asks for the same seven names in the same order: each is looked
    // up once per result, and the search for it starts after the last one.
    std::size_t Column = ColumnNames.size();
    for (std::size_t Step = 1, I = LastKnown; Step <= KnownColumns.size(); ++Step) {
        I = I + 1 >= KnownColumns.size() ? 0 : I + 1;
        if (KnownColumns[I].first == Name) {
            Column = KnownColumns[I].second;
            LastKnown = I;
            break;
        }
    }
    if (Column == ColumnNames.size()) {
        for (std::size_t I = 0; I < ColumnNames.size() && Column == ColumnNames.size(); ++I)
            if (locale::SameText(ColumnNames[I], Name)) Column = I;
        if (Column == ColumnNames.size()) throw FieldNotFound(Name);
        KnownColumns.emplace_back(std::string(Name), Column);
        LastKnown = KnownColumns.size() - 1;
    }
    ADOField* Field = ColumnFields[Column];
    VARIANT Value;
    VariantInit(&Value);
    Call([&] { return Field->get_Value(&Value); });
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

void TAdoLogQuery::Next() {
    if (Records) Call([&] { return Records->MoveNext(); });
}

} // namespace brevlund
