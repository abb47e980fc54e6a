#include "Adif.h"
#include "engine/Text.h"

#include "Bands.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace brevlund::logformats {

namespace {

// One record's fields, the first non-empty one of each name, trimmed: programs
// write a line break after a value inside its length, and empty fields for
// what they do not know.
class TRecord {
public:
    void Add(std::string Name, std::string_view Data) {
        Data = Trim(Data);
        if (!Data.empty() && !Find(Name)) Fields.emplace_back(std::move(Name), std::string(Data));
    }
    const std::string* Find(std::string_view Name) const {
        for (const auto& [Key, Value] : Fields)
            if (Key == Name) return &Value;
        return nullptr;
    }
    bool Empty() const { return Fields.empty(); }
    void Clear() { Fields.clear(); }

private:
    std::vector<std::pair<std::string, std::string>> Fields; // names in capitals
};

// An exchange: its whole field when not empty, else the report and the serial
// or other part joined by one blank.
std::string ExchangeOf(const TRecord& Record, const char* Whole, const char* Report,
                       const char* Rest) {
    if (const std::string* Text = Record.Find(Whole); Text && !Text->empty()) return *Text;
    std::string Joined;
    for (const char* Name : {Report, Rest}) {
        const std::string* Part = Record.Find(Name);
        if (!Part || Part->empty()) continue;
        if (!Joined.empty()) Joined += ' ';
        Joined += *Part;
    }
    return Joined;
}

// The QSO of a complete record, or the reason it has none.
bool QsoOf(const TRecord& Record, TLogQSO& Qso, std::string& Problem) {
    const std::string* Call = Record.Find("CALL");
    const std::string* Band = Record.Find("BAND");
    const std::string* Freq = Record.Find("FREQ");
    const std::string* Mode = Record.Find("MODE");
    if (!Call) {
        Problem = "record without CALL";
        return false;
    }
    if (!Band && !Freq) {
        Problem = "record without BAND or FREQ";
        return false;
    }
    if (!Mode) {
        Problem = "record without MODE";
        return false;
    }
    AssignUpperAscii(Qso.Call, *Call);
    // The band's name, else the frequency, else what the log wrote.
    std::optional<std::string_view> Label;
    if (Band) Label = BandOfAdifName(*Band);
    if (!Label && Freq) Label = BandOfAdifFreq(*Freq);
    Qso.Band = Label ? std::string(*Label) : Band ? *Band : *Freq;
    Qso.Mode = AdifMode(*Mode);
    Qso.Exchange = ExchangeOf(Record, "SRX_STRING", "RST_RCVD", "SRX");
    if (Freq) Qso.Frequency = *Freq;
    // A date or time that does not exist would put the QSO anywhere in time.
    if (const std::string* Date = Record.Find("QSO_DATE"); Date && !Date->empty()) {
        if (Date->size() == 8)
            Qso.Date = Date->substr(0, 4) + "-" + Date->substr(4, 2) + "-" + Date->substr(6, 2);
        if (!ValidDate(Qso.Date)) {
            Problem = "QSO_DATE \"" + *Date + "\" is no date that exists; ADIF writes YYYYMMDD";
            return false;
        }
    }
    if (const std::string* Time = Record.Find("TIME_ON"); Time && !Time->empty()) {
        if (Time->size() == 4 || Time->size() == 6) Qso.Time = Time->substr(0, 4);
        if (!ValidTime(Qso.Time) || (Time->size() == 6 && !ValidTime("00" + Time->substr(4, 2)))) {
            Problem = "TIME_ON \"" + *Time + "\" is no time of day; ADIF writes HHMM or HHMMSS";
            return false;
        }
    }
    for (const char* Name : {"STATION_CALLSIGN", "OPERATOR"})
        if (const std::string* Mine = Record.Find(Name);
            Mine && !Mine->empty() && Qso.MyCall.empty())
            AssignUpperAscii(Qso.MyCall, *Mine);
    Qso.Sent = ExchangeOf(Record, "STX_STRING", "RST_SENT", "STX");
    return true;
}

} // namespace

TLogRead ReadAdif(std::string_view Text, TQsoSink* Sink) {
    TLogRead Read;
    TQsoMaker Maker(Read, Sink);
    const TLineNumbers Lines(Text);
    const auto Report = [&](std::size_t Offset, std::string Message) {
        Read.Problems.push_back({Lines.LineOf(Offset), std::move(Message)});
    };

    // Fields before an <EOH> that no <EOR> precedes are the header, whether or
    // not the file begins with "<" (many programs write it so); a file without
    // <EOH> has no header. Text outside tags is a comment.
    bool HeaderDone = false, SeenRecord = false;
    TUnknownBandsAndModes Unknown;
    TRecord Record;
    std::size_t RecordStart = 0;
    std::size_t At = 0;
    while (At < Text.size()) {
        const std::size_t Open = Text.find('<', At);
        if (Open == std::string_view::npos) break;
        const std::size_t Close = Text.find('>', Open);
        if (Close == std::string_view::npos) {
            Report(Open, "tag without \">\"");
            break;
        }
        const std::string_view Tag = Text.substr(Open + 1, Close - Open - 1);
        if (const std::size_t Inner = Tag.find('<'); Inner != std::string_view::npos) {
            Report(Open, "\"<\" that starts no tag");
            At = Open + 1 + Inner;
            continue;
        }
        const std::size_t Colon = Tag.find(':');
        if (Colon == std::string_view::npos) {
            const std::string Name = UpperAscii(Tag);
            At = Close + 1;
            if (Name == "EOH") {
                if (HeaderDone || SeenRecord) {
                    Report(Open, "<EOH> after the first record: passed over");
                } else {
                    HeaderDone = true;
                    Record.Clear();
                }
            } else if (Name == "EOR") {
                SeenRecord = true;
                if (Record.Empty()) {
                    Report(Open, "<EOR> ends a record without fields");
                } else {
                    TLogQSO& Qso = Maker.Start(Lines.LineOf(RecordStart));
                    std::string Problem;
                    if (QsoOf(Record, Qso, Problem)) {
                        Unknown.Note(Qso);
                        Maker.Keep();
                    } else {
                        Maker.Drop();
                        Report(RecordStart, std::move(Problem));
                    }
                }
                Record.Clear();
            } else if (Name != "EOF") { // some programs end the file so
                Report(Open, "tag <" + std::string(Tag) + "> has no length");
            }
            continue;
        }
        const std::string Name = UpperAscii(Tag.substr(0, Colon));
        std::string_view LengthText = Tag.substr(Colon + 1);
        LengthText = LengthText.substr(0, LengthText.find(':')); // a data type may follow
        std::size_t Length = 0;
        bool Valid = !LengthText.empty() && !Name.empty();
        for (char C : LengthText) {
            if (C < '0' || C > '9' || Length > Text.size()) {
                Valid = false;
                break;
            }
            Length = Length * 10 + static_cast<std::size_t>(C - '0');
        }
        if (!Valid) {
            Report(Open, "field <" + std::string(Tag) + "> needs a name and a length in digits");
            At = Close + 1;
            continue;
        }
        if (Length > Text.size() - (Close + 1)) {
            Report(Open, "field " + Name + " runs past the end of the file");
            break;
        }
        if (Record.Empty()) RecordStart = Open;
        Record.Add(Name, Text.substr(Close + 1, Length));
        At = Close + 1 + Length;
    }
    if (!Record.Empty()) Report(RecordStart, "record without <EOR> at the end of the file");
    // A record's own problem is found at its end, after those of its fields.
    Unknown.Warn(Read);
    std::stable_sort(Read.Problems.begin(), Read.Problems.end(),
                     [](const TLogProblem& A, const TLogProblem& B) { return A.Line < B.Line; });
    return Read;
}

} // namespace brevlund::logformats
