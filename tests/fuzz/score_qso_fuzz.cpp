// ScoreQSO over arbitrary context bytes and sequences of calls, checked after
// every step against a plain model of the contest rules: the worked list stays
// in byte order and never holds one call, band and mode twice; Commit false
// changes nothing; the band statistics, their sums and the multiplier keys agree
// with the worked list; the summary is built from them.
#include "FuzzCheck.h"

#include "engine/Scoring.h"
#include "engine/Summary.h"
#include "engine/Text.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace brevlund;

using TKey = std::tuple<std::string, std::string, std::string>; // call, band, mode

class TView final : public TMultipliersView {
public:
    void SelectBand(std::int32_t Number) override { Selected.push_back(Number); }
    std::vector<std::int32_t> Selected;
};

char Fold(char C) {
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}

bool SameText(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (Fold(A[I]) != Fold(B[I])) return false;
    return true;
}

std::string Trimmed(std::string S) {
    while (!S.empty() && static_cast<unsigned char>(S.back()) <= 32)
        S.pop_back();
    std::size_t Start = 0;
    while (Start < S.size() && static_cast<unsigned char>(S[Start]) <= 32)
        ++Start;
    return S.substr(Start);
}

struct TModelBand {
    std::string Band;
    std::int64_t QSOs = 0, Points = 0, Multipliers = 0;
};

// The rules, written out plainly.
struct TModel {
    std::vector<std::string> AreaLines;
    std::set<TKey> Worked;
    std::vector<TModelBand> Bands;
    std::vector<std::string> Keys;

    static std::int32_t Points(const std::string& Band) {
        const std::string K = ":" + Band + ":";
        if (std::string(":1.8:3.5:7:").find(K) != std::string::npos) return 2;
        if (std::string(":14:21:28:").find(K) != std::string::npos) return 1;
        return 0;
    }

    // The area code the exchange supplies, or empty.
    std::string Area(const std::string& Exchange) const {
        std::string E = Exchange;
        for (char& C : E)
            C = Fold(C);
        E = Trimmed(E);
        if (E.size() < 2) return {};
        const std::string Code = E.substr(E.size() - 2);
        for (char C : Code)
            if (C < 'A' || C > 'Z') return {};
        for (const std::string& Line : AreaLines) {
            const std::size_t Equals = Line.find('=');
            if (Equals != std::string::npos && SameText(Line.substr(0, Equals), Code))
                return Line.substr(Equals + 1) == Code ? Code : std::string();
        }
        return {};
    }

    std::int32_t Score(const TKey& Q, const std::string& Exchange, bool Commit) {
        if (Worked.count(Q)) return -1;
        const std::string& Band = std::get<1>(Q);
        const std::int32_t P = Points(Band);
        if (!Commit) return P;
        Worked.insert(Q);
        TModelBand* Stat = nullptr;
        for (TModelBand& B : Bands)
            if (B.Band == Band) Stat = &B;
        if (!Stat) {
            Bands.push_back({Band});
            Stat = &Bands.back();
        }
        Stat->QSOs += 1;
        Stat->Points += P;
        const std::string A = Area(Exchange);
        if (!A.empty()) {
            const std::string Key = Band + "|" + A + "|";
            bool Held = false;
            for (const std::string& K : Keys)
                Held = Held || SameText(K, Key);
            if (!Held) {
                Stat->Multipliers += 1;
                Keys.push_back(Key);
            }
        }
        return P;
    }
};

std::string Pad(const std::string& S, std::size_t Width) {
    return S.size() < Width ? std::string(Width - S.size(), ' ') + S : S;
}

std::string ExpectedSummary(const TModel& Model) {
    std::int64_t Q = 0, P = 0, M = 0;
    std::string Text = "Band\t  QSOs\tPoints\t   OBL\t\r\n";
    for (const TModelBand& B : Model.Bands) {
        Text += Pad(B.Band, 4) + "\t" + Pad(std::to_string(B.QSOs), 6) + "\t" +
                Pad(std::to_string(B.Points), 6) + "\t" + Pad(std::to_string(B.Multipliers), 6) +
                "\t\r\n";
        Q += B.QSOs;
        P += B.Points;
        M += B.Multipliers;
    }
    Text += "Total\t" + Pad(std::to_string(Q), 6) + "\t" + Pad(std::to_string(P), 6) + "\t" +
            Pad(std::to_string(M), 6) + "\t\r\n";
    return Text + " Score: " + std::to_string(P) + "*" + std::to_string(M) + "=" +
           std::to_string(P * M);
}

// Everything ScoreQSO may change, for "Commit false changes nothing".
struct TSnapshot {
    std::vector<TKey> Worked;
    std::vector<std::tuple<std::string, std::int32_t, std::int32_t, std::int32_t>> Stats;
    std::vector<std::string> Keys;
    std::size_t Selections;

    TSnapshot(const TTally& Tally, const TView& View) : Keys(Tally.MultiplierKeys.Texts()) {
        for (std::size_t I = 0; I < Tally.WorkedQSOs.Count(); ++I) {
            const TQSO& Q = Tally.WorkedQSOs[I];
            Worked.emplace_back(Q.Call, Q.Band, Q.Mode);
        }
        for (const TStatistic& S : Tally.BandStats)
            Stats.emplace_back(S.Band, S.QSOs, S.Points, S.Multipliers);
        Selections = View.Selected.size();
    }
    bool operator==(const TSnapshot& O) const {
        return Worked == O.Worked && Stats == O.Stats && Keys == O.Keys &&
               Selections == O.Selections;
    }
};

void CheckTally(const TTally& Tally, const TModel& Model) {
    // The worked list: in byte order of calls, each call, band and mode once,
    // exactly the QSOs the model recorded.
    const TWorkedList& List = Tally.WorkedQSOs;
    std::set<TKey> Seen;
    for (std::size_t I = 0; I < List.Count(); ++I) {
        if (I > 0) FUZZ_CHECK(CompareQSOs(List[I - 1], List[I]) <= 0);
        FUZZ_CHECK(Seen.emplace(List[I].Call, List[I].Band, List[I].Mode).second);
    }
    FUZZ_CHECK(Seen == Model.Worked);

    // One statistic per band text, in the order of first recording, each
    // counting the worked QSOs on its band, their points and its keys.
    FUZZ_CHECK(Tally.BandStats.size() == Model.Bands.size());
    std::int64_t QSOs = 0, Multipliers = 0;
    for (std::size_t I = 0; I < Tally.BandStats.size(); ++I) {
        const TStatistic& S = Tally.BandStats[I];
        const TModelBand& B = Model.Bands[I];
        FUZZ_CHECK(S.Band == B.Band && S.QSOs == B.QSOs && S.Points == B.Points &&
                   S.Multipliers == B.Multipliers);
        std::int64_t OnBand = 0, KeysOfBand = 0;
        for (const TKey& Q : Seen)
            OnBand += std::get<1>(Q) == S.Band;
        for (const std::string& K : Tally.MultiplierKeys.Texts())
            KeysOfBand += K.size() >= 4 && K.compare(0, K.size() - 4, S.Band) == 0;
        FUZZ_CHECK(S.QSOs == OnBand);
        FUZZ_CHECK(S.Points == S.QSOs * TModel::Points(S.Band));
        FUZZ_CHECK(S.Multipliers == KeysOfBand);
        QSOs += S.QSOs;
        Multipliers += S.Multipliers;
    }
    FUZZ_CHECK(QSOs == static_cast<std::int64_t>(List.Count()));
    FUZZ_CHECK(Multipliers == static_cast<std::int64_t>(Tally.MultiplierKeys.Count()));
    FUZZ_CHECK(Tally.MultiplierKeys.Texts() == Model.Keys);
}

// Texts that make duplicates, areas and the band rules likely.
const char* const Bands[] = {"1.8", "3.5", "7",   "10",  "14",      "18", "21",
                             "24",  "28",  " 14", "14 ", "1.8:3.5", "",   "7:14"};

std::string SomeText(FuzzedDataProvider& In, std::size_t Max) {
    return In.ConsumeRandomLengthString(Max);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider In(Data, Size);
    static QsoContext Context;
    Context = QsoContext{};
    TTally Tally(Context);
    TView View;
    Tally.SetMultipliersView(&View);
    TModel Model;
    Model.AreaLines = SplitLines(In.ConsumeRandomLengthString(256));
    Tally.AreaList.SetLines(Model.AreaLines);

    // QSOs seen so far, to come back to: call, band, mode, exchange.
    std::vector<std::tuple<std::string, std::string, std::string, std::string>> History;
    for (int Step = 0; Step < 200 && In.remaining_bytes() > 0; ++Step) {
        const std::uint8_t Kind = In.ConsumeIntegral<std::uint8_t>();
        switch (Kind % 4) {
        case 0: { // any bytes over any part of the context
            const std::size_t At = In.ConsumeIntegralInRange<std::size_t>(0, sizeof Context - 1);
            const std::vector<std::uint8_t> Bytes = In.ConsumeBytes<std::uint8_t>(
                In.ConsumeIntegralInRange<std::size_t>(0, sizeof Context - At));
            if (!Bytes.empty())
                std::memcpy(reinterpret_cast<unsigned char*>(&Context) + At, Bytes.data(),
                            Bytes.size());
            break;
        }
        case 1: // a QSO of before again, or with one field changed
            if (!History.empty()) {
                const auto& [Call, Band, Mode, Exchange] =
                    History[In.ConsumeIntegralInRange<std::size_t>(0, History.size() - 1)];
                Context.CallSign.Store(Call);
                Context.DigiBand.Store(Band);
                Context.QSOMode.Store(Mode);
                Context.QSOReportRecived.Store(Exchange);
                switch (In.ConsumeIntegralInRange(0, 4)) {
                case 1:
                    Context.CallSign.Store(SomeText(In, 6));
                    break;
                case 2:
                    Context.DigiBand.Store(Bands[In.ConsumeIntegralInRange(0, 13)]);
                    break;
                case 3:
                    Context.QSOMode.Store(SomeText(In, 4));
                    break;
                case 4:
                    Context.QSOReportRecived.Store(SomeText(In, 8));
                    break;
                }
                break;
            }
            [[fallthrough]];
        default: // a QSO of short texts
            Context.CallSign.Store(SomeText(In, 6));
            Context.DigiBand.Store(Kind % 4 == 2
                                       ? std::string(Bands[In.ConsumeIntegralInRange(0, 13)])
                                       : SomeText(In, 5));
            Context.QSOMode.Store(SomeText(In, 4));
            Context.QSOReportRecived.Store(SomeText(In, 8));
            break;
        }
        const bool Commit = (Kind & 0x10) != 0;
        const std::string Call(Context.CallSign.Text()), Band(Context.DigiBand.Text()),
            Mode(Context.QSOMode.Text()), Exchange(Context.QSOReportRecived.Text());
        History.emplace_back(Call, Band, Mode, Exchange);

        const QsoContext Before = Context;
        const TSnapshot Was(Tally, View);
        const std::int32_t Expected = Model.Score({Call, Band, Mode}, Exchange, Commit);
        const std::int32_t Result = Tally.ScoreQSO(Commit);
        FUZZ_CHECK(Result == Expected);
        FUZZ_CHECK(std::memcmp(&Before, &Context, sizeof Context) == 0);
        if (!Commit || Result < 0) {
            FUZZ_CHECK(TSnapshot(Tally, View) == Was);
            continue;
        }
        // A recorded QSO moves an open multipliers window to its band.
        const int Number = BandNumber(Trim(Band));
        FUZZ_CHECK(View.Selected.size() == Was.Selections + (Number != 0));
        if (Number != 0) FUZZ_CHECK(View.Selected.back() == Number);
        // As _AddQSO does after recording.
        if (Kind & 0x20) Tally.SortWorkedQSOs();
        CheckTally(Tally, Model);
        FUZZ_CHECK(SummaryText(Tally.BandStats) == ExpectedSummary(Model));
    }
    CheckTally(Tally, Model);
    FUZZ_CHECK(SummaryText(Tally.BandStats) == ExpectedSummary(Model));
    return 0;
}
