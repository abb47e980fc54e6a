#include "Contest.h"

#include "Diagnostics.h"
#include "LogInput.h"

#include "engine/Text.h"
#include "logformats/LogRecord.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

namespace brevlund::cli {

namespace {

using TJsonIn = nlohmann::json;

// The kinds by their names in a definition, the one table both ways.
constexpr std::pair<TFieldKind, const char*> KindNames[] = {
    {TFieldKind::Rst, "rst"},
    {TFieldKind::Number, "number"},
    {TFieldKind::Text, "text"},
    {TFieldKind::Call, "call"},
};

const char* KindName(TFieldKind Kind) {
    for (const auto& [Each, Name] : KindNames)
        if (Each == Kind) return Name;
    return "text";
}

// A built-in contest whose exchange is a report and one field, compared.
TContest ReportAnd(const char* Contest, const char* Name, TFieldKind Kind) {
    const std::vector<TExchangeField> Exchange = {{"rst", TFieldKind::Rst}, {Name, Kind}};
    return {Contest, Exchange, Exchange, {Name}, 0, std::nullopt, {}, {}};
}

std::vector<TContest> MakeBuiltIns() {
    return {
        ReportAnd("brevlund-dx", "area", TFieldKind::Text),    // the Brevlund DX Contest
        ReportAnd("rst+serial", "serial", TFieldKind::Number), // as in the WPX contests
        ReportAnd("rst+zone", "zone", TFieldKind::Number),     // as in the CQ World Wide contests
        ReportAnd("rst+text", "text", TFieldKind::Text), // a state, a province, a name, a power
    };
}

std::int64_t MinuteOrFail(const TJsonIn& Value, const std::string& Where) {
    const std::string Text = Value.is_string() ? Value.get<std::string>() : std::string();
    const std::size_t Blank = Text.find(' ');
    const std::optional<std::int64_t> Minute =
        Blank == std::string::npos
            ? std::nullopt
            : logformats::MinuteOf(Text.substr(0, Blank), Text.substr(Blank + 1));
    if (!Minute) throw TNothingDone(Where + " is no time such as \"2016-08-20 0800\"");
    return *Minute;
}

std::vector<TExchangeField> FieldsOrFail(const TJsonIn& Root, const char* Side,
                                         const std::string& Source) {
    const std::string Where = Source + ": \"" + Side + "\"";
    if (!Root.contains(Side) || !Root[Side].is_array() || Root[Side].empty())
        throw TNothingDone(Where + " must list the exchange's fields");
    std::vector<TExchangeField> Fields;
    for (const TJsonIn& Item : Root[Side]) {
        if (!Item.is_object() || !Item.contains("name") || !Item["name"].is_string() ||
            Item["name"].get<std::string>().empty())
            throw TNothingDone(Where + ": each field needs a \"name\"");
        const std::string Name = Item["name"];
        const std::string Kind = Item.value("kind", std::string("text"));
        const auto Known = std::find_if(std::begin(KindNames), std::end(KindNames),
                                        [&](const auto& Each) { return Kind == Each.second; });
        if (Known == std::end(KindNames))
            throw TNothingDone(Where + ": field \"" + Name + "\" has kind \"" + Kind +
                               "\"; the kinds are rst, number, text and call");
        Fields.push_back({Name, Known->first});
    }
    return Fields;
}

bool AllDigits(std::string_view S) {
    return !S.empty() &&
           std::all_of(S.begin(), S.end(), [](char C) { return C >= '0' && C <= '9'; });
}

std::string_view WithoutLeadingZeros(std::string_view Digits) {
    while (Digits.size() > 1 && Digits.front() == '0')
        Digits.remove_prefix(1);
    return Digits;
}

const TExchangeField* Named(const std::vector<TExchangeField>& Fields, const std::string& Name,
                            std::size_t& Index) {
    for (Index = 0; Index < Fields.size(); ++Index)
        if (Fields[Index].Name == Name) return &Fields[Index];
    return nullptr;
}

} // namespace

logformats::TQsoLayout LayoutOf(const TContest& Contest) {
    return {static_cast<int>(Contest.Sent.size()), static_cast<int>(Contest.Received.size()),
            false};
}

const std::vector<TContest>& BuiltInContests() {
    static const std::vector<TContest> All = MakeBuiltIns();
    return All;
}

std::string ContestList() {
    std::string List;
    for (const TContest& C : BuiltInContests()) {
        List += C.Name + ":";
        for (const auto& [Side, Fields] :
             {std::pair{" sent", &C.Sent}, {"; received", &C.Received}}) {
            List += Side;
            for (const TExchangeField& F : *Fields)
                List += std::string(" ") + F.Name + "(" + KindName(F.Kind) + ")";
        }
        List += "; compare";
        for (const std::string& Name : C.Compare)
            List += " " + Name;
        List += "\n";
    }
    return List;
}

TContest ParseContest(std::string_view Json, const std::string& Source) {
    TJsonIn Root;
    try {
        Root = TJsonIn::parse(Json.begin(), Json.end());
    } catch (const TJsonIn::parse_error& E) {
        throw TNothingDone(Source + ": not a contest definition: " + E.what());
    }
    if (!Root.is_object()) throw TNothingDone(Source + ": a contest definition is a JSON object");
    TContest Contest;
    if (!Root.contains("contest") || !Root["contest"].is_string())
        throw TNothingDone(Source + ": \"contest\" must name the contest");
    Contest.Name = Root["contest"];
    Contest.Sent = FieldsOrFail(Root, "sent", Source);
    Contest.Received = FieldsOrFail(Root, "received", Source);
    if (Root.contains("compare")) {
        if (!Root["compare"].is_array())
            throw TNothingDone(Source + ": \"compare\" must list field names");
        for (const TJsonIn& Name : Root["compare"]) {
            std::size_t At = 0;
            if (!Name.is_string() || !Named(Contest.Received, Name, At) ||
                !Named(Contest.Sent, Name, At))
                throw TNothingDone(Source + ": \"compare\" names " + Name.dump() +
                                   ", which is not both a sent and a received field");
            Contest.Compare.push_back(Name);
        }
    }
    if (Root.contains("repeat_after_minutes")) {
        const TJsonIn& Repeat = Root["repeat_after_minutes"];
        if (!Repeat.is_number_integer() || Repeat.get<std::int64_t>() < 0 ||
            Repeat.get<std::int64_t>() > 100000)
            throw TNothingDone(Source + ": \"repeat_after_minutes\" must be a whole number of "
                                        "minutes, 0 or more");
        Contest.RepeatAfterMinutes = Repeat.get<int>();
    }
    if (Root.contains("period")) {
        const TJsonIn& Period = Root["period"];
        if (!Period.is_object() || !Period.contains("start") || !Period.contains("end"))
            throw TNothingDone(Source + ": \"period\" needs \"start\" and \"end\"");
        Contest.Period = TContestPeriod{MinuteOrFail(Period["start"], Source + ": the start"),
                                        MinuteOrFail(Period["end"], Source + ": the end")};
        if (Contest.Period->End < Contest.Period->Start)
            throw TNothingDone(Source + ": the period ends before it starts");
    }
    if (Root.contains("cabrillo_contest")) {
        const TJsonIn& Names = Root["cabrillo_contest"];
        if (!Names.is_array() || !std::all_of(Names.begin(), Names.end(), [](const TJsonIn& N) {
                return N.is_string() && !N.empty();
            }))
            throw TNothingDone(Source + ": \"cabrillo_contest\" must list the names a log's "
                                        "CONTEST: may give");
        for (const TJsonIn& Name : Names)
            Contest.CabrilloNames.push_back(Name);
    }
    if (Root.contains("categories")) {
        const TJsonIn& Parts = Root["categories"];
        const auto Fail = [&] {
            std::string Names;
            for (std::size_t P = 0; P < logformats::CategoryParts; ++P)
                Names += (P ? ", " : "") + std::string(logformats::CategoryPartName(
                                               static_cast<logformats::TCategoryPart>(P)));
            throw TNothingDone(Source +
                               ": \"categories\" must list parts of the category the "
                               "results rank by: " +
                               Names);
        };
        if (!Parts.is_array() || Parts.empty()) Fail();
        for (const TJsonIn& Name : Parts) {
            const std::optional<logformats::TCategoryPart> Part =
                Name.is_string() ? logformats::CategoryPartNamed(Name.get<std::string>())
                                 : std::nullopt;
            if (!Part) Fail();
            Contest.CategoryParts.push_back(*Part);
        }
    }
    return Contest;
}

TContest LoadContest(const std::string& FileOrName) {
    for (const TContest& C : BuiltInContests())
        if (C.Name == FileOrName) return C;
    if (FileOrName.find_first_of("/\\.") == std::string::npos)
        throw TNothingDone("no built-in contest \"" + FileOrName +
                           "\": see brevlund check-logs --contest list, or name a file");
    return ParseContest(ReadTextFile(FileOrName), FileOrName);
}

std::string BaseCall(std::string_view Call) {
    std::string_view Longest;
    std::size_t Start = 0;
    while (Start <= Call.size()) {
        std::size_t End = Call.find('/', Start);
        if (End == std::string_view::npos) End = Call.size();
        if (End - Start > Longest.size()) Longest = Call.substr(Start, End - Start);
        Start = End + 1;
    }
    return UpperAscii(Longest);
}

std::string FieldKey(TFieldKind Kind, std::string_view Value) {
    switch (Kind) {
    case TFieldKind::Rst:
        return std::string();
    case TFieldKind::Number:
        // Digits without leading zeros; a value with anything else is text, and
        // its capitals always hold something other than digits.
        if (AllDigits(Value)) return std::string(WithoutLeadingZeros(Value));
        return UpperAscii(Value);
    case TFieldKind::Text:
        return UpperAscii(Value);
    case TFieldKind::Call:
        return BaseCall(Value);
    }
    return std::string(Value);
}

bool SameField(TFieldKind Kind, std::string_view A, std::string_view B) {
    return FieldKey(Kind, A) == FieldKey(Kind, B);
}

std::vector<TComparedField> ComparedFields(const TContest& Contest) {
    std::vector<TComparedField> Fields;
    for (const std::string& Name : Contest.Compare) {
        TComparedField F;
        const TExchangeField* Field = Named(Contest.Received, Name, F.Received);
        if (!Field || !Named(Contest.Sent, Name, F.Sent)) continue;
        F.Kind = Field->Kind;
        Fields.push_back(F);
    }
    return Fields;
}

TAgreement CompareExchange(const TContest& Contest, std::string_view Received,
                           std::string_view Sent) {
    const std::vector<std::string_view> Got = logformats::SplitWords(Received);
    const std::vector<std::string_view> Gave = logformats::SplitWords(Sent);
    TAgreement Result;
    for (const TComparedField& F : ComparedFields(Contest)) {
        if (F.Received >= Got.size() || F.Sent >= Gave.size()) continue;
        if (SameField(F.Kind, Got[F.Received], Gave[F.Sent]))
            ++Result.Agree;
        else
            ++Result.Disagree;
    }
    return Result;
}

std::string SentArea(const TContest& Contest, const std::vector<logformats::TLogQSO>& Qsos) {
    const auto Field =
        std::find_if(Contest.Sent.begin(), Contest.Sent.end(),
                     [](const TExchangeField& F) { return UpperAscii(F.Name) == "AREA"; });
    if (Field == Contest.Sent.end()) return {};
    const auto Place = static_cast<std::size_t>(Field - Contest.Sent.begin());
    std::map<std::string, std::size_t> Count;
    std::vector<std::string_view> Words;
    for (const logformats::TLogQSO& Q : Qsos) {
        logformats::SplitWords(Q.Sent, Words);
        if (Place < Words.size()) ++Count[UpperAscii(Words[Place])];
    }
    std::string Area;
    std::size_t Most = 0;
    for (const auto& [Value, N] : Count)
        if (N > Most) {
            Area = Value;
            Most = N;
        }
    return Area;
}

} // namespace brevlund::cli
