// Scores a log file the way the plug-in scores the QSOs a host hands it, and
// prints the summary the statistics window would show.
//
//   score_log HOST_EXE LOG_FILE
//
// HOST_EXE names the host program; its folder holds Plugins/brevlund.dom.
// LOG_FILE has one QSO a line: CallSign;DigiBand;QSOMode;QSOReportRecived
// ("#" starts a comment line).
#include "engine/HostRecords.h"
#include "engine/Scoring.h"
#include "engine/Summary.h"

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace brevlund;

namespace {

class TStringBox final : public TTextBox {
public:
    void SetText(const std::string& Text) override { Value = Text; }
    std::string GetText() const override { return Value; }

private:
    std::string Value;
};

std::vector<std::string> SplitFields(const std::string& Line) {
    std::vector<std::string> Fields(1);
    for (char C : Line) {
        if (C == ';')
            Fields.emplace_back();
        else if (C != '\r')
            Fields.back() += C;
    }
    return Fields;
}

} // namespace

int main(int Argc, char** Argv) {
    if (Argc != 3) {
        std::cerr << "usage: score_log HOST_EXE LOG_FILE\n";
        return 2;
    }
    std::ifstream Log(Argv[2], std::ios::binary);
    if (!Log) {
        std::cerr << "score_log: cannot read " << Argv[2] << "\n";
        return 1;
    }

    QsoContext& Context = ContextCopy();
    TTally Tally(Context);
    const std::string AreaFile = AreaListPath(Argv[1]);
    if (!Tally.AreaList.LoadFromFile(AreaFile))
        std::cerr << "score_log: no area list at " << AreaFile << ", no multipliers count\n";

    TStringBox Box;
    std::string Line;
    int LineNumber = 0;
    while (std::getline(Log, Line)) {
        ++LineNumber;
        if (Line.empty() || Line[0] == '#') continue;
        const std::vector<std::string> Fields = SplitFields(Line);
        if (Fields.size() != 4) {
            std::cerr << Argv[2] << ":" << LineNumber << ": expected 4 fields, found "
                      << Fields.size() << "\n";
            return 1;
        }
        Context.CallSign.Store(Fields[0]);
        Context.DigiBand.Store(Fields[1]);
        Context.QSOMode.Store(Fields[2]);
        Context.QSOReportRecived.Store(Fields[3]);
        const std::size_t MultipliersBefore = Tally.MultiplierKeys.Count();
        // As the host records a QSO: score, keep the list ordered, reprint.
        const std::int32_t Result = Tally.ScoreQSO(true);
        if (Result >= 0) Tally.SortWorkedQSOs();
        PrintSummary(Tally.BandStats, Box);

        std::cout << Fields[0] << " " << Fields[1] << " " << Fields[2] << " \"" << Fields[3]
                  << "\": ";
        if (Result < 0)
            std::cout << "duplicate\n";
        else
            std::cout << Result << (Result == 1 ? " point" : " points")
                      << (Tally.MultiplierKeys.Count() > MultipliersBefore ? ", new multiplier"
                                                                           : "")
                      << "\n";
    }
    std::cout << "\n" << Box.GetText() << "\n";
    return 0;
}
