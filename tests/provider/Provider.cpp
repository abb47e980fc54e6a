// BrevlundTestLogProvider.dll: a small OLE DB provider over a folder of
// tab-separated tables, so that a real ADO reads real rows in the Windows
// checks. An in-process COM server, ProgID "Brevlund.TestLogProvider".
//
//   Provider=Brevlund.TestLogProvider;Data Source=C:\folder;
//       Extended Properties="Collation=NoCase"
//
// Objects: data source (IDBInitialize, IDBProperties, IDBCreateSession,
// IPersist), session (IOpenRowset, IDBCreateCommand, IGetDataSource), command
// (ICommand, ICommandText), rowset (IRowset, IAccessor, IColumnsInfo,
// IRowsetInfo). Every object answers ISupportErrorInfo; failures leave their
// text in the thread's error object, as a database's provider does.
#include "TsvDatabase.h"

#include <windows.h>

#include <olectl.h>
#include <oledb.h>
#include <oledberr.h>

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

using namespace brevlund::provider;

namespace {

// {6E0B6A52-3C1D-4F7A-9B2E-5D8C1A4F0B39}
const CLSID ClsidProvider = {
    0x6e0b6a52, 0x3c1d, 0x4f7a, {0x9b, 0x2e, 0x5d, 0x8c, 0x1a, 0x4f, 0x0b, 0x39}};
const wchar_t* const ProgId = L"Brevlund.TestLogProvider";
const wchar_t* const ProviderName = L"Brevlund test log provider";
const GUID PropsetDbInit = {
    0xc8b522bc, 0x5cf3, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};

HMODULE Module = nullptr;
std::atomic<long> LiveObjects{0};
std::atomic<long> Locks{0};

std::wstring Wide(const std::string& Text) {
    if (Text.empty()) return {};
    const int Length =
        MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring Result(static_cast<std::size_t>(Length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), Result.data(),
                        Length);
    return Result;
}

std::string Narrow(const wchar_t* Text) {
    if (!Text || !*Text) return {};
    const int Length = WideCharToMultiByte(CP_ACP, 0, Text, -1, nullptr, 0, nullptr, nullptr);
    std::string Result(static_cast<std::size_t>(Length), '\0');
    WideCharToMultiByte(CP_ACP, 0, Text, -1, Result.data(), Length, nullptr, nullptr);
    Result.resize(static_cast<std::size_t>(Length > 0 ? Length - 1 : 0));
    return Result;
}

// Leaves Text in the thread's error object for the interface that failed.
HRESULT Fail(HRESULT Result, const std::string& Text, REFIID Interface) {
    ICreateErrorInfo* Create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&Create))) {
        const std::wstring Description = Wide(Text);
        Create->SetDescription(const_cast<LPOLESTR>(Description.c_str()));
        Create->SetSource(const_cast<LPOLESTR>(ProgId));
        Create->SetGUID(Interface);
        IErrorInfo* Info = nullptr;
        if (SUCCEEDED(Create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&Info)))) {
            SetErrorInfo(0, Info);
            Info->Release();
        }
        Create->Release();
    }
    return Result;
}

// Reference counting and QueryInterface over a table of the object's
// interfaces; every object also answers ISupportErrorInfo for them.
class TObject : public ISupportErrorInfo {
public:
    TObject() { ++LiveObjects; }
    virtual ~TObject() { --LiveObjects; }
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Out) override {
        if (!Out) return E_POINTER;
        *Out = nullptr;
        if (Iid == IID_IUnknown || Iid == IID_ISupportErrorInfo)
            *Out = static_cast<ISupportErrorInfo*>(this);
        else
            *Out = Find(Iid);
        if (!*Out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++References); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long Left = --References;
        if (Left == 0) delete this;
        return static_cast<ULONG>(Left);
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID Iid) override {
        return Find(Iid) ? S_OK : S_FALSE;
    }

protected:
    // The interface pointer for Iid, or null.
    virtual void* Find(REFIID Iid) = 0;

private:
    std::atomic<long> References{1};
};

// Gives the caller the object as the interface it asked for; drops our reference.
HRESULT Hand(TObject* Object, REFIID Iid, IUnknown** Out) {
    const HRESULT Result = Object->QueryInterface(Iid, reinterpret_cast<void**>(Out));
    Object->Release();
    return Result;
}

// ---- Rowset -----------------------------------------------------------------

class TRowset final : public TObject,
                      public IRowset,
                      public IAccessor,
                      public IColumnsInfo,
                      public IRowsetInfo {
public:
    TRowset(std::shared_ptr<const TTable> Data, IUnknown* Creator)
        : Data(std::move(Data)), Creator(Creator) {
        if (this->Creator) this->Creator->AddRef();
    }
    ~TRowset() override {
        if (Creator) Creator->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID I, void** O) override {
        return TObject::QueryInterface(I, O);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TObject::Release(); }

    // IRowset: rows are numbered from 1; a handle stays valid while the rowset lives.
    HRESULT STDMETHODCALLTYPE AddRefRows(DBCOUNTITEM Count, const HROW Rows[], DBREFCOUNT Counts[],
                                         DBROWSTATUS Status[]) override {
        return CheckRows(Count, Rows, Counts, Status, IID_IRowset);
    }
    HRESULT STDMETHODCALLTYPE GetData(HROW Row, HACCESSOR Accessor, void* Buffer) override;
    HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER, DBROWOFFSET Offset, DBROWCOUNT Count,
                                          DBCOUNTITEM* Obtained, HROW** Rows) override;
    HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM Count, const HROW Rows[], DBROWOPTIONS[],
                                          DBREFCOUNT Counts[], DBROWSTATUS Status[]) override {
        return CheckRows(Count, Rows, Counts, Status, IID_IRowset);
    }
    HRESULT STDMETHODCALLTYPE RestartPosition(HCHAPTER) override {
        Position = 0;
        return S_OK;
    }

    // IAccessor
    HRESULT STDMETHODCALLTYPE AddRefAccessor(HACCESSOR Accessor, DBREFCOUNT* Count) override;
    HRESULT STDMETHODCALLTYPE CreateAccessor(DBACCESSORFLAGS Flags, DBCOUNTITEM Count,
                                             const DBBINDING Bindings[], DBLENGTH RowSize,
                                             HACCESSOR* Accessor, DBBINDSTATUS Status[]) override;
    HRESULT STDMETHODCALLTYPE GetBindings(HACCESSOR Accessor, DBACCESSORFLAGS* Flags,
                                          DBCOUNTITEM* Count, DBBINDING** Bindings) override;
    HRESULT STDMETHODCALLTYPE ReleaseAccessor(HACCESSOR Accessor, DBREFCOUNT* Count) override;

    // IColumnsInfo
    HRESULT STDMETHODCALLTYPE GetColumnInfo(DBORDINAL* Count, DBCOLUMNINFO** Info,
                                            OLECHAR** Strings) override;
    HRESULT STDMETHODCALLTYPE MapColumnIDs(DBORDINAL Count, const DBID Ids[],
                                           DBORDINAL Columns[]) override;

    // IRowsetInfo: no properties of its own.
    HRESULT STDMETHODCALLTYPE GetProperties(const ULONG, const DBPROPIDSET[], ULONG* Count,
                                            DBPROPSET** Sets) override {
        if (!Count || !Sets) return E_INVALIDARG;
        *Count = 0;
        *Sets = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetReferencedRowset(DBORDINAL, REFIID, IUnknown** Out) override {
        if (Out) *Out = nullptr;
        return DB_E_NOTAREFERENCECOLUMN;
    }
    HRESULT STDMETHODCALLTYPE GetSpecification(REFIID Iid, IUnknown** Out) override {
        if (!Out) return E_INVALIDARG;
        *Out = nullptr;
        return Creator ? Creator->QueryInterface(Iid, reinterpret_cast<void**>(Out)) : S_FALSE;
    }

protected:
    void* Find(REFIID Iid) override {
        if (Iid == IID_IRowset) return static_cast<IRowset*>(this);
        if (Iid == IID_IAccessor) return static_cast<IAccessor*>(this);
        if (Iid == IID_IColumnsInfo) return static_cast<IColumnsInfo*>(this);
        if (Iid == IID_IRowsetInfo) return static_cast<IRowsetInfo*>(this);
        return nullptr;
    }

private:
    struct TAccessor {
        std::vector<DBBINDING> Bindings;
        DBACCESSORFLAGS Flags = 0;
        DBREFCOUNT References = 1;
    };

    HRESULT CheckRows(DBCOUNTITEM Count, const HROW Rows[], DBREFCOUNT Counts[],
                      DBROWSTATUS Status[], REFIID Iid) const {
        if (Count && !Rows) return Fail(E_INVALIDARG, "no row handles given", Iid);
        bool Bad = false;
        for (DBCOUNTITEM I = 0; I < Count; ++I) {
            const bool Valid = Rows[I] >= 1 && Rows[I] <= Data->Rows.size();
            Bad = Bad || !Valid;
            if (Counts) Counts[I] = Valid ? 1 : 0;
            if (Status) Status[I] = Valid ? DBROWSTATUS_S_OK : DBROWSTATUS_E_INVALID;
        }
        return Bad ? DB_S_ERRORSOCCURRED : S_OK;
    }
    // Writes one column of one row into the consumer's buffer.
    DBSTATUS Store(const DBBINDING& Binding, const TValue& Value, const TColumn& Column,
                   BYTE* Buffer) const;

    std::shared_ptr<const TTable> Data;
    IUnknown* Creator;        // the command or session that made the rowset; referenced
    DBCOUNTITEM Position = 0; // rows already handed out
    std::map<HACCESSOR, TAccessor> Accessors;
    HACCESSOR NextAccessor = 1;
};

HRESULT TRowset::GetNextRows(HCHAPTER, DBROWOFFSET Offset, DBROWCOUNT Count, DBCOUNTITEM* Obtained,
                             HROW** Rows) {
    if (!Obtained || !Rows) return Fail(E_INVALIDARG, "GetNextRows: no output", IID_IRowset);
    *Obtained = 0;
    if (Offset < 0 || Count < 0)
        return Fail(DB_E_CANTSCROLLBACKWARDS, "the rowset reads forward only", IID_IRowset);
    const DBCOUNTITEM Total = Data->Rows.size();
    Position = std::min<DBCOUNTITEM>(Total, Position + static_cast<DBCOUNTITEM>(Offset));
    const DBCOUNTITEM Take =
        std::min<DBCOUNTITEM>(Total - Position, static_cast<DBCOUNTITEM>(Count));
    if (Take == 0) return DB_S_ENDOFROWSET;
    // The consumer may hand in its own array, large enough for Count rows.
    HROW* Handles = *Rows;
    if (!Handles) {
        Handles = static_cast<HROW*>(CoTaskMemAlloc(Take * sizeof(HROW)));
        if (!Handles) return Fail(E_OUTOFMEMORY, "out of memory", IID_IRowset);
        *Rows = Handles;
    }
    for (DBCOUNTITEM I = 0; I < Take; ++I)
        Handles[I] = Position + I + 1;
    Position += Take;
    *Obtained = Take;
    return Take < static_cast<DBCOUNTITEM>(Count) ? DB_S_ENDOFROWSET : S_OK;
}

DBSTATUS TRowset::Store(const DBBINDING& Binding, const TValue& Value, const TColumn& Column,
                        BYTE* Buffer) const {
    BYTE* Target = Buffer + Binding.obValue;
    const DBTYPE Type = Binding.wType & ~DBTYPE_BYREF;
    const bool ByRef = (Binding.wType & DBTYPE_BYREF) != 0;
    DBLENGTH Length = 0;
    DBSTATUS Status = Value ? DBSTATUS_S_OK : DBSTATUS_S_ISNULL;
    const std::string Text = Value ? *Value : std::string();
    const bool WantValue = (Binding.dwPart & DBPART_VALUE) != 0;
    // Values go through memcpy: consumers place them at any offset.
    if (Type == DBTYPE_WSTR || Type == DBTYPE_STR) {
        const bool WideText = Type == DBTYPE_WSTR;
        const std::wstring W = Wide(Text);
        const std::size_t Unit = WideText ? sizeof(wchar_t) : 1;
        const std::size_t Chars = WideText ? W.size() : Text.size();
        Length = Chars * Unit;
        if (WantValue) {
            const void* Source = WideText ? static_cast<const void*>(W.c_str()) : Text.c_str();
            if (ByRef) {
                void* Copy = CoTaskMemAlloc((Chars + 1) * Unit);
                if (!Copy) return DBSTATUS_E_UNAVAILABLE;
                std::memcpy(Copy, Source, (Chars + 1) * Unit);
                std::memcpy(Target, &Copy, sizeof Copy);
            } else {
                // A null also leaves an empty text, for consumers that read
                // the value before the status.
                const std::size_t Room = Binding.cbMaxLen / Unit;
                if (Room == 0) return DBSTATUS_E_CANTCONVERTVALUE;
                const std::size_t Copied = std::min(Chars, Room - 1);
                std::memcpy(Target, Source, Copied * Unit);
                std::memset(Target + Copied * Unit, 0, Unit);
                if (Value && Copied < Chars) Status = DBSTATUS_S_TRUNCATED;
            }
        }
    } else if (Type == DBTYPE_I4 || Type == DBTYPE_I8 || Type == DBTYPE_R8) {
        long long Number = 0;
        if (Value) {
            char* End = nullptr;
            Number = std::strtoll(Text.c_str(), &End, 10);
            if (!Column.Integer || !End || *End) return DBSTATUS_E_CANTCONVERTVALUE;
        }
        if (Type == DBTYPE_I4) {
            const LONG Small = static_cast<LONG>(Number);
            Length = sizeof Small;
            if (WantValue) std::memcpy(Target, &Small, sizeof Small);
        } else if (Type == DBTYPE_I8) {
            Length = sizeof Number;
            if (WantValue) std::memcpy(Target, &Number, sizeof Number);
        } else {
            const double Real = static_cast<double>(Number);
            Length = sizeof Real;
            if (WantValue) std::memcpy(Target, &Real, sizeof Real);
        }
    } else if (Type == DBTYPE_BSTR || Type == DBTYPE_VARIANT) {
        VARIANT V;
        VariantInit(&V);
        if (Value) {
            if (Column.Integer) {
                V.vt = VT_I4;
                V.lVal = std::strtol(Text.c_str(), nullptr, 10);
            } else {
                V.vt = VT_BSTR;
                const std::wstring W = Wide(Text);
                V.bstrVal = SysAllocStringLen(W.data(), static_cast<UINT>(W.size()));
            }
        } else {
            V.vt = VT_NULL;
        }
        if (Type == DBTYPE_BSTR) {
            if (V.vt == VT_I4) VariantChangeType(&V, &V, 0, VT_BSTR);
            BSTR Out = V.vt == VT_BSTR ? V.bstrVal : nullptr;
            Length = sizeof Out;
            if (WantValue)
                std::memcpy(Target, &Out, sizeof Out);
            else
                SysFreeString(Out);
        } else {
            Length = sizeof V;
            if (WantValue)
                std::memcpy(Target, &V, sizeof V);
            else
                VariantClear(&V);
        }
    } else {
        return DBSTATUS_E_CANTCONVERTVALUE;
    }
    if (Binding.dwPart & DBPART_LENGTH)
        std::memcpy(Buffer + Binding.obLength, &Length, sizeof Length);
    return Status;
}

// Wine's ADO reads a status as a pointer-sized number: on 64-bit Windows the
// four bytes after it are read too, and a null then looks like a value
// whenever they are not zero. They are cleared where no binding uses them.
void ClearStatusTail(const std::vector<DBBINDING>& Bindings, const DBBINDING& Binding,
                     BYTE* Buffer) {
    constexpr std::size_t Tail = sizeof(DBBYTEOFFSET) - sizeof(DBSTATUS);
    if (Tail == 0) return;
    const DBBYTEOFFSET From = Binding.obStatus + sizeof(DBSTATUS), To = From + Tail;
    const auto Overlaps = [&](DBBYTEOFFSET At, DBLENGTH Size) {
        return At < To && From < At + Size;
    };
    for (const DBBINDING& Other : Bindings)
        if (((Other.dwPart & DBPART_VALUE) && Overlaps(Other.obValue, Other.cbMaxLen)) ||
            ((Other.dwPart & DBPART_LENGTH) && Overlaps(Other.obLength, sizeof(DBLENGTH))) ||
            ((Other.dwPart & DBPART_STATUS) && Overlaps(Other.obStatus, sizeof(DBSTATUS))))
            return;
    std::memset(Buffer + From, 0, Tail);
}

HRESULT TRowset::GetData(HROW Row, HACCESSOR Handle, void* Buffer) {
    const auto Found = Accessors.find(Handle);
    if (Found == Accessors.end())
        return Fail(DB_E_BADACCESSORHANDLE, "no such accessor", IID_IRowset);
    if (Row < 1 || Row > Data->Rows.size())
        return Fail(DB_E_BADROWHANDLE, "no such row", IID_IRowset);
    if (!Buffer && !Found->second.Bindings.empty())
        return Fail(E_INVALIDARG, "GetData: no buffer", IID_IRowset);
    const std::vector<TValue>& Values = Data->Rows[Row - 1];
    bool AnyFailed = false, AnyGood = false;
    for (const DBBINDING& Binding : Found->second.Bindings) {
        const std::size_t Index = Binding.iOrdinal - 1;
        const DBSTATUS Status =
            Store(Binding, Values[Index], Data->Columns[Index], static_cast<BYTE*>(Buffer));
        if (Binding.dwPart & DBPART_STATUS) {
            std::memcpy(static_cast<BYTE*>(Buffer) + Binding.obStatus, &Status, sizeof Status);
            ClearStatusTail(Found->second.Bindings, Binding, static_cast<BYTE*>(Buffer));
        }
        const bool Good = Status == DBSTATUS_S_OK || Status == DBSTATUS_S_ISNULL ||
                          Status == DBSTATUS_S_TRUNCATED;
        (Good ? AnyGood : AnyFailed) = true;
    }
    if (AnyFailed)
        return Fail(AnyGood ? DB_S_ERRORSOCCURRED : DB_E_ERRORSOCCURRED,
                    "a column value cannot be converted to the bound type", IID_IRowset);
    return S_OK;
}

HRESULT TRowset::CreateAccessor(DBACCESSORFLAGS Flags, DBCOUNTITEM Count,
                                const DBBINDING Bindings[], DBLENGTH, HACCESSOR* Accessor,
                                DBBINDSTATUS Status[]) {
    if (!Accessor) return Fail(E_INVALIDARG, "CreateAccessor: no output", IID_IAccessor);
    *Accessor = 0;
    if (!(Flags & DBACCESSOR_ROWDATA) || (Flags & DBACCESSOR_PARAMETERDATA))
        return Fail(DB_E_BADACCESSORFLAGS, "only row data accessors", IID_IAccessor);
    if (Count && !Bindings) return Fail(E_INVALIDARG, "CreateAccessor: no bindings", IID_IAccessor);
    bool Bad = false;
    for (DBCOUNTITEM I = 0; I < Count; ++I) {
        const DBTYPE Type = Bindings[I].wType & ~DBTYPE_BYREF;
        DBBINDSTATUS S = DBBINDSTATUS_OK;
        if (Bindings[I].iOrdinal < 1 || Bindings[I].iOrdinal > Data->Columns.size())
            S = DBBINDSTATUS_BADORDINAL;
        else if (Type != DBTYPE_WSTR && Type != DBTYPE_STR && Type != DBTYPE_I4 &&
                 Type != DBTYPE_I8 && Type != DBTYPE_R8 && Type != DBTYPE_BSTR &&
                 Type != DBTYPE_VARIANT)
            S = DBBINDSTATUS_UNSUPPORTEDCONVERSION;
        if (Status) Status[I] = S;
        Bad = Bad || S != DBBINDSTATUS_OK;
    }
    if (Bad) return Fail(DB_E_ERRORSOCCURRED, "a binding cannot be served", IID_IAccessor);
    TAccessor Made;
    Made.Flags = Flags;
    Made.Bindings.assign(Bindings, Bindings + Count);
    for (DBBINDING& B : Made.Bindings) { // not kept: they belong to the consumer
        B.pObject = nullptr;
        B.pBindExt = nullptr;
        B.pTypeInfo = nullptr;
    }
    *Accessor = NextAccessor++;
    Accessors.emplace(*Accessor, std::move(Made));
    return S_OK;
}

HRESULT TRowset::AddRefAccessor(HACCESSOR Handle, DBREFCOUNT* Count) {
    const auto Found = Accessors.find(Handle);
    if (Found == Accessors.end())
        return Fail(DB_E_BADACCESSORHANDLE, "no such accessor", IID_IAccessor);
    ++Found->second.References;
    if (Count) *Count = Found->second.References;
    return S_OK;
}

HRESULT TRowset::ReleaseAccessor(HACCESSOR Handle, DBREFCOUNT* Count) {
    const auto Found = Accessors.find(Handle);
    if (Found == Accessors.end())
        return Fail(DB_E_BADACCESSORHANDLE, "no such accessor", IID_IAccessor);
    const DBREFCOUNT Left = --Found->second.References;
    if (Count) *Count = Left;
    if (Left == 0) Accessors.erase(Found);
    return S_OK;
}

HRESULT TRowset::GetBindings(HACCESSOR Handle, DBACCESSORFLAGS* Flags, DBCOUNTITEM* Count,
                             DBBINDING** Bindings) {
    if (!Flags || !Count || !Bindings) return E_INVALIDARG;
    const auto Found = Accessors.find(Handle);
    if (Found == Accessors.end())
        return Fail(DB_E_BADACCESSORHANDLE, "no such accessor", IID_IAccessor);
    const std::vector<DBBINDING>& Kept = Found->second.Bindings;
    *Flags = Found->second.Flags;
    *Count = Kept.size();
    *Bindings = static_cast<DBBINDING*>(CoTaskMemAlloc(Kept.size() * sizeof(DBBINDING) + 1));
    if (!*Bindings) return E_OUTOFMEMORY;
    if (!Kept.empty()) std::memcpy(*Bindings, Kept.data(), Kept.size() * sizeof(DBBINDING));
    return S_OK;
}

HRESULT TRowset::GetColumnInfo(DBORDINAL* Count, DBCOLUMNINFO** Info, OLECHAR** Strings) {
    if (!Count || !Info || !Strings)
        return Fail(E_INVALIDARG, "GetColumnInfo: no output", IID_IColumnsInfo);
    const std::size_t N = Data->Columns.size();
    std::vector<std::wstring> Names;
    std::size_t Chars = 0;
    for (const TColumn& Column : Data->Columns) {
        Names.push_back(Wide(Column.Name));
        Chars += Names.back().size() + 1;
    }
    auto* Columns = static_cast<DBCOLUMNINFO*>(CoTaskMemAlloc(N * sizeof(DBCOLUMNINFO) + 1));
    auto* Text = static_cast<OLECHAR*>(CoTaskMemAlloc(Chars * sizeof(OLECHAR) + sizeof(OLECHAR)));
    if (!Columns || !Text) {
        CoTaskMemFree(Columns);
        CoTaskMemFree(Text);
        return Fail(E_OUTOFMEMORY, "out of memory", IID_IColumnsInfo);
    }
    OLECHAR* Next = Text;
    for (std::size_t I = 0; I < N; ++I) {
        DBCOLUMNINFO& C = Columns[I];
        std::memset(&C, 0, sizeof C);
        std::memcpy(Next, Names[I].c_str(), (Names[I].size() + 1) * sizeof(OLECHAR));
        C.pwszName = Next;
        Next += Names[I].size() + 1;
        C.iOrdinal = I + 1;
        C.dwFlags = DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
        if (Data->Columns[I].Integer) {
            C.wType = DBTYPE_I4;
            C.ulColumnSize = sizeof(LONG);
            C.bPrecision = 10;
            C.dwFlags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
        } else {
            C.wType = DBTYPE_WSTR;
            // The longest value plus its terminating zero: Wine's ADO sizes its
            // buffer from this figure alone.
            C.ulColumnSize = Data->Columns[I].MaxLength + 1;
            C.bPrecision = 0xFF;
        }
        C.bScale = 0xFF;
        C.columnid.eKind = DBKIND_NAME;
        C.columnid.uName.pwszName = C.pwszName;
    }
    *Count = N;
    *Info = Columns;
    *Strings = Text;
    return S_OK;
}

HRESULT TRowset::MapColumnIDs(DBORDINAL Count, const DBID Ids[], DBORDINAL Columns[]) {
    if (Count && (!Ids || !Columns)) return E_INVALIDARG;
    bool Bad = false;
    for (DBORDINAL I = 0; I < Count; ++I) {
        Columns[I] = DB_INVALIDCOLUMN;
        if (Ids[I].eKind != DBKIND_NAME || !Ids[I].uName.pwszName) {
            Bad = true;
            continue;
        }
        const std::string Name = Narrow(Ids[I].uName.pwszName);
        for (std::size_t C = 0; C < Data->Columns.size(); ++C)
            if (lstrcmpiA(Data->Columns[C].Name.c_str(), Name.c_str()) == 0) {
                Columns[I] = C + 1;
                break;
            }
        Bad = Bad || Columns[I] == DB_INVALIDCOLUMN;
    }
    return Bad ? DB_S_ERRORSOCCURRED : S_OK;
}

// ---- Data source, session, command ------------------------------------------

struct TSettings {
    std::string Folder;
    bool NoCase = false;
};

// The rows a statement selects, or a database error.
std::shared_ptr<const TTable> RunSelect(const TSettings& Settings, const std::string& Sql) {
    const TSelect Select = ParseSelect(Sql);
    auto Table = std::make_shared<TTable>(ReadTable(Settings.Folder, Select.Table));
    OrderRows(*Table, Select.OrderColumn, Settings.NoCase);
    return Table;
}

class TDataSource;

class TSession final : public TObject,
                       public IOpenRowset,
                       public IDBCreateCommand,
                       public IGetDataSource {
public:
    explicit TSession(TDataSource* Source);
    ~TSession() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID I, void** O) override {
        return TObject::QueryInterface(I, O);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TObject::Release(); }

    // A table opened by name: all its rows in file order.
    HRESULT STDMETHODCALLTYPE OpenRowset(IUnknown* Outer, DBID* Table, DBID* Index, REFIID Iid,
                                         ULONG, DBPROPSET[], IUnknown** Rowset) override;
    HRESULT STDMETHODCALLTYPE CreateCommand(IUnknown* Outer, REFIID Iid,
                                            IUnknown** Command) override;
    HRESULT STDMETHODCALLTYPE GetDataSource(REFIID Iid, IUnknown** Source) override;

    const TSettings& Settings() const;

protected:
    void* Find(REFIID Iid) override {
        if (Iid == IID_IOpenRowset) return static_cast<IOpenRowset*>(this);
        if (Iid == IID_IDBCreateCommand) return static_cast<IDBCreateCommand*>(this);
        if (Iid == IID_IGetDataSource) return static_cast<IGetDataSource*>(this);
        return nullptr;
    }

private:
    TDataSource* Source; // referenced
};

class TCommand final : public TObject, public ICommandText {
public:
    explicit TCommand(TSession* Session) : Session(Session) { Session->AddRef(); }
    ~TCommand() override { Session->Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID I, void** O) override {
        return TObject::QueryInterface(I, O);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TObject::Release(); }

    HRESULT STDMETHODCALLTYPE Cancel() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Execute(IUnknown* Outer, REFIID Iid, DBPARAMS*, DBROWCOUNT* Affected,
                                      IUnknown** Rowset) override {
        if (Affected) *Affected = DB_COUNTUNAVAILABLE;
        if (Rowset) *Rowset = nullptr;
        if (Outer) return Fail(DB_E_NOAGGREGATION, "no aggregation", IID_ICommand);
        if (!HasText) return Fail(DB_E_NOCOMMAND, "no command text was set", IID_ICommand);
        std::shared_ptr<const TTable> Rows;
        try {
            Rows = RunSelect(Session->Settings(), Text);
        } catch (const TDbError& Error) {
            return Fail(DB_E_ERRORSINCOMMAND, Error.Text, IID_ICommand);
        } catch (const std::bad_alloc&) {
            return Fail(E_OUTOFMEMORY, "out of memory", IID_ICommand);
        }
        if (Affected) *Affected = static_cast<DBROWCOUNT>(Rows->Rows.size());
        if (Iid == IID_NULL || !Rowset) return S_OK;
        return Hand(new TRowset(Rows, static_cast<ICommandText*>(this)), Iid, Rowset);
    }
    HRESULT STDMETHODCALLTYPE GetDBSession(REFIID Iid, IUnknown** Out) override {
        return Session->QueryInterface(Iid, reinterpret_cast<void**>(Out));
    }
    HRESULT STDMETHODCALLTYPE GetCommandText(GUID* Dialect, LPOLESTR* Out) override {
        if (!Out) return E_INVALIDARG;
        *Out = nullptr;
        if (!HasText) return Fail(DB_E_NOCOMMAND, "no command text was set", IID_ICommandText);
        const std::wstring W = Wide(Text);
        *Out = static_cast<LPOLESTR>(CoTaskMemAlloc((W.size() + 1) * sizeof(OLECHAR)));
        if (!*Out) return E_OUTOFMEMORY;
        std::memcpy(*Out, W.c_str(), (W.size() + 1) * sizeof(OLECHAR));
        if (Dialect) *Dialect = DBGUID_DEFAULT_Local();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCommandText(REFGUID, LPCOLESTR Command) override {
        HasText = Command != nullptr;
        Text = Narrow(Command);
        return S_OK;
    }

protected:
    void* Find(REFIID Iid) override {
        if (Iid == IID_ICommand || Iid == IID_ICommandText) return static_cast<ICommandText*>(this);
        return nullptr;
    }

private:
    static GUID DBGUID_DEFAULT_Local() {
        return {0xc8b521fb, 0x5cf3, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
    }
    TSession* Session; // referenced
    std::string Text;
    bool HasText = false;
};

class TDataSource final : public TObject,
                          public IDBInitialize,
                          public IDBProperties,
                          public IDBCreateSession,
                          public IPersist {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID I, void** O) override {
        return TObject::QueryInterface(I, O);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TObject::Release(); }

    HRESULT STDMETHODCALLTYPE Initialize() override {
        if (Initialized)
            return Fail(DB_E_ALREADYINITIALIZED, "already initialised", IID_IDBInitialize);
        if (DataSource.empty())
            return Fail(E_FAIL, "no Data Source: name the folder of the tables", IID_IDBInitialize);
        const DWORD Attributes = GetFileAttributesA(DataSource.c_str());
        if (Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Fail(E_FAIL, "unable to open database folder: " + DataSource, IID_IDBInitialize);
        try {
            Current.NoCase = NoCaseCollation(ProviderString);
        } catch (const TDbError& Error) {
            return Fail(E_FAIL, Error.Text, IID_IDBInitialize);
        }
        Current.Folder = DataSource;
        Initialized = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Uninitialize() override {
        if (Sessions > 0)
            return Fail(DB_E_OBJECTOPEN, "a session is still open", IID_IDBInitialize);
        Initialized = false;
        return S_OK;
    }

    // The initialisation properties: the folder and the provider string.
    HRESULT STDMETHODCALLTYPE GetProperties(ULONG Count, const DBPROPIDSET Sets[], ULONG* OutCount,
                                            DBPROPSET** Out) override;
    HRESULT STDMETHODCALLTYPE GetPropertyInfo(ULONG, const DBPROPIDSET[], ULONG* Count,
                                              DBPROPINFOSET** Sets, OLECHAR** Text) override {
        if (!Count || !Sets) return E_INVALIDARG;
        *Count = 0;
        *Sets = nullptr;
        if (Text) *Text = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProperties(ULONG Count, DBPROPSET Sets[]) override;

    HRESULT STDMETHODCALLTYPE CreateSession(IUnknown* Outer, REFIID Iid, IUnknown** Out) override {
        if (!Out) return E_INVALIDARG;
        *Out = nullptr;
        if (Outer) return Fail(DB_E_NOAGGREGATION, "no aggregation", IID_IDBCreateSession);
        if (!Initialized)
            return Fail(E_UNEXPECTED, "the data source is not initialised", IID_IDBCreateSession);
        return Hand(new TSession(this), Iid, Out);
    }

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* Id) override {
        if (!Id) return E_POINTER;
        *Id = ClsidProvider;
        return S_OK;
    }

    const TSettings& Settings() const { return Current; }
    void SessionOpened() { ++Sessions; }
    void SessionClosed() { --Sessions; }

protected:
    void* Find(REFIID Iid) override {
        if (Iid == IID_IDBInitialize) return static_cast<IDBInitialize*>(this);
        if (Iid == IID_IDBProperties) return static_cast<IDBProperties*>(this);
        if (Iid == IID_IDBCreateSession) return static_cast<IDBCreateSession*>(this);
        if (Iid == IID_IPersist) return static_cast<IPersist*>(this);
        return nullptr;
    }

private:
    std::string DataSource, ProviderString;
    TSettings Current;
    bool Initialized = false;
    long Sessions = 0;
};

HRESULT TDataSource::SetProperties(ULONG Count, DBPROPSET Sets[]) {
    if (Count && !Sets) return E_INVALIDARG;
    bool AnySet = false, AnyFailed = false;
    for (ULONG S = 0; S < Count; ++S) {
        DBPROPSET& Set = Sets[S];
        for (ULONG P = 0; P < Set.cProperties; ++P) {
            DBPROP& Prop = Set.rgProperties[P];
            std::string* Target = nullptr;
            if (Set.guidPropertySet == PropsetDbInit && Prop.dwPropertyID == DBPROP_INIT_DATASOURCE)
                Target = &DataSource;
            else if (Set.guidPropertySet == PropsetDbInit &&
                     Prop.dwPropertyID == DBPROP_INIT_PROVIDERSTRING)
                Target = &ProviderString;
            if (!Target) {
                // Others are not ours; an optional one is no failure.
                Prop.dwStatus = DBPROPSTATUS_NOTSUPPORTED;
                AnyFailed = AnyFailed || Prop.dwOptions == DBPROPOPTIONS_REQUIRED;
                continue;
            }
            if (Initialized) {
                Prop.dwStatus = DBPROPSTATUS_NOTSETTABLE;
                AnyFailed = true;
                continue;
            }
            if (Prop.vValue.vt == VT_BSTR) {
                *Target = Narrow(Prop.vValue.bstrVal);
            } else if (Prop.vValue.vt == VT_EMPTY) {
                Target->clear();
            } else {
                Prop.dwStatus = DBPROPSTATUS_BADVALUE;
                AnyFailed = true;
                continue;
            }
            Prop.dwStatus = DBPROPSTATUS_OK;
            AnySet = true;
        }
    }
    if (!AnyFailed) return S_OK;
    return AnySet ? DB_S_ERRORSOCCURRED : DB_E_ERRORSOCCURRED;
}

HRESULT TDataSource::GetProperties(ULONG Count, const DBPROPIDSET Sets[], ULONG* OutCount,
                                   DBPROPSET** Out) {
    if (!OutCount || !Out || (Count && !Sets)) return E_INVALIDARG;
    *OutCount = 0;
    *Out = nullptr;
    // The two initialisation properties are all this data source has.
    const DBPROPID Known[] = {DBPROP_INIT_DATASOURCE, DBPROP_INIT_PROVIDERSTRING};
    const std::string* Values[] = {&DataSource, &ProviderString};
    const DBPROPIDSET All = {const_cast<DBPROPID*>(Known), 2, PropsetDbInit};
    if (Count == 0) {
        Count = 1;
        Sets = &All;
    }
    auto* Result = static_cast<DBPROPSET*>(CoTaskMemAlloc(Count * sizeof(DBPROPSET)));
    if (!Result) return E_OUTOFMEMORY;
    std::size_t Found = 0, Asked = 0;
    for (ULONG S = 0; S < Count; ++S) {
        const bool Init = Sets[S].guidPropertySet == PropsetDbInit;
        // No ids: every property of the set.
        const DBPROPIDSET& Ids = Init && Sets[S].cPropertyIDs == 0 ? All : Sets[S];
        DBPROPSET& Set = Result[S];
        Set.guidPropertySet = Sets[S].guidPropertySet;
        Set.cProperties = Ids.cPropertyIDs;
        Set.rgProperties =
            static_cast<DBPROP*>(CoTaskMemAlloc(Ids.cPropertyIDs * sizeof(DBPROP) + 1));
        if (!Set.rgProperties) {
            Set.cProperties = 0;
            continue;
        }
        for (ULONG P = 0; P < Ids.cPropertyIDs; ++P) {
            DBPROP& Prop = Set.rgProperties[P];
            std::memset(&Prop, 0, sizeof Prop);
            Prop.dwPropertyID = Ids.rgPropertyIDs[P];
            VariantInit(&Prop.vValue);
            Prop.dwStatus = DBPROPSTATUS_NOTSUPPORTED;
            ++Asked;
            for (int K = 0; K < 2 && Init; ++K) {
                if (Prop.dwPropertyID != Known[K]) continue;
                const std::wstring W = Wide(*Values[K]);
                Prop.vValue.vt = VT_BSTR;
                Prop.vValue.bstrVal = SysAllocStringLen(W.data(), static_cast<UINT>(W.size()));
                Prop.dwStatus = DBPROPSTATUS_OK;
                ++Found;
            }
        }
    }
    *OutCount = Count;
    *Out = Result;
    if (Found == Asked) return S_OK;
    return Found ? DB_S_ERRORSOCCURRED : DB_E_ERRORSOCCURRED;
}

TSession::TSession(TDataSource* Source) : Source(Source) {
    Source->AddRef();
    Source->SessionOpened();
}

TSession::~TSession() {
    Source->SessionClosed();
    Source->Release();
}

const TSettings& TSession::Settings() const {
    return Source->Settings();
}

HRESULT TSession::OpenRowset(IUnknown* Outer, DBID* Table, DBID* Index, REFIID Iid, ULONG,
                             DBPROPSET[], IUnknown** Rowset) {
    if (Rowset) *Rowset = nullptr;
    if (Outer) return Fail(DB_E_NOAGGREGATION, "no aggregation", IID_IOpenRowset);
    if (Index) return Fail(DB_E_NOINDEX, "no indexes", IID_IOpenRowset);
    if (!Table || Table->eKind != DBKIND_NAME || !Table->uName.pwszName)
        return Fail(E_INVALIDARG, "a table is opened by its name", IID_IOpenRowset);
    const std::string Name = Narrow(Table->uName.pwszName);
    std::shared_ptr<const TTable> Rows;
    try {
        Rows = std::make_shared<TTable>(ReadTable(Settings().Folder, Name));
    } catch (const TDbError& Error) {
        return Fail(DB_E_NOTABLE, Error.Text, IID_IOpenRowset);
    } catch (const std::bad_alloc&) {
        return Fail(E_OUTOFMEMORY, "out of memory", IID_IOpenRowset);
    }
    if (Iid == IID_NULL || !Rowset) return S_OK;
    return Hand(new TRowset(Rows, static_cast<IOpenRowset*>(this)), Iid, Rowset);
}

HRESULT TSession::CreateCommand(IUnknown* Outer, REFIID Iid, IUnknown** Command) {
    if (!Command) return E_INVALIDARG;
    *Command = nullptr;
    if (Outer) return Fail(DB_E_NOAGGREGATION, "no aggregation", IID_IDBCreateCommand);
    return Hand(new TCommand(this), Iid, Command);
}

HRESULT TSession::GetDataSource(REFIID Iid, IUnknown** Out) {
    if (!Out) return E_INVALIDARG;
    return Source->QueryInterface(Iid, reinterpret_cast<void**>(Out));
}

// ---- The COM server ---------------------------------------------------------

class TFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Out) override {
        if (!Out) return E_POINTER;
        *Out = nullptr;
        if (Iid != IID_IUnknown && Iid != IID_IClassFactory) return E_NOINTERFACE;
        *Out = this;
        return S_OK;
    }
    // Static object: lives as long as the DLL.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* Outer, REFIID Iid, void** Out) override {
        if (!Out) return E_POINTER;
        *Out = nullptr;
        if (Outer) return CLASS_E_NOAGGREGATION;
        TDataSource* Source = new (std::nothrow) TDataSource;
        if (!Source) return E_OUTOFMEMORY;
        const HRESULT Result = Source->QueryInterface(Iid, Out);
        Source->Release();
        return Result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL Lock) override {
        Locks += Lock ? 1 : -1;
        return S_OK;
    }
};

TFactory Factory;

std::wstring ClsidText() {
    wchar_t Text[64];
    StringFromGUID2(ClsidProvider, Text, 64);
    return Text;
}

bool SetKey(const std::wstring& Path, const wchar_t* Name, const std::wstring& Value) {
    HKEY Key;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, Path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &Key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG Result =
        RegSetValueExW(Key, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>((Value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(Key);
    return Result == ERROR_SUCCESS;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID) {
    if (Reason == DLL_PROCESS_ATTACH) {
        Module = Instance;
        DisableThreadLibraryCalls(Instance);
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID Clsid, REFIID Iid, void** Out) {
    if (!Out) return E_POINTER;
    *Out = nullptr;
    if (Clsid != ClsidProvider) return CLASS_E_CLASSNOTAVAILABLE;
    return Factory.QueryInterface(Iid, Out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return LiveObjects == 0 && Locks == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t Path[MAX_PATH];
    if (!GetModuleFileNameW(Module, Path, MAX_PATH)) return SELFREG_E_CLASS;
    const std::wstring Clsid = ClsidText(), Key = L"CLSID\\" + Clsid;
    const bool Ok = SetKey(Key, nullptr, ProgId) &&
                    SetKey(Key + L"\\InprocServer32", nullptr, Path) &&
                    SetKey(Key + L"\\InprocServer32", L"ThreadingModel", L"Both") &&
                    SetKey(Key + L"\\ProgID", nullptr, ProgId) &&
                    SetKey(Key + L"\\OLE DB Provider", nullptr, ProviderName) &&
                    SetKey(ProgId, nullptr, ProviderName) &&
                    SetKey(std::wstring(ProgId) + L"\\CLSID", nullptr, Clsid);
    return Ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const std::wstring Key = L"CLSID\\" + ClsidText();
    const LONG A = RegDeleteTreeW(HKEY_CLASSES_ROOT, Key.c_str());
    const LONG B = RegDeleteTreeW(HKEY_CLASSES_ROOT, ProgId);
    const bool Ok = (A == ERROR_SUCCESS || A == ERROR_FILE_NOT_FOUND) &&
                    (B == ERROR_SUCCESS || B == ERROR_FILE_NOT_FOUND);
    return Ok ? S_OK : SELFREG_E_CLASS;
}

} // extern "C"
