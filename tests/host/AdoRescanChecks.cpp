// The log rescan end to end through a real ADO: a host in miniature opens an
// ADODB.Connection over tables this program writes (the test OLE DB provider
// BrevlundTestLogProvider reads them), hands it to BrevlundDXContest.dll as
// LogConnection, and checks what the user sees against the same rows scored
// here with the scoring engine itself.
//
//   AdoRescanChecks.exe checks [NAME...]  every scenario (or those named), each
//                                         in a fresh process; "N passed, M
//                                         failed", and per scenario the number
//                                         of rows its rescans read through ADO
//   AdoRescanChecks.exe scenario NAME     one scenario, in this process
//   AdoRescanChecks.exe time ROWS         over a table of ROWS rows: the first
//                                         showing's time, and "Recalc Statistic"
//                                         against a bare read of the same rows
//                                         through ADO, in ms and as their ratio
//
// Needs an ADO that loads rows (Wine 10's msado15 under Wine) and the provider
// registered; tests/wine/wine-ado.sh sets both up.
#include "FakeRecordset.h"
#include "HostKit.h"
#include "engine/AreaList.h"
#include "engine/HostRecords.h"
#include "engine/Rescan.h"
#include "engine/Scoring.h"
#include "engine/Summary.h"
#include "platform/win32/AdoLogQuery_win.h"
#include "provider/SampleLog.h"

#include <windows.h>

#include <adoint.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace brevlund;
using namespace brevlund::host;
using sample::MakeLog;
using sample::TTable;
using sample::TValue;

namespace {

long RowsRead = 0; // rows of the tables that completed rescans went through

// ---- Tables -------------------------------------------------------------------

const std::string TableFolder = Folder() + "AdoTables";

void WriteTable(const std::string& Name, const TTable& Table) {
    CreateDirectoryA(TableFolder.c_str(), nullptr);
    std::ofstream File(TableFolder + "\\" + Name + ".tsv", std::ios::binary | std::ios::trunc);
    for (std::size_t I = 0; I < Table.Header.size(); ++I)
        File << (I ? "\t" : "") << Table.Header[I];
    File << "\n";
    for (const auto& Row : Table.Rows) {
        for (std::size_t I = 0; I < Row.size(); ++I)
            File << (I ? "\t" : "") << (Row[I] ? *Row[I] : std::string("\\N"));
        File << "\n";
    }
}

const std::vector<std::string> Columns(RescanColumns.begin(), RescanColumns.end());

// ---- The same rows scored here -------------------------------------------------

bool Less(const TValue& A, const TValue& B, bool NoCase) {
    if (!A || !B) return !A && B;
    return NoCase ? sample::Fold(*A) < sample::Fold(*B) : *A < *B;
}

struct TExpected {
    std::string Summary;
    std::string LastBand; // of the last recorded row whose band is one of the nine
    std::vector<TValue> LastRow;
};

// The tally the engine builds from the rows in the order the database gives
// them ("order by CallSign" under the connection's collation).
TExpected ScoreNatively(const TTable& Table, bool NoCase) {
    std::vector<std::vector<TValue>> Rows = Table.Rows;
    std::stable_sort(Rows.begin(), Rows.end(), [&](const auto& A, const auto& B) {
        return Less(Table.Get(A, "CallSign"), Table.Get(B, "CallSign"), NoCase);
    });
    QsoContext Context;
    std::memset(&Context, 0, sizeof Context);
    TTally Tally(Context);
    Tally.AreaList.LoadFromFile(Folder() + "Plugins\\brevlund.dom");
    TExpected Result;
    for (const auto& Row : Rows) {
        TRescanRow Texts;
        for (std::size_t I = 0; I < RescanColumns.size(); ++I)
            Texts[I] = Table.Get(Row, std::string(RescanColumns[I])).value_or("");
        ApplyRescanRow(Context, Texts);
        if (Tally.ScoreQSO(true) >= 0 && BandNumber(Context.DigiBand.Text()) != 0)
            Result.LastBand = std::string(Context.DigiBand.Text());
        Result.LastRow = Row;
    }
    Result.Summary = SummaryText(Tally.BandStats);
    return Result;
}

// ---- ADO connections as the host holds them --------------------------------

using ado::ClsidConnection;
using ado::ClsidRecordset;
using ado::IidConnection;

std::string ConnectionString(bool NoCase) {
    return "Provider=Brevlund.TestLogProvider;Data Source=" + TableFolder +
           (NoCase ? ";Extended Properties=\"Collation=NoCase\"" : "");
}

// A connection with its settings, opened unless Open is false.
Connection15* NewConnection(bool NoCase, bool Open = true) {
    Connection15* Link = nullptr;
    CoCreateInstance(ClsidConnection, nullptr, CLSCTX_INPROC_SERVER, IidConnection,
                     reinterpret_cast<void**>(&Link));
    if (!Link) return nullptr;
    const std::string Settings = ConnectionString(NoCase);
    std::wstring Wide(Settings.begin(), Settings.end());
    BSTR Text = SysAllocString(Wide.c_str());
    Link->put_ConnectionString(Text);
    if (Open && FAILED(Link->Open(Text, nullptr, nullptr, adOptionUnspecified))) {
        Link->Release();
        Link = nullptr;
    }
    SysFreeString(Text);
    return Link;
}

LONG State(Connection15* Link) {
    LONG Value = -1;
    Link->get_State(&Value);
    return Value;
}

ULONG References(IUnknown* Object) {
    Object->AddRef();
    return Object->Release();
}

// A recordset of the rescan's statement over Table, opened forward-only and
// read-only as the plug-in opens its own; null when ADO refused.
Recordset15* OpenRecords(Connection15* Link, const std::string& Table) {
    Recordset15* Records = nullptr;
    CoCreateInstance(ClsidRecordset, nullptr, CLSCTX_INPROC_SERVER, ado::IidRecordset,
                     reinterpret_cast<void**>(&Records));
    if (!Records) return nullptr;
    const std::string Sql = RescanStatement(Table);
    VARIANT Source, Active;
    VariantInit(&Source);
    VariantInit(&Active);
    Source.vt = VT_BSTR;
    Source.bstrVal = SysAllocString(std::wstring(Sql.begin(), Sql.end()).c_str());
    Active.vt = VT_DISPATCH;
    Active.pdispVal = Link;
    const HRESULT Opened =
        Records->Open(Source, Active, adOpenForwardOnly, adLockReadOnly, adCmdText);
    SysFreeString(Source.bstrVal);
    if (SUCCEEDED(Opened)) return Records;
    Records->Release();
    return nullptr;
}

// The references one opened, closed and released recordset leaves on its
// connection by ADO's own doing: none on Windows; Wine 10's recordset is
// never freed once opened (its fields keep a reference to it), so it keeps
// its connection's. The plug-in must add nothing beyond that.
ULONG AdoLeftover(Connection15* Link, const std::string& Table) {
    const ULONG Before = References(Link);
    if (Recordset15* Records = OpenRecords(Link, Table)) {
        Records->Close();
        Records->Release();
    }
    return References(Link) - Before;
}

// The 32-bit LogConnection field holds the value; a 64-bit host's objects must
// lie in the low 4 GB for that (Wine's heaps do).
std::uint32_t AsField(const void* Pointer) {
    const auto Value = reinterpret_cast<std::uintptr_t>(Pointer);
    if (Value > 0xFFFFFFFFu) Check(false, "the host's object lies below 4 GB");
    return static_cast<std::uint32_t>(Value);
}

// ---- One window over one connection ----------------------------------------------

struct TShowing {
    HWND Form = nullptr;
    std::string Summary;
    std::vector<std::string> Shown;
};

// The engine's record and the host kit's are one.
static_assert(sizeof(QsoContext) == ContextSize);

TContext AdoContext(std::uint32_t Connection, const std::string& Table) {
    TContext C = HostContext(Connection, Table, "ADO-CHECK");
    C.Store(OffDigiBand, "24");
    C.Store(OffCallSign, "HOST1");
    C.Store(OffContinent, "host");
    return C;
}

// _Run with the connection: the first showing rescans the table.
TShowing RunOver(TPlugin& P, std::uint32_t Connection, const std::string& Table) {
    TContext Host = AdoContext(Connection, Table);
    TShowing R;
    R.Form = P.RunWindow(Host);
    Pump(200);
    R.Shown = TakeBoxTexts();
    if (R.Form) R.Summary = Text(Child(R.Form, "Edit"));
    return R;
}

void ReleaseWindow(TPlugin& P) {
    P.ReleaseWindows(200);
    TakeBoxes();
}

void Recalc(HWND Form) {
    SendMessageA(Child(Form, "Button", "Recalc Statistic"), BM_CLICK, 0, 0);
    Pump(200);
}

// The plug-in's context copy, found in its image by the caption title and
// table name this program put there: what the rescan left in the fields.
const unsigned char* ContextCopy(HMODULE Module, const std::string& Table) {
    const auto* Base = reinterpret_cast<const unsigned char*>(Module);
    const auto* Dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base);
    const auto* Nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Base + Dos->e_lfanew);
    const std::size_t Size = Nt->OptionalHeader.SizeOfImage;
    TContext Want = AdoContext(0, Table);
    const std::size_t Span = ContextSize;
    for (std::size_t At = 0; At + Span <= Size; At += 4) {
        MEMORY_BASIC_INFORMATION Info;
        if (!VirtualQuery(Base + At, &Info, sizeof Info)) break;
        const bool Readable = Info.State == MEM_COMMIT &&
                              !(Info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) &&
                              (Info.Protect & (PAGE_READWRITE | PAGE_WRITECOPY));
        const std::size_t RegionEnd = static_cast<std::size_t>(
            static_cast<const unsigned char*>(Info.BaseAddress) + Info.RegionSize - Base);
        if (!Readable || At + Span > RegionEnd) {
            At = RegionEnd - 4;
            continue;
        }
        if (std::memcmp(Base + At + OffCaptionTitle, Want.Bytes + OffCaptionTitle, 10) == 0 &&
            std::memcmp(Base + At + OffLogTable, Want.Bytes + OffLogTable,
                        1 + Want.Bytes[OffLogTable]) == 0)
            return Base + At;
    }
    return nullptr;
}

std::string Field(const unsigned char* Copy, std::size_t Offset) {
    return Copy ? std::string(reinterpret_cast<const char*>(Copy) + Offset + 1, Copy[Offset])
                : "(no context copy found)";
}

// ---- The checks -----------------------------------------------------------------

void FirstShowingAndRecalc(TPlugin& P) {
    const TTable Log = MakeLog(240);
    WriteTable("Log", Log);
    const TExpected Want = ScoreNatively(Log, false);
    Connection15* Link = NewConnection(false);
    Check(Link != nullptr, "the host opens an ADO connection over the test provider");
    if (!Link) return;
    const ULONG Leftover = AdoLeftover(Link, "Log");
    std::printf("# ADO itself keeps %lu reference(s) per opened recordset\n",
                static_cast<unsigned long>(Leftover));
    const ULONG Before = References(Link);

    TShowing R = RunOver(P, AsField(Link), "Log");
    Check(R.Shown.empty(), "first showing over 240 rows: no error box", Joined(R.Shown));
    CheckEqual(R.Summary, Want.Summary,
               "first showing: the summary of the same rows scored natively");
    RowsRead += static_cast<long>(Log.Rows.size());

    // QSOs recorded since, then "Recalc Statistic": the table's tally again.
    TContext Qso = AdoContext(AsField(Link), "Log");
    const char* NewCalls[] = {"ZZ9ZZZ", "A1A", "SM0NEW"};
    for (const char* Call : NewCalls) {
        Qso.Store(OffCallSign, Call);
        Qso.Store(OffDigiBand, "14");
        Qso.Store(OffQSOMode, "CW");
        Qso.Store(OffExchange, "599 AN");
        P.AddQSO(Qso.Bytes);
    }
    Check(Text(Child(R.Form, "Edit")) != Want.Summary, "_AddQSO changed the summary");
    Recalc(R.Form);
    Check(TakeBoxes().empty(), "Recalc Statistic: no error box");
    CheckEqual(Text(Child(R.Form, "Edit")), Want.Summary,
               "Recalc Statistic gives the table's tally again");
    RowsRead += static_cast<long>(Log.Rows.size());
    Recalc(R.Form);
    CheckEqual(Text(Child(R.Form, "Edit")), Want.Summary, "and a second time the same");
    RowsRead += static_cast<long>(Log.Rows.size());
    Check(IsWindowEnabled(Child(R.Form, "Button", "Recalc Statistic")) != FALSE,
          "Recalc Statistic enabled again");

    // An open multipliers window follows every recorded row's band.
    SendMessageA(Child(R.Form, "Button", "Multipliers"), BM_CLICK, 0, 0);
    Pump(200);
    HWND List = FindWindowA("TfmDomList", nullptr);
    if (List) SendMessageA(Child(List, "Button", "1.8"), BM_CLICK, 0, 0);
    Recalc(R.Form);
    RowsRead += static_cast<long>(Log.Rows.size());
    std::string Pressed;
    for (const char* Band : {"1.8", "3.5", "7", "10", "14", "18", "21", "24", "28"})
        if (List && SendMessageA(Child(List, "Button", Band), BM_GETCHECK, 0, 0) == BST_CHECKED)
            Pressed = Band;
    CheckEqual(Pressed, Want.LastBand,
               "the open multipliers window ends on the last recorded row's band");

    ReleaseWindow(P);
    Check(State(Link) == adStateOpen, "after the window's release the host's connection is open");
    // Four rescans opened a recordset each: the first showing and three recalcs.
    Check(References(Link) == Before + 4 * Leftover,
          "and its reference count is as before, but for ADO's own",
          std::to_string(References(Link)) + " against " + std::to_string(Before) + " + 4 * " +
              std::to_string(Leftover));
    Link->Release();
}

void LetterCase(TPlugin& P) {
    // Calls differing only in letter case, each held twice: under NoCase order
    // they come interleaved, yet every repeat is still a duplicate.
    TTable Mixed;
    Mixed.Header = {"CallSign",  "DigiBand",   "QSOMode",   "QSOReportRecived",
                    "Continent", "DXCCPrefix", "MainPrefix"};
    const char* Calls[] = {"sm5abc", "SM5ABC", "Sm5Abc", "oh2b",  "OH2B",  "dl1c",
                           "DL1C",   "sm5abd", "SM5ABD", "g3xyz", "G3XYZ", "sm5ab"};
    const char* Bands[] = {"14", "7", "21"};
    for (int Round = 0; Round < 2; ++Round)
        for (std::size_t I = 0; I < sizeof Calls / sizeof *Calls; ++I)
            Mixed.Rows.push_back({std::string(Calls[I]), std::string(Bands[I % 3]),
                                  std::string("CW"), std::string(I % 2 ? "599 an" : "59 BO"),
                                  std::string("eu"), std::string("X"), std::string("Y")});
    WriteTable("Mixed", Mixed);
    for (const bool NoCase : {true, false}) {
        const TExpected Want = ScoreNatively(Mixed, NoCase);
        Connection15* Link = NewConnection(NoCase);
        if (!Link) {
            Check(false, "a connection for the letter-case table");
            continue;
        }
        TShowing R = RunOver(P, AsField(Link), "Mixed");
        const std::string Order = NoCase ? "NoCase order" : "byte order";
        Check(R.Shown.empty(), "calls differing in letter case, " + Order + ": no box",
              Joined(R.Shown));
        CheckEqual(R.Summary, Want.Summary,
                   "calls differing in letter case, " + Order + ": repeats are duplicates");
        RowsRead += static_cast<long>(Mixed.Rows.size());
        ReleaseWindow(P);
        Link->Release();
    }
}

void OddValues(TPlugin& P) {
    // Nulls, a 300-character value, small-letter continents and an integer
    // band column; the call column is named in small letters.
    TTable Odd;
    Odd.Header = {"callsign",  "DigiBand:int", "QSOMode",    "QSOReportRecived",
                  "Continent", "DXCCPrefix",   "MainPrefix", "Power:int"};
    const std::string Long300 = std::string(297, 'Q') + " AN";
    const std::string LongCall = "ZZ" + std::string(298, 'X');
    Odd.Rows = {
        {std::string("AA1A"), std::string("7"), std::string("CW"), std::string("599 BO"),
         std::string("eu"), std::string("K"), std::string("K"), std::string("100")},
        {std::string("BB2B"), std::nullopt, std::string("CW"), std::string("599 CE"), std::nullopt,
         std::nullopt, std::nullopt, std::nullopt},
        {std::string("CC3C"), std::string("14"), std::nullopt, std::nullopt, std::string("as"),
         std::string("JA"), std::string("JA"), std::string("-5")},
        {std::string("DD4D"), std::string("21"), std::string("SSB"), Long300, std::string("Oc"),
         std::string("VK"), std::string("VK"), std::string("5")},
        {std::string("EE5E"), std::string("28"), std::string("CW"), std::string("59 da"),
         std::string("na"), std::string("W"), std::string("W"), std::string("0")},
        {LongCall, std::string("3"), std::string("CW"), std::string("59 EL"), std::string("eu\xe9"),
         std::string("ZZ"), std::string("ZZ"), std::string("1")},
    };
    WriteTable("Odd", Odd);
    const TExpected Want = ScoreNatively(Odd, false);
    Connection15* Link = NewConnection(false);
    if (!Link) return Check(false, "a connection for the odd values");
    TShowing R = RunOver(P, AsField(Link), "Odd");
    Check(R.Shown.empty(), "nulls, long values, an integer column: no box", Joined(R.Shown));
    CheckEqual(R.Summary, Want.Summary,
               "nulls, 300 characters, an integer band column: scored like natively");
    RowsRead += static_cast<long>(Odd.Rows.size());
    const unsigned char* Copy = ContextCopy(P.Module, "Odd");
    CheckEqual(Field(Copy, OffContinent), "EU\xe9",
               "\"Continent\" turned to capitals, other bytes kept");
    CheckEqual(Field(Copy, OffCallSign), LongCall.substr(0, 255),
               "a 300-character call is kept as its first 255");
    CheckEqual(Field(Copy, OffDigiBand), "24", "DigiBand restored after the rescan");
    CheckEqual(Field(Copy, OffExchange), "59 EL", "the last row's exchange stays in the copy");
    ReleaseWindow(P);
    Link->Release();
}

// An error object on the thread from some earlier failure of the host's own.
void LeaveStaleError() {
    ICreateErrorInfo* Create = nullptr;
    if (FAILED(CreateErrorInfo(&Create))) return;
    Create->SetDescription(const_cast<LPOLESTR>(L"an old unrelated failure"));
    IErrorInfo* Old = nullptr;
    if (SUCCEEDED(Create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&Old)))) {
        SetErrorInfo(0, Old);
        Old->Release();
    }
    Create->Release();
}

void Failures(TPlugin& P) {
    Connection15* Link = NewConnection(false);
    if (!Link) return Check(false, "a connection for the failures");
    TTable NoMode;
    NoMode.Header = {"CallSign",  "DigiBand",   "QSOReportRecived",
                     "Continent", "DXCCPrefix", "MainPrefix"};
    NoMode.Rows = {{std::string("SM5A"), std::string("14"), std::string("599 AN"),
                    std::string("EU"), std::string("SM"), std::string("SM")}};
    WriteTable("NoMode", NoMode);
    TShowing R = RunOver(P, AsField(Link), "NoMode");
    CheckEqual(Joined(R.Shown), "LogQuery: Field 'QSOMode' not found.",
               "a table without \"QSOMode\": its error box");
    CheckEqual(R.Summary, "", "and the summary stays empty");
    ReleaseWindow(P);

    R = RunOver(P, AsField(Link), "Nope");
    CheckEqual(Joined(R.Shown), "no such table: Nope.", "a missing table: the provider's text");
    ReleaseWindow(P);

    R = RunOver(P, AsField(Link), "");
    CheckEqual(Joined(R.Shown), "near \"order\": syntax error.",
               "an empty LogTable: the provider's text for the statement");
    ReleaseWindow(P);

    // An earlier, unrelated failure leaves its error object on the thread; it
    // must not lend its text to this one.
    LeaveStaleError();
    R = RunOver(P, AsField(Link), "Nope");
    CheckEqual(Joined(R.Shown), "no such table: Nope.",
               "a stale error object on the thread does not lend its text");
    ReleaseWindow(P);
    // A failure that leaves no error object of its own: a closed connection
    // naming a provider nobody registered.
    Connection15* Nobody = nullptr;
    CoCreateInstance(ClsidConnection, nullptr, CLSCTX_INPROC_SERVER, IidConnection,
                     reinterpret_cast<void**>(&Nobody));
    if (Nobody) {
        BSTR Settings = SysAllocString(L"Provider=Nobody.Registered;Data Source=C:\\");
        Nobody->put_ConnectionString(Settings);
        SysFreeString(Settings);
        LeaveStaleError();
        R = RunOver(P, AsField(Nobody), "Log");
        Check(R.Shown.size() == 1 && !R.Shown[0].empty() &&
                  R.Shown[0].find("an old unrelated failure") == std::string::npos,
              "a failure without an error object of its own: not the stale text", Joined(R.Shown));
        ReleaseWindow(P);
        Nobody->Release();
    }

    TTable Empty;
    Empty.Header = Columns;
    WriteTable("Empty", Empty);
    R = RunOver(P, AsField(Link), "Empty");
    Check(R.Shown.empty(), "an empty table: no box", Joined(R.Shown));
    CheckEqual(R.Summary, ScoreNatively(Empty, false).Summary, "an empty table: the empty tally");
    const unsigned char* Copy = ContextCopy(P.Module, "Empty");
    CheckEqual(Field(Copy, OffCallSign), "HOST1",
               "an empty table leaves the context copy as it was");
    ReleaseWindow(P);
    TTable Bare;
    Bare.Header = {"CallSign", "Something"};
    WriteTable("Bare", Bare);
    R = RunOver(P, AsField(Link), "Bare");
    Check(R.Shown.empty(), "an empty table without the seven columns: no error", Joined(R.Shown));
    ReleaseWindow(P);
    Link->Release();
}

void ClosedConnection(TPlugin& P) {
    const TTable Log = MakeLog(40);
    WriteTable("Small", Log);
    Connection15* Link = NewConnection(false, false);
    if (!Link) return Check(false, "an unopened connection object");
    Check(State(Link) == adStateClosed, "the host's connection starts closed");
    TShowing R = RunOver(P, AsField(Link), "Small");
    Check(R.Shown.empty(), "a closed connection: no box", Joined(R.Shown));
    CheckEqual(R.Summary, ScoreNatively(Log, false).Summary,
               "a closed connection is opened by its own settings and read");
    RowsRead += static_cast<long>(Log.Rows.size());
    ReleaseWindow(P);
    Check(State(Link) == adStateOpen, "and stays connected, the connection's own affair");
    Link->Release();
}

// A class library's connection component: its own fields, then the interface.
struct TWrapper {
    void* OwnTable;
    std::uint32_t Flags[5];
    const char* Name;
    void* Connection;
    unsigned char Rest[256];
};

void WrapperForms(TPlugin& P) {
    const TTable Log = MakeLog(60);
    WriteTable("Wrapped", Log);
    const std::string Want = ScoreNatively(Log, false).Summary;
    Connection15* Link = NewConnection(false);
    if (!Link) return Check(false, "a connection for the wrapper forms");
    static void* HostTable[3] = {nullptr, nullptr, nullptr};
    auto* Wrapper =
        static_cast<TWrapper*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(TWrapper)));
    Wrapper->OwnTable = HostTable;
    Wrapper->Flags[0] = 0xDEADBEEF;
    Wrapper->Name = "LogConnection";
    Wrapper->Connection = Link;
    const ULONG Leftover = AdoLeftover(Link, "Wrapped");
    const ULONG Before = References(Link);
    TShowing R = RunOver(P, AsField(Wrapper), "Wrapped");
    Check(R.Shown.empty(), "a pointer to the host's connection component: no box", Joined(R.Shown));
    CheckEqual(R.Summary, Want, "a pointer to the host's connection component: the rows read");
    RowsRead += static_cast<long>(Log.Rows.size());
    ReleaseWindow(P);
    CheckEqual(std::to_string(References(Link)), std::to_string(Before + Leftover),
               "the wrapped connection's references as before, but for ADO's own");

    R = RunOver(P, AsField(Link), "Wrapped");
    CheckEqual(R.Summary, Want, "the interface pointer itself: the same rows");
    RowsRead += static_cast<long>(Log.Rows.size());
    ReleaseWindow(P);

    // Garbage: small numbers, pointers to host data, to the ADO library's own
    // header (a "table" inside msado15.dll whose entries are not code there),
    // to an ADO recordset (an ADO object, but no connection), and the real
    // connection only past the first 256 bytes.
    IUnknown* Records = nullptr;
    CoCreateInstance(ClsidRecordset, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                     reinterpret_cast<void**>(&Records));
    static const void* AdoHeader = GetModuleHandleA("msado15.dll");
    std::vector<void*> Garbage(128, nullptr);
    for (std::size_t I = 0; I < Garbage.size(); ++I)
        Garbage[I] = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x10 + I * 0x1003));
    Garbage[1] = &Garbage[0];
    Garbage[2] = const_cast<void**>(&AdoHeader);
    Garbage[3] = Records;
    Garbage[4] = HostTable;
    Garbage[5] = reinterpret_cast<void*>(static_cast<std::uintptr_t>(-1));
    Garbage[256 / sizeof(void*) + 1] = Link; // beyond the fields looked at
    R = RunOver(P, AsField(Garbage.data()), "Wrapped");
    CheckEqual(Joined(R.Shown),
               "LogQuery: the host's log connection is not an ADO connection object.",
               "a wrapper full of garbage: the clear error, no crash");
    ReleaseWindow(P);
    if (Records) Records->Release();
    HeapFree(GetProcessHeap(), 0, Wrapper);
    Link->Release();
}

// Failures in the middle of a table, from a recordset of our own in ADO's
// place: each is a failed rescan in a box with the failing call's own text,
// never a shorter table.
void FailuresMidTable(TPlugin& P) {
    Connection15* Link = NewConnection(false);
    if (!Link) return Check(false, "a connection for the mid-table failures");
    fake::TFactory Factory;
    DWORD Cookie = 0;
    const HRESULT Registered = CoRegisterClassObject(ClsidRecordset, &Factory, CLSCTX_INPROC_SERVER,
                                                     REGCLS_MULTIPLEUSE, &Cookie);
    Check(SUCCEEDED(Registered), "a recordset of the checks' own stands in for ADO's");
    fake::Scenario.Names = Columns;
    fake::Scenario.Rows = {{"599 AN", "SM", "SM", "SM5A", "14", "CW", "eu"},
                           {"599 BO", "OH", "OH", "OH2B", "7", "CW", "eu"},
                           {"599 CE", "DL", "DL", "DL1C", "21", "SSB", "eu"}};
    struct TCase {
        fake::TFailing Failing;
        const char* What;
    };
    const TCase Cases[] = {{fake::TFailing::Nothing, "no failure"},
                           {fake::TFailing::EndTest, "the end-of-data test"},
                           {fake::TFailing::MoveNext, "the move to the next row"},
                           {fake::TFailing::Value, "a column's value"}};
    for (const TCase& C : Cases) {
        fake::Scenario.Failing = C.Failing;
        fake::Scenario.FailingRow = 2;
        fake::Scenario.Text = L"the server's cursor was lost";
        LeaveStaleError();
        TShowing R = RunOver(P, AsField(Link), "Log");
        if (C.Failing == fake::TFailing::Nothing) {
            Check(R.Shown.empty() && R.Summary.find("Total\t     3\t") != std::string::npos,
                  "the stand-in recordset's three rows are read", R.Summary + Joined(R.Shown));
        } else {
            CheckEqual(Joined(R.Shown), "the server's cursor was lost.",
                       std::string("a failure of ") + C.What + " mid-table: the rescan fails");
            CheckEqual(R.Summary, "",
                       std::string("after a failure of ") + C.What +
                           ": no summary of a shorter table");
        }
        ReleaseWindow(P);
    }
    CoRevokeClassObject(Cookie);
    Link->Release();
}

// A scenario's body over the tables' folder, saying how many rows its
// completed rescans read.
template <void (*Body)(TPlugin&)> void OverTables(TPlugin& P) {
    CreateDirectoryA(TableFolder.c_str(), nullptr);
    RowsRead = 0;
    Body(P);
    std::printf("# %ld rows read through ADO\n", RowsRead);
}

void Provider() {
    TPlugin P;
    Check(P.Load(PluginPath()), "the DLL loads", PluginPath());
    P.Unload();
    CreateDirectoryA(TableFolder.c_str(), nullptr);
    Connection15* Probe = NewConnection(false);
    Check(Probe != nullptr, "ADO opens a connection through Brevlund.TestLogProvider",
          "is Wine 10's msado15 installed and the provider registered?");
    if (Probe) Probe->Release();
}

const std::vector<TScenario> Scenarios = {
    {"provider", Provider},
    {"first-showing", WithPlugin<OverTables<FirstShowingAndRecalc>>},
    {"letter-case", WithPlugin<OverTables<LetterCase>>},
    {"odd-values", WithPlugin<OverTables<OddValues>>},
    {"failures", WithPlugin<OverTables<Failures>>},
    {"closed-connection", WithPlugin<OverTables<ClosedConnection>>},
    {"wrapper-forms", WithPlugin<OverTables<WrapperForms>>},
    {"failures-mid-table", WithPlugin<OverTables<FailuresMidTable>>},
};

// ---- Timing ------------------------------------------------------------------------

double Milliseconds(const LARGE_INTEGER& Start, const LARGE_INTEGER& End) {
    LARGE_INTEGER Frequency;
    QueryPerformanceFrequency(&Frequency);
    return 1000.0 * static_cast<double>(End.QuadPart - Start.QuadPart) /
           static_cast<double>(Frequency.QuadPart);
}

// The floor under a rescan: the same statement through the same ADO
// interfaces, every row walked and its seven columns read as text, nothing
// scored or stored. Answers the bytes read, or -1 when ADO failed.
long long BareRead(Connection15* Link, const std::string& Table) {
    Recordset15* Records = OpenRecords(Link, Table);
    ADOFields* Fields = nullptr;
    if (!Records || FAILED(Records->get_Fields(&Fields)) || !Fields) {
        if (Records) Records->Release();
        return -1;
    }
    std::vector<ADOField*> Seven;
    for (const std::string& Name : Columns) {
        VARIANT Index;
        VariantInit(&Index);
        Index.vt = VT_BSTR;
        Index.bstrVal = SysAllocString(std::wstring(Name.begin(), Name.end()).c_str());
        ADOField* Field = nullptr;
        if (SUCCEEDED(Fields->get_Item(Index, &Field)) && Field) Seven.push_back(Field);
        VariantClear(&Index);
    }
    long long Bytes = Seven.size() == Columns.size() ? 0 : -1;
    VARIANT_BOOL End = VARIANT_TRUE;
    while (Bytes >= 0 && SUCCEEDED(Records->get_EOF(&End)) && !End) {
        for (ADOField* Field : Seven) {
            VARIANT Value;
            VariantInit(&Value);
            Field->get_Value(&Value);
            if (Value.vt == VT_BSTR) {
                const int Length = static_cast<int>(SysStringLen(Value.bstrVal));
                std::string Text(
                    static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, Value.bstrVal, Length,
                                                                 nullptr, 0, nullptr, nullptr)),
                    '\0');
                WideCharToMultiByte(CP_ACP, 0, Value.bstrVal, Length, Text.data(),
                                    static_cast<int>(Text.size()), nullptr, nullptr);
                Bytes += static_cast<long long>(Text.size());
            }
            VariantClear(&Value);
        }
        Records->MoveNext();
    }
    for (ADOField* Field : Seven)
        Field->Release();
    Fields->Release();
    Records->Close();
    Records->Release();
    return Bytes;
}

// The first showing over a table of Count rows, timed from _Run to its return
// (the window built and shown, the log read, the summary printed); then
// "Recalc Statistic" (read and print only) against a bare read of the same
// rows, alternately, the best of Rounds of each.
int TimeFirstShowing(int Count) {
    constexpr int Rounds = 15;
    TPlugin P;
    if (!P.Load(PluginPath())) return 1;
    CreateDirectoryA(TableFolder.c_str(), nullptr);
    const TTable Log = MakeLog(Count);
    WriteTable("Timed", Log);
    Connection15* Link = NewConnection(false);
    if (!Link) return 1;
    TContext Host = AdoContext(AsField(Link), "Timed");
    LARGE_INTEGER Start, Shown;
    QueryPerformanceCounter(&Start);
    const HWND Form = P.RunWindow(Host);
    QueryPerformanceCounter(&Shown);
    Pump(100);
    const std::string Want = ScoreNatively(Log, false).Summary;
    bool Same = Text(Child(Form, "Edit")) == Want;
    const HWND Button = Child(Form, "Button", "Recalc Statistic");
    double Recalc = 1e30, Bare = 1e30;
    long long Bytes = 0;
    for (int Round = 0; Round < Rounds; ++Round) {
        // What the last round left to paint is painted here, as a host's
        // message loop would between two clicks, not in the next timed span.
        Pump(50);
        LARGE_INTEGER Before, After;
        QueryPerformanceCounter(&Before);
        Bytes = BareRead(Link, "Timed");
        QueryPerformanceCounter(&After);
        Bare = std::min(Bare, Milliseconds(Before, After));
        Pump(50);
        QueryPerformanceCounter(&Before);
        SendMessageA(Button, BM_CLICK, 0, 0);
        QueryPerformanceCounter(&After);
        Recalc = std::min(Recalc, Milliseconds(Before, After));
        Same = Same && Text(Child(Form, "Edit")) == Want;
    }
    Same = Same && TakeBoxes().empty() && Bytes > 0;
    std::printf("%d rows through ADO: first showing %.1f ms, Recalc Statistic %.1f ms, bare read "
                "%.1f ms, Recalc Statistic / bare read %.2f (best of %d; %s)\n",
                Count, Milliseconds(Start, Shown), Recalc, Bare, Recalc / Bare, Rounds,
                Same ? "summary as scored natively" : "SUMMARY DIFFERS");
    ReleaseWindow(P);
    Link->Release();
    return Same ? 0 : 1;
}

} // namespace

int main(int Argc, char** Argv) {
    CoInitialize(nullptr);
    int Result = RunScenarios(Argc, Argv, Scenarios);
    if (Result < 0) StartAnsweringBoxes();
    if (Result >= 0) {
    } else if (Argc >= 3 && std::strcmp(Argv[1], "time") == 0)
        Result = TimeFirstShowing(std::atoi(Argv[2]));
    else {
        std::fprintf(stderr, "usage: AdoRescanChecks checks [NAME...] | AdoRescanChecks scenario "
                             "NAME | AdoRescanChecks time ROWS\n");
        Result = 2;
    }
    StopAnsweringBoxes();
    return Result;
}
