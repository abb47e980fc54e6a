#include "EntryCheck.h"

#include "ReportData.h"

#include "engine/Text.h"

#include <algorithm>

namespace brevlund::cli {

using logformats::TCategoryPart;
using logformats::THeaderValue;

namespace {

// A category part every entry must state: what the ranking goes by.
constexpr TCategoryPart RequiredParts[] = {TCategoryPart::Operator, TCategoryPart::Band,
                                           TCategoryPart::Mode, TCategoryPart::Power};

class TFindings {
public:
    void Add(std::size_t Line, std::string Message, std::optional<TEntryFlag> Flag = std::nullopt) {
        List.push_back({Line == 0 ? 1 : Line, std::move(Message), Flag});
    }
    std::vector<TEntryFinding> Sorted() && {
        std::stable_sort(
            List.begin(), List.end(),
            [](const TEntryFinding& A, const TEntryFinding& B) { return A.Line < B.Line; });
        return std::move(List);
    }

private:
    std::vector<TEntryFinding> List;
};

// "\"A\"" or "\"A\", \"B\" or \"C\"".
std::string NamesText(const std::vector<std::string>& Names) {
    std::string Text;
    for (std::size_t I = 0; I < Names.size(); ++I)
        Text += (I == 0 ? "" : I + 1 == Names.size() ? " or " : ", ") + ("\"" + Names[I] + "\"");
    return Text;
}

void CheckTags(const TEntryCheckInput& In, TFindings& Found) {
    const logformats::TEntryHeader& H = In.Header;
    if (In.Read.Header.empty()) {
        // An ADIF log among Cabrillo ones, say: one finding, not one a tag.
        Found.Add(1, "no Cabrillo header: the log declares no call, contest or category",
                  TEntryFlag::MissingHeader);
        return;
    }
    if (!H.StartOfLog.Given())
        Found.Add(1, "no START-OF-LOG: line; a Cabrillo log begins with \"START-OF-LOG: 3.0\"");
    else if (H.StartOfLog.Value != "3.0")
        Found.Add(H.StartOfLog.Line,
                  "START-OF-LOG: \"" + H.StartOfLog.Value + "\": a Cabrillo 3 log says \"3.0\"");
    if (!H.EndOfLog.Given()) Found.Add(1, "no END-OF-LOG: line; the log may have been cut short");
    if (!H.Call.Given() || H.Call.Value.empty())
        Found.Add(H.Call.Line, "no CALLSIGN: the station that sent the log is not named",
                  TEntryFlag::MissingHeader);
    if (!H.Contest.Given() || Trim(H.Contest.Value).empty())
        Found.Add(H.Contest.Line, "no CONTEST: the contest the log is for is not named");
    else if (!In.ContestNames.empty() &&
             std::none_of(In.ContestNames.begin(), In.ContestNames.end(),
                          [&](const std::string& Name) {
                              return SameTextAscii(Trim(H.Contest.Value), Name);
                          }))
        Found.Add(H.Contest.Line, "CONTEST: \"" + H.Contest.Value + "\" is not " +
                                      NamesText(In.ContestNames) + ", the contest checked against");
    if (H.CategoryLine)
        Found.Add(H.OldCategory.Line,
                  "CATEGORY: is Cabrillo 2's; Cabrillo 3 writes CATEGORY-OPERATOR:, "
                  "CATEGORY-BAND:, CATEGORY-MODE: and CATEGORY-POWER:");
    for (TCategoryPart Part : RequiredParts)
        if (!H.Part(Part).Given() || H.Part(Part).Value.empty())
            Found.Add(1,
                      "no CATEGORY-" + std::string(logformats::CategoryPartName(Part)) + ": (" +
                          logformats::CategoryValuesText(Part) + ")",
                      TEntryFlag::MissingHeader);
    for (const logformats::THeaderNote& Note : In.HeaderNotes)
        Found.Add(Note.Line, Note.Message);
}

void CheckClaimedScore(const TEntryCheckInput& In, TFindings& Found) {
    const THeaderValue& Claimed = In.Header.ClaimedScore;
    if (!Claimed.Given() || !In.ComputedScore) return;
    const std::optional<std::int64_t> Value = In.Header.ClaimedScoreValue();
    if (!Value)
        Found.Add(Claimed.Line, "CLAIMED-SCORE: \"" + Claimed.Value + "\" is no whole number",
                  TEntryFlag::ClaimedScore);
    else if (*Value != *In.ComputedScore)
        Found.Add(Claimed.Line,
                  "CLAIMED-SCORE: " + std::to_string(*Value) + ", but the log's QSOs score " +
                      std::to_string(*In.ComputedScore),
                  TEntryFlag::ClaimedScore);
}

void CheckQsos(const TEntryCheckInput& In, TFindings& Found) {
    const std::optional<std::string> Band = In.Header.SingleBand();
    for (const logformats::TLogQSO& Qso : In.Read.QSOs) {
        if (In.Period)
            if (const std::optional<std::int64_t> At = logformats::MinuteOf(Qso);
                At && (*At < In.Period->Start || *At > In.Period->End))
                Found.Add(Qso.Line,
                          "QSO with " + Qso.Call + " at " + TimeText(*At) +
                              " lies outside the contest period, " + TimeText(In.Period->Start) +
                              " to " + TimeText(In.Period->End),
                          TEntryFlag::OutOfPeriod);
        if (Band && Qso.Band != *Band)
            Found.Add(Qso.Line,
                      "QSO with " + Qso.Call + " on band " + Qso.Band +
                          " in a single-band entry (" + In.Header.Part(TCategoryPart::Band).Value +
                          ")",
                      TEntryFlag::SingleBand);
    }
}

} // namespace

std::string_view EntryFlagName(TEntryFlag Flag) {
    switch (Flag) {
    case TEntryFlag::ClaimedScore:
        return "claimed-score";
    case TEntryFlag::SingleBand:
        return "single-band";
    case TEntryFlag::OutOfPeriod:
        return "out-of-period";
    case TEntryFlag::MissingHeader:
        return "missing-header";
    }
    return "";
}

std::vector<TEntryFinding> CheckEntry(const TEntryCheckInput& Input) {
    TFindings Found;
    CheckTags(Input, Found);
    CheckClaimedScore(Input, Found);
    CheckQsos(Input, Found);
    return std::move(Found).Sorted();
}

std::vector<TEntryFinding> CheckReadEntry(const logformats::TLogRead& Read,
                                          const logformats::TEntryHeader& Header,
                                          std::vector<logformats::THeaderNote> Notes,
                                          std::optional<std::int64_t> ComputedScore,
                                          const TContest* Contest) {
    TEntryCheckInput Input{Read, Header, std::move(Notes), ComputedScore, std::nullopt, {}};
    if (Contest) {
        Input.Period = Contest->Period;
        Input.ContestNames = Contest->CabrilloNames;
        if (Input.ContestNames.empty()) Input.ContestNames.push_back(Contest->Name);
    }
    return CheckEntry(Input);
}

std::vector<TEntryFinding> CheckLogEntry(const TLogJob& Job, const TContest* Contest) {
    if (Job.Format != TLogFormat::Cabrillo)
        return {{1, "not a Cabrillo log: sponsors ask for Cabrillo 3, whose header this checks",
                 std::nullopt}};
    std::vector<logformats::THeaderNote> Notes;
    const logformats::TEntryHeader Header = logformats::ReadEntryHeader(Job.Read, &Notes);
    std::optional<std::int64_t> Computed;
    if (!Job.NoAreaList) Computed = Job.Scored->Totals().Score();
    return CheckReadEntry(Job.Read, Header, std::move(Notes), Computed, Contest);
}

std::vector<TEntryFlag> FlagsOf(const std::vector<TEntryFinding>& Findings) {
    std::vector<TEntryFlag> Flags;
    for (TEntryFlag Flag : {TEntryFlag::ClaimedScore, TEntryFlag::SingleBand,
                            TEntryFlag::OutOfPeriod, TEntryFlag::MissingHeader})
        if (std::any_of(Findings.begin(), Findings.end(),
                        [&](const TEntryFinding& F) { return F.Flag == Flag; }))
            Flags.push_back(Flag);
    return Flags;
}

} // namespace brevlund::cli
