#include "LogRecord.h"

namespace brevlund::logformats {

std::string TLogRead::HeaderValue(std::string_view Tag) const {
    for (const THeaderLine& Line : Header)
        if (Line.Tag == Tag) return Line.Value;
    return {};
}

TLogQSO& TQsoMaker::Start(std::size_t Line, bool X) {
    CurrentX = X;
    if (X || !Sink) {
        Current = &(X ? Read.XQSOs : Read.QSOs).emplace_back();
    } else {
        // Cleared field by field: the texts keep their room from QSO to QSO.
        for (std::string* Text :
             {&Scratch.Call, &Scratch.Band, &Scratch.Mode, &Scratch.Exchange, &Scratch.Frequency,
              &Scratch.Date, &Scratch.Time, &Scratch.MyCall, &Scratch.Sent})
            Text->clear();
        Current = &Scratch;
    }
    Current->Line = Line;
    return *Current;
}

void TQsoMaker::Keep() {
    if (CurrentX) return;
    ++Read.QsoCount;
    if (Current == &Scratch) Sink->Take(Scratch);
}

void TQsoMaker::Drop() {
    if (Current != &Scratch) (CurrentX ? Read.XQSOs : Read.QSOs).pop_back();
}

std::string LogCallOf(const TLogRead& Read) {
    std::string_view Call;
    const std::string Header = Read.HeaderValue("CALLSIGN");
    const std::vector<std::string_view> Words = SplitWords(Header);
    if (!Words.empty())
        Call = Words[0];
    else if (!Read.QSOs.empty())
        Call = Read.QSOs.front().MyCall;
    else if (!Read.XQSOs.empty())
        Call = Read.XQSOs.front().MyCall;
    return UpperAscii(Call);
}

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t Y, unsigned M, unsigned D) {
    Y -= M <= 2;
    const std::int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
    const unsigned YearOfEra = static_cast<unsigned>(Y - Era * 400);
    const unsigned DayOfYear = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const unsigned DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
    return Era * 146097 + static_cast<std::int64_t>(DayOfEra) - 719468;
}

bool Digits(std::string_view Text, std::size_t From, std::size_t Count, unsigned& Value) {
    Value = 0;
    for (std::size_t I = From; I < From + Count; ++I) {
        if (I >= Text.size() || Text[I] < '0' || Text[I] > '9') return false;
        Value = Value * 10 + static_cast<unsigned>(Text[I] - '0');
    }
    return true;
}

} // namespace

std::optional<std::int64_t> MinuteOf(const TLogQSO& Qso) {
    return MinuteOf(Qso.Date, Qso.Time);
}

namespace {

struct TCivilDate {
    unsigned Year = 0, Month = 0, Day = 0;
};

std::optional<TCivilDate> DateOf(std::string_view Date) {
    TCivilDate D;
    if (Date.size() != 10 || Date[4] != '-' || Date[7] != '-' || !Digits(Date, 0, 4, D.Year) ||
        !Digits(Date, 5, 2, D.Month) || !Digits(Date, 8, 2, D.Day))
        return std::nullopt;
    static constexpr unsigned DaysIn[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool Leap = (D.Year % 4 == 0 && D.Year % 100 != 0) || D.Year % 400 == 0;
    if (D.Month < 1 || D.Month > 12 || D.Day < 1 || D.Day > DaysIn[D.Month - 1] ||
        (D.Month == 2 && D.Day == 29 && !Leap))
        return std::nullopt;
    return D;
}

// Minutes into the day.
std::optional<unsigned> TimeOf(std::string_view Time) {
    unsigned Hour = 0, Minute = 0;
    if (Time.size() != 4 || !Digits(Time, 0, 2, Hour) || !Digits(Time, 2, 2, Minute) || Hour > 23 ||
        Minute > 59)
        return std::nullopt;
    return Hour * 60 + Minute;
}

} // namespace

bool ValidDate(std::string_view Date) {
    return DateOf(Date).has_value();
}

bool ValidTime(std::string_view Time) {
    return TimeOf(Time).has_value();
}

std::optional<std::int64_t> MinuteOf(std::string_view Date, std::string_view Time) {
    const std::optional<TCivilDate> D = DateOf(Date);
    const std::optional<unsigned> T = TimeOf(Time);
    if (!D || !T) return std::nullopt;
    return DaysFromCivil(D->Year, D->Month, D->Day) * 1440 + *T;
}

std::vector<std::string_view> SplitWords(std::string_view Line) {
    std::vector<std::string_view> Words;
    SplitWords(Line, Words);
    return Words;
}

namespace {

// A run of bytes above blank, [From, To), that holds bytes above ASCII: its
// words, split where a no-break space stands for a blank (TokenBlankAt).
void SplitAtNoBreakSpaces(std::string_view Line, std::size_t From, std::size_t To,
                          std::vector<std::string_view>& Words) {
    bool Plain = true; // the run follows a blank or starts the line
    std::size_t Start = From;
    for (std::size_t At = From; At < To;) {
        if (const std::size_t Blank = TokenBlankAt(Line, At, Plain)) {
            if (At > Start) Words.push_back(Line.substr(Start, At - Start));
            At += Blank;
            Start = At;
            Plain = true;
        } else {
            Plain = static_cast<unsigned char>(Line[At]) < 128;
            ++At;
        }
    }
    if (To > Start) Words.push_back(Line.substr(Start, To - Start));
}

} // namespace

void SplitWords(std::string_view Line, std::vector<std::string_view>& Words) {
    Words.clear();
    const char* const Begin = Line.data();
    const char* const End = Begin + Line.size();
    const char* At = Begin;
    while (At < End) {
        while (At < End && IsBlank(*At))
            ++At;
        const char* const Start = At;
        unsigned char Bits = 0; // of every byte of the run: above ASCII when one is
        while (At < End && !IsBlank(*At))
            Bits |= static_cast<unsigned char>(*At++);
        const auto From = static_cast<std::size_t>(Start - Begin);
        const auto Length = static_cast<std::size_t>(At - Start);
        if (Bits >= 128)
            SplitAtNoBreakSpaces(Line, From, From + Length, Words);
        else if (Length > 0)
            Words.emplace_back(Start, Length);
    }
}

} // namespace brevlund::logformats
