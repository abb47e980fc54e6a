// A contest with known truth: stations with calls far apart, true QSOs between
// them written into both logs as Cabrillo, and what the check of each logged
// line must find. Tests plant faults on top; the benchmark takes it as it is.
#pragma once

#include "CrossCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace brevlund::test {

struct TSimStation {
    std::string Call;
    std::string Area; // two capitals, or a number for a station without an area
    bool Submits = true;
    int Clock = 0; // minutes its clock is ahead
    // Header lines after CALLSIGN: (category, claimed score, name ...); none:
    // CATEGORY-OPERATOR: SINGLE-OP alone.
    std::vector<std::string> Header;
};

// A QSO as it truly happened: Minute counts from the contest's start.
struct TSimQso {
    int A = 0, B = 0;
    int Band = 0; // into Bands
    bool Phone = false;
    int Minute = 0;
    int SerialA = 0, SerialB = 0; // what each sent, in a contest of serial numbers
};

// One line of a log and what the check must say of it: a status, or
// "credited" for any credited one (a call that sent no log is ok or unique).
struct TSimLine {
    int Minute = 0; // as the station logged it, clock error included
    int Order = 0;  // when it was logged: logs keep the order QSOs were made in
    std::string Text;
    std::string Expect = "credited";
    std::string Correct;
    bool Unreadable = false; // no QSO line the reader can read
};

class TContestSim {
public:
    static constexpr const char* Bands[] = {"1.8", "3.5", "7", "14", "21", "28"};
    static constexpr int Frequencies[] = {1830, 3510, 7010, 14010, 21010, 28010};
    static constexpr int HeaderLines = 4;
    static constexpr int ContestMinutes = 24 * 60;

    // Stations, every one NonSubmitters-th sending no log, and the true QSOs:
    // distinct pairs, bands and modes, none written yet.
    TContestSim(unsigned Seed, int StationCount, int QsoCount, int NonSubmitterEvery = 0)
        : Random(Seed) {
        static const char* const Areas[] = {"AN", "BO", "CE", "DA", "EL", "FI", "GR", "HA"};
        static const char* const Prefixes[] = {"SM", "DL", "OH", "G",  "LA", "OZ", "F",  "EA",
                                               "I",  "PA", "ON", "OK", "SP", "HA", "YU", "LY"};
        while (static_cast<int>(Stations.size()) < StationCount) {
            std::string Call = Prefixes[Pick(16)] + std::to_string(Pick(10));
            for (int I = 0; I < 3; ++I)
                Call += static_cast<char>('A' + Pick(26));
            if (!FarFromAll(Call, -1)) continue;
            TSimStation S;
            S.Call = Call;
            S.Area = Pick(5) == 0 ? std::to_string(10 + Pick(90)) : Areas[Pick(8)];
            S.Submits = NonSubmitterEvery == 0 ||
                        static_cast<int>(Stations.size()) % NonSubmitterEvery != 1;
            Stations.push_back(std::move(S));
        }
        Logs.resize(Stations.size());
        while (static_cast<int>(Qsos.size()) < QsoCount) {
            TSimQso Q;
            Q.A = Pick(StationCount);
            Q.Minute = 30 + Pick(ContestMinutes - 90);
            Spell(Q.A, Q.Minute, Q.Band, Q.Phone);
            // Someone on the same band and mode just then.
            Q.B = Pick(StationCount);
            if (OnSpell(Q.B, Q)) AddQso(Q);
        }
    }

    // The band and mode a station is on at a minute: it keeps to one for half
    // an hour, as operators do.
    static void Spell(int Station, int Minute, int& Band, bool& Phone) {
        std::uint32_t H = static_cast<std::uint32_t>(Station) * 2654435761u ^
                          static_cast<std::uint32_t>(Minute / 30) * 40503u;
        H ^= H >> 15;
        H *= 2246822519u;
        H ^= H >> 13;
        Band = static_cast<int>(H % 6);
        Phone = H / 6 % 3 == 0;
    }
    static bool OnSpell(int Station, const TSimQso& Q) {
        int Band = 0;
        bool Phone = false;
        Spell(Station, Q.Minute, Band, Phone);
        return Band == Q.Band && Phone == Q.Phone;
    }

    int Pick(int N) { return static_cast<int>(Random() % static_cast<unsigned>(N)); }

    static std::uint64_t ComboKey(int A, int B, int Band, bool Phone) {
        return (static_cast<std::uint64_t>(A) << 32) | (static_cast<std::uint64_t>(B) << 4) |
               static_cast<std::uint64_t>(Band * 2 + Phone);
    }

    // A true QSO, unless it is with itself, between two stations that send no
    // log, or a pair, band and mode already worked.
    bool AddQso(const TSimQso& Q) {
        if (Q.A == Q.B || (!Stations[Q.A].Submits && !Stations[Q.B].Submits)) return false;
        if (!Used.insert(ComboKey(Q.A, Q.B, Q.Band, Q.Phone)).second) return false;
        Used.insert(ComboKey(Q.B, Q.A, Q.Band, Q.Phone));
        Qsos.push_back(Q);
        return true;
    }

    // A busy spell: Count more true QSOs of station A with stations that send
    // logs, who come to its band and mode, one a minute from Minute on. Not
    // yet written.
    std::vector<TSimQso> RunOf(int A, int Band, bool Phone, int Minute, int Count) {
        std::vector<TSimQso> Run;
        for (int Try = 0; Try < 2000 && static_cast<int>(Run.size()) < Count; ++Try) {
            TSimQso Q;
            Q.A = A;
            Q.B = Pick(static_cast<int>(Stations.size()));
            Q.Band = Band;
            Q.Phone = Phone;
            Q.Minute = Minute + static_cast<int>(Run.size());
            if (Stations[Q.B].Submits && AddQso(Q)) Run.push_back(Qsos.back());
        }
        return Run;
    }

    // Serial numbers as each station sent them: 1, 2, 3 ... in time order.
    void NumberSerials() {
        std::vector<TSimQso*> InTime;
        for (TSimQso& Q : Qsos)
            InTime.push_back(&Q);
        std::stable_sort(InTime.begin(), InTime.end(),
                         [](const TSimQso* A, const TSimQso* B) { return A->Minute < B->Minute; });
        std::vector<int> Sent(Stations.size(), 0);
        for (TSimQso* Q : InTime) {
            Q->SerialA = ++Sent[Q->A];
            Q->SerialB = ++Sent[Q->B];
        }
        Serials = true;
    }

    // No station's call, nor its base call, is it or one edit from it, but Except's.
    bool FarFromAll(const std::string& Call, int Except) const {
        const std::string Base = cli::BaseCall(Call);
        for (int I = 0; I < static_cast<int>(Stations.size()); ++I) {
            if (I == Except) continue;
            const std::string Other = cli::BaseCall(Stations[I].Call);
            if (Stations[I].Call == Call || cli::OneEditApart(Stations[I].Call, Call) ||
                Other == Base || cli::OneEditApart(Other, Base))
                return false;
        }
        return true;
    }

    std::string Sent(int Station, bool Phone) const {
        return std::string(Phone ? "59 " : "599 ") + Stations[Station].Area;
    }

    // What Station sent in the QSO: its area, or its serial number.
    std::string Sent(int Station, const TSimQso& Q) const {
        if (!Serials) return Sent(Station, Q.Phone);
        char Serial[8];
        std::snprintf(Serial, sizeof Serial, "%03d", Station == Q.A ? Q.SerialA : Q.SerialB);
        return std::string(Q.Phone ? "59 " : "599 ") + Serial;
    }

    // The line Own writes for a QSO with the call Logged, the other's time
    // off by Jitter minutes.
    TSimLine& Write(int Own, const std::string& Logged, const std::string& Received,
                    const TSimQso& Q, int Jitter = 0, bool X = false) {
        TSimLine L;
        L.Minute = Q.Minute + Jitter + Stations[Own].Clock;
        L.Order = Q.Minute;
        // The contest starts at 12:00 on the 7th.
        const int Since = 720 + L.Minute;
        const int Date = 7 + Since / 1440, Hour = Since % 1440 / 60, Min = Since % 60;
        char Text[160];
        std::snprintf(Text, sizeof Text, "%s %5d %s 2026-03-%02d %02d%02d %-10s %-7s %-10s %s",
                      X ? "X-QSO:" : "QSO:", Frequencies[Q.Band] + Q.Minute % 50,
                      Q.Phone ? "PH" : "CW", Date, Hour, Min, Stations[Own].Call.c_str(),
                      Sent(Own, Q).c_str(), Logged.c_str(), Received.c_str());
        L.Text = Text;
        Logs[Own].push_back(std::move(L));
        return Logs[Own].back();
    }

    // Own's line for the QSO, cut short after its own call, as a mail program
    // or a hand edit leaves it: no reader can read it.
    TSimLine& WriteUnreadable(int Own, const TSimQso& Q) {
        TSimLine& L = Write(Own, "", "", Q);
        L.Text = L.Text.substr(0, L.Text.find(Stations[Own].Call) + Stations[Own].Call.size());
        L.Unreadable = true;
        L.Expect.clear();
        return L;
    }

    // A true QSO in both logs, as it happened; the other side's time a minute
    // off now and then. What each side must find: ok, or credited when the
    // other sent no log.
    void WriteBoth(const TSimQso& Q) {
        const int Jitter = Pick(3) - 1;
        if (Stations[Q.A].Submits)
            Write(Q.A, Stations[Q.B].Call, Sent(Q.B, Q), Q).Expect =
                Stations[Q.B].Submits ? "ok" : "credited";
        if (Stations[Q.B].Submits)
            Write(Q.B, Stations[Q.A].Call, Sent(Q.A, Q), Q, Jitter).Expect =
                Stations[Q.A].Submits ? "ok" : "credited";
    }

    // Puts each log's lines in the order they were made; a line's number is
    // then its place after the header.
    void Finish() {
        for (auto& Log : Logs)
            std::stable_sort(Log.begin(), Log.end(), [](const TSimLine& A, const TSimLine& B) {
                return A.Order < B.Order;
            });
    }

    std::string Cabrillo(int Station) const {
        std::string Text =
            "START-OF-LOG: 3.0\nCONTEST: BREVLUND-DX\nCALLSIGN: " + Stations[Station].Call + "\n";
        for (const std::string& Line : Stations[Station].Header)
            Text += Line + "\n";
        if (Stations[Station].Header.empty()) Text += "CATEGORY-OPERATOR: SINGLE-OP\n";
        for (const TSimLine& L : Logs[Station])
            Text += L.Text + "\n";
        return Text + "END-OF-LOG:\n";
    }

    static std::size_t LineOf(std::size_t Index) { return Index + HeaderLines + 1; }
    // The same for a station whose header may have lines of its own.
    std::size_t LineOf(int Station, std::size_t Index) const {
        return LineOf(Index) + std::max<std::size_t>(1, Stations[Station].Header.size()) - 1;
    }

    std::mt19937 Random;
    std::vector<TSimStation> Stations;
    std::vector<TSimQso> Qsos;
    std::vector<std::vector<TSimLine>> Logs; // by station
    std::unordered_set<std::uint64_t> Used;  // pairs, bands and modes worked
    bool Serials = false;                    // exchanges of serial numbers (NumberSerials)
};

// File-level variations, apart from the contest itself: the same log as other
// programs write it. Each changes the bytes of the file, never what it says.
struct TFileStyle {
    enum TEncoding { Plain, Utf8Mark, Utf16Little, Utf16Big } Encoding = Plain;
    std::string Extension = ".log";
    bool SmallCalls = false; // the calls of each QSO line and CALLSIGN: in small letters
    bool Points = false;     // a points column after the received exchange
    bool OddBlanks = false;  // a no-break space after the tag, tabs between the tokens
    bool CrLf = false;
};

// Every variation in turn as the stations go: any run of 20 has each.
inline TFileStyle StyleFor(int Station) {
    static const char* const Extensions[] = {".log", ".txt", "", ".cbr", ".LOG"};
    TFileStyle Style;
    Style.Encoding = static_cast<TFileStyle::TEncoding>(Station % 4);
    Style.Extension = Extensions[Station / 4 % 5];
    Style.SmallCalls = Station % 3 == 0;
    Style.Points = Station % 2 == 1;
    Style.OddBlanks = Station % 5 == 2;
    Style.CrLf = Station % 3 == 1;
    return Style;
}

// A log's Cabrillo text (TContestSim::Cabrillo) as Style writes it.
inline std::string Styled(const std::string& Cabrillo, const TFileStyle& Style) {
    std::string Text;
    std::size_t Start = 0;
    for (std::size_t End; (End = Cabrillo.find('\n', Start)) != std::string::npos;
         Start = End + 1) {
        std::string Line = Cabrillo.substr(Start, End - Start);
        std::vector<std::string> Words;
        for (std::size_t At = 0, Next; At < Line.size(); At = Next) {
            Next = std::min(Line.find(' ', At), Line.size());
            if (Next > At) Words.push_back(Line.substr(At, Next - At));
            Next += Next < Line.size();
        }
        const auto Small = [](std::string& Word) {
            for (char& C : Word)
                C = static_cast<char>(C >= 'A' && C <= 'Z' ? C - 'A' + 'a' : C);
        };
        if (Words.size() > 8 && (Words[0] == "QSO:" || Words[0] == "X-QSO:")) {
            if (Style.SmallCalls) {
                Small(Words[5]);
                Small(Words[8]);
            }
            if (Style.Points) Words.push_back("3");
            Line = Words[0] + (Style.OddBlanks ? "\xA0" : " ");
            for (std::size_t I = 1; I < Words.size(); ++I)
                Line += Words[I] + (I + 1 == Words.size() ? "" : Style.OddBlanks ? "\t" : " ");
        } else if (Style.SmallCalls && Words.size() == 2 && Words[0] == "CALLSIGN:") {
            Small(Words[1]);
            Line = Words[0] + " " + Words[1];
        }
        Text += Line + (Style.CrLf ? "\r\n" : "\n");
    }
    if (Style.Encoding == TFileStyle::Plain) return Text;
    std::string Bytes;
    const bool Utf16 = Style.Encoding != TFileStyle::Utf8Mark;
    const bool Little = Style.Encoding == TFileStyle::Utf16Little;
    Bytes = Utf16 ? (Little ? "\xFF\xFE" : "\xFE\xFF") : "\xEF\xBB\xBF";
    for (const char C : Text) {
        const auto Code = static_cast<unsigned char>(C);
        if (Utf16)
            Bytes += Little ? std::string{C, '\0'} : std::string{'\0', C};
        else if (Code < 0x80)
            Bytes += C;
        else
            Bytes += {static_cast<char>(0xC0 | Code >> 6), static_cast<char>(0x80 | (Code & 0x3F))};
    }
    return Bytes;
}

} // namespace brevlund::test
