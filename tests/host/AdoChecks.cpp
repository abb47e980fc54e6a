// The ADO log query under Wine's own ADO: text of column values, the checks on
// the host's connection value, and errors in the database layer's own words.
// Wine 8's ADO reads no rows; the rescan through a real ADO that does is
// checked by AdoRescanChecks.exe (Wine 10's ADO and the test provider).
//
//   AdoChecks.exe checks [NAME...]   every scenario (or those named), each in a
//                                    fresh process; prints "N passed, M failed"
//   AdoChecks.exe scenario NAME      one scenario, in this process
#include "HostKit.h"
#include "platform/win32/AdoLogQuery_win.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace brevlund;
using brevlund::host::Check;
using brevlund::host::CheckShowing;

namespace {

VARIANT Make(VARTYPE Type) {
    VARIANT Value;
    VariantInit(&Value);
    Value.vt = Type;
    return Value;
}

std::string OpenError(TAdoLogQuery& Query) {
    Query.SetStatement("Select * from Log order by CallSign");
    try {
        Query.Open();
    } catch (const TDatabaseError& Error) {
        return Error.what();
    }
    return "(opened)";
}

// An ADO Connection object made here, as the host would hold one.
IUnknown* NewConnection() {
    IUnknown* Object = nullptr;
    CoCreateInstance(ado::ClsidConnection, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                     reinterpret_cast<void**>(&Object));
    return Object;
}

void ColumnText() {
    struct TextCase {
        const char* Name;
        VARIANT Value;
        std::string Text;
    };
    std::vector<TextCase> Cases;
    Cases.push_back({"empty", Make(VT_EMPTY), ""});
    Cases.push_back({"null", Make(VT_NULL), ""});
    VARIANT Call = Make(VT_BSTR);
    Call.bstrVal = SysAllocString(L"SM5ABC");
    Cases.push_back({"text", Call, "SM5ABC"});
    VARIANT Accented = Make(VT_BSTR);
    Accented.bstrVal = SysAllocString(L"caf\u00e9");
    Cases.push_back({"text in the ANSI code page", Accented, "caf\xe9"});
    VARIANT Number = Make(VT_I4);
    Number.lVal = 42;
    Cases.push_back({"integer", Number, "42"});
    VARIANT Negative = Make(VT_I2);
    Negative.iVal = -7;
    Cases.push_back({"small integer", Negative, "-7"});
    for (TextCase& C : Cases) {
        std::string Text;
        try {
            Text = VariantText(C.Value);
        } catch (const std::exception& Error) {
            Text = std::string("error ") + Error.what();
        }
        CheckShowing(Text == C.Text, std::string("column value as text: ") + C.Name, Text);
        VariantClear(&C.Value);
    }
}

// Values that are no connection: recognised as such, and a clear error.
void NoConnection() {
    std::vector<unsigned char> Zeros(64, 0);
    int Local = 0;
    Check(!IsAdoConnection(nullptr), "0 is no connection");
    Check(!IsAdoConnection(Zeros.data()), "a block of zeros is no connection");
    Check(!IsAdoConnection(&Local), "a pointer to a plain integer is no connection");
    Check(!IsAdoConnection(reinterpret_cast<void*>(0x10)), "an unmapped address is no connection");

    TAdoLogQuery Query;
    Query.Attach(0);
    Check(OpenError(Query) == "Missing Connection or ConnectionString", "no connection: its error");
    Query.AttachObject(Zeros.data());
    Check(OpenError(Query) == "LogQuery: the host's log connection is not an ADO connection object",
          "not a connection: a clear error, no crash");
}

void UnconnectedConnection() {
    IUnknown* Connection = NewConnection();
    Check(Connection != nullptr, "ADO makes a connection object");
    if (!Connection) return;
    Check(IsAdoConnection(Connection), "an ADO connection object is recognised");
    TAdoLogQuery Query;
    Query.AttachObject(Connection);
    const std::string Error = OpenError(Query);
    CheckShowing(Error != "(opened)" && !Error.empty() &&
                     Error != "LogQuery: the host's log connection is not an ADO connection object",
                 "an unconnected connection without settings: the database layer's error", Error);
    Query.Close();
    Query.Close();
    Check(true, "closing twice does nothing");
    Query.AttachObject(nullptr);
    ULONG Left = Connection->Release();
    Check(Left == 0, "the host's connection is left with the references it had");
}

} // namespace

int main(int Argc, char** Argv) {
    CoInitialize(nullptr);
    int Result = host::RunScenarios(Argc, Argv,
                                    {{"column-text", ColumnText},
                                     {"no-connection", NoConnection},
                                     {"unconnected-connection", UnconnectedConnection}});
    if (Result < 0) {
        std::fprintf(stderr, "usage: AdoChecks checks [NAME...] | AdoChecks scenario NAME\n");
        Result = 2;
    }
    CoUninitialize();
    return Result;
}
