// The made-up logs the benchmarks time: one big Cabrillo log of random calls,
// and a simulated contest of many logs with its area list, written the same
// way by bench/commands.sh (through benchtool) and by the Google Benchmark
// programs.
#pragma once

#include "cli/CheckLogsSim.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace brevlund::bench {

// Count QSOs of random calls, in random call order, over two days; 0 when written.
inline int WriteCabrillo(long Count, const char* Path) {
    std::mt19937 Random(static_cast<unsigned>(Count));
    static const char* const KHz[] = {"1830",  "3520",  "7010",  "10110", "14025",
                                      "18080", "21030", "24900", "28020"};
    std::FILE* File = std::fopen(Path, "wb");
    if (!File) {
        std::perror(Path);
        return 1;
    }
    std::fputs("START-OF-LOG: 3.0\nCALLSIGN: SM0XYZ\nCONTEST: BREVLUND-DX\n", File);
    for (long I = 0; I < Count; ++I) {
        char Call[7] = "XX0XXX";
        for (int C = 0; C < 6; ++C)
            if (C != 2) Call[C] = static_cast<char>('A' + Random() % 26);
        Call[2] = static_cast<char>('0' + Random() % 10);
        const int Minute = static_cast<int>(I / 20 % 2880);
        // One draw a statement, so that the same seed always writes the same file.
        const char* Freq = KHz[Random() % 9];
        const char* Mode = Random() % 2 ? "CW" : "PH";
        const char Sent0 = static_cast<char>('A' + Random() % 26);
        const char Sent1 = static_cast<char>('A' + Random() % 26);
        const char Got0 = static_cast<char>('A' + Random() % 26);
        const char Got1 = static_cast<char>('A' + Random() % 26);
        std::fprintf(File, "QSO: %s %s 2026-03-%02d %02d%02d SM0XYZ 599 %c%c %s 599 %c%c\n", Freq,
                     Mode, 7 + Minute / 1440, Minute % 1440 / 60, Minute % 60, Sent0, Sent1, Call,
                     Got0, Got1);
    }
    std::fputs("END-OF-LOG:\n", File);
    return std::fclose(File) == 0 ? 0 : 1;
}

// A contest of Lines QSO lines in Cabrillo logs of about 500 lines a station
// (200 in the smallest, which would run out of distinct QSOs otherwise), and
// the area list of the areas the stations send; 0 when written. With
// Definition, the contest exchanges serial numbers and allows a station again
// after 30 minutes: a fifth of the QSOs are made again, and Definition gets
// the contest's definition for check-logs --contest.
inline int WriteContest(int Lines, const std::string& Folder, const std::string& Definition = {}) {
    const int Stations = std::max(50, Lines / 500);
    const bool Repeats = !Definition.empty();
    brevlund::test::TContestSim Sim(11, Stations, Repeats ? Lines * 5 / 12 : Lines / 2);
    if (Repeats) {
        const std::size_t First = Sim.Qsos.size();
        for (std::size_t I = 0; I < First; ++I) {
            brevlund::test::TSimQso Again = Sim.Qsos[I];
            Again.Minute += 32 + Sim.Pick(58);
            if (Sim.Pick(5) == 0 && Again.Minute < brevlund::test::TContestSim::ContestMinutes)
                Sim.Qsos.push_back(Again);
        }
        Sim.NumberSerials();
        std::ofstream Contest(Definition, std::ios::binary);
        Contest << R"({"contest": "SERIALS-AND-REPEATS",
 "sent": [{"name": "rst", "kind": "rst"}, {"name": "serial", "kind": "number"}],
 "received": [{"name": "rst", "kind": "rst"}, {"name": "serial", "kind": "number"}],
 "compare": ["serial"],
 "repeat_after_minutes": 30}
)";
        if (!Contest) return 1;
    }
    for (const brevlund::test::TSimQso& Q : Sim.Qsos)
        Sim.WriteBoth(Q);
    Sim.Finish();
    for (int S = 0; S < Stations; ++S) {
        std::ofstream Log(Folder + "/" + Sim.Stations[S].Call + ".log", std::ios::binary);
        if (!(Log << Sim.Cabrillo(S))) return 1;
    }
    // check-logs finds the area list in the folder; these are the areas the
    // simulated stations send.
    std::ofstream Areas(Folder + "/brevlund.dom", std::ios::binary);
    for (const char* Area : {"AN", "BO", "CE", "DA", "EL", "FI", "GR", "HA"})
        Areas << Area << "=" << Area << "\n";
    return Areas ? 0 : 1;
}

} // namespace brevlund::bench
