// A recordset of the checks' own, put in ADO's place for this process with
// CoRegisterClassObject, for failures a real ADO gives only now and then: the
// end-of-data test, the move to the next row or a column's value failing in
// the middle of a table, each with an error object of its own.
//
// Only the operations the log query calls are served; their places in the
// interfaces' tables are taken from the compiler's own layout of adoint.h's
// classes (a pointer to a virtual member holds 1 + its byte offset there).
#pragma once

#include <windows.h>

#include <adoint.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fake {

template <typename TMethod> std::size_t Slot(TMethod Method) {
    struct {
        std::uintptr_t Pointer;
        std::ptrdiff_t Adjust;
    } Raw;
    static_assert(sizeof Raw == sizeof Method, "a pointer to member as the compiler lays it out");
    std::memcpy(&Raw, &Method, sizeof Raw);
    return (Raw.Pointer - 1) / sizeof(void*);
}

enum class TFailing { Nothing, EndTest, MoveNext, Value };

// What the next recordset serves, and where it fails.
struct TScenario {
    std::vector<std::string> Names;
    std::vector<std::vector<std::string>> Rows;
    TFailing Failing = TFailing::Nothing;
    std::size_t FailingRow = 0;
    std::wstring Text; // the error object's description
};
inline TScenario Scenario;

struct TRecordset;

// Objects whose first field is their table of operations, as COM lays them out.
struct TObject {
    void** Table;
    TRecordset* Owner;
    long Column;
};

struct TRecordset {
    TObject Self, Fields;
    std::vector<TObject> Columns;
    LONG References = 1;
    bool IsOpen = false;
    std::size_t Row = 0;
    TScenario Data;
};

inline HRESULT Fail() {
    ICreateErrorInfo* Create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&Create))) {
        Create->SetDescription(const_cast<LPOLESTR>(Scenario.Text.c_str()));
        IErrorInfo* Info = nullptr;
        if (SUCCEEDED(Create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&Info)))) {
            SetErrorInfo(0, Info);
            Info->Release();
        }
        Create->Release();
    }
    return E_FAIL;
}

inline bool Failing(const TRecordset& R, TFailing Where) {
    return R.Data.Failing == Where && R.Row == R.Data.FailingRow;
}

// ---- Operations common to the three objects ---------------------------------------

inline HRESULT STDMETHODCALLTYPE QueryInterface(TObject* This, REFIID, void** Out) {
    // Asked only for the interface the object already stands for.
    *Out = This;
    ++This->Owner->References;
    return S_OK;
}
inline ULONG STDMETHODCALLTYPE AddRef(TObject* This) {
    return static_cast<ULONG>(++This->Owner->References);
}
inline ULONG STDMETHODCALLTYPE Release(TObject* This) {
    TRecordset* Owner = This->Owner;
    const LONG Left = --Owner->References;
    if (Left == 0) delete Owner;
    return static_cast<ULONG>(Left);
}
// Anything else: never called by the log query (and on 32-bit x86 it would
// leave the caller's stack unbalanced, so the checks would show it).
inline HRESULT STDMETHODCALLTYPE Unexpected(TObject*) {
    return E_NOTIMPL;
}

// ---- The recordset, its fields collection and its fields ------------------------

inline HRESULT STDMETHODCALLTYPE GetState(TObject* This, LONG* State) {
    *State = This->Owner->IsOpen ? adStateOpen : adStateClosed;
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE Open(TObject* This, VARIANT, VARIANT, CursorTypeEnum, LockTypeEnum,
                                      LONG) {
    This->Owner->IsOpen = true;
    This->Owner->Row = 0;
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE Close(TObject* This) {
    This->Owner->IsOpen = false;
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE GetFields(TObject* This, ADOFields** Out) {
    *Out = reinterpret_cast<ADOFields*>(&This->Owner->Fields);
    ++This->Owner->References;
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE GetEOF(TObject* This, VARIANT_BOOL* End) {
    const TRecordset& R = *This->Owner;
    if (Failing(R, TFailing::EndTest)) return Fail();
    *End = R.Row >= R.Data.Rows.size() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE MoveNext(TObject* This) {
    TRecordset& R = *This->Owner;
    if (Failing(R, TFailing::MoveNext)) return Fail();
    ++R.Row;
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE GetCount(TObject* This, long* Count) {
    *Count = static_cast<long>(This->Owner->Columns.size());
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE GetItem(TObject* This, VARIANT Index, ADOField** Out) {
    TRecordset& R = *This->Owner;
    if (Index.vt != VT_I4 || Index.lVal < 0 ||
        static_cast<std::size_t>(Index.lVal) >= R.Columns.size())
        return E_INVALIDARG;
    *Out = reinterpret_cast<ADOField*>(&R.Columns[static_cast<std::size_t>(Index.lVal)]);
    ++R.References;
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE GetName(TObject* This, BSTR* Name) {
    const std::string& Text = This->Owner->Data.Names[static_cast<std::size_t>(This->Column)];
    *Name = SysAllocString(std::wstring(Text.begin(), Text.end()).c_str());
    return S_OK;
}
inline HRESULT STDMETHODCALLTYPE GetValue(TObject* This, VARIANT* Value) {
    const TRecordset& R = *This->Owner;
    if (Failing(R, TFailing::Value)) return Fail();
    if (R.Row >= R.Data.Rows.size()) return E_FAIL;
    const std::string& Text = R.Data.Rows[R.Row][static_cast<std::size_t>(This->Column)];
    VariantInit(Value);
    Value->vt = VT_BSTR;
    Value->bstrVal = SysAllocString(std::wstring(Text.begin(), Text.end()).c_str());
    return S_OK;
}

template <typename TFunction> void Put(void** Table, std::size_t At, TFunction Function) {
    Table[At] = reinterpret_cast<void*>(Function);
}

constexpr std::size_t TableSize = 128;

inline void** Table(int Which) {
    static void* Tables[3][TableSize];
    static bool Made = false;
    if (!Made) {
        Made = true;
        for (auto& T : Tables) {
            for (void*& Entry : T)
                Entry = reinterpret_cast<void*>(&Unexpected);
            Put(T, 0, &QueryInterface);
            Put(T, 1, &AddRef);
            Put(T, 2, &Release);
        }
        Put(Tables[0], Slot(&Recordset15::get_State), &GetState);
        Put(Tables[0], Slot(&Recordset15::Open), &Open);
        Put(Tables[0], Slot(&Recordset15::Close), &Close);
        Put(Tables[0], Slot(&Recordset15::get_Fields), &GetFields);
        Put(Tables[0], Slot(&Recordset15::get_EOF), &GetEOF);
        Put(Tables[0], Slot(&Recordset15::MoveNext), &MoveNext);
        Put(Tables[1], Slot(&ADOFields::get_Count), &GetCount);
        Put(Tables[1], Slot(&ADOFields::get_Item), &GetItem);
        Put(Tables[2], Slot(&ADOField::get_Name), &GetName);
        Put(Tables[2], Slot(&ADOField::get_Value), &GetValue);
    }
    return Tables[Which];
}

// Makes recordsets from the current scenario.
class TFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Out) override {
        *Out = (Iid == IID_IUnknown || Iid == IID_IClassFactory) ? this : nullptr;
        return *Out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* Outer, REFIID, void** Out) override {
        *Out = nullptr;
        if (Outer) return CLASS_E_NOAGGREGATION;
        auto* R = new TRecordset;
        R->Data = Scenario;
        R->Self = {Table(0), R, -1};
        R->Fields = {Table(1), R, -1};
        for (std::size_t I = 0; I < R->Data.Names.size(); ++I)
            R->Columns.push_back({Table(2), R, static_cast<long>(I)});
        *Out = &R->Self;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

} // namespace fake
