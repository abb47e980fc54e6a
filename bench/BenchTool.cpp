// The helper of bench/commands.sh, which times brevlund as users run it:
//
//   benchtool cabrillo QSOS FILE   a made-up Cabrillo log of QSOS random calls,
//                                  shaped as LogScoreBench's
//   benchtool contest LINES FOLDER a simulated contest of LINES QSO lines in
//                                  Cabrillo logs, with its area list beside them,
//                                  as CheckLogsBench writes it
//   benchtool measure COMMAND...   runs COMMAND, its output to /dev/null, and
//                                  prints its wall seconds and peak RSS in KiB;
//                                  exits as COMMAND did
#include "cli/CheckLogsSim.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

int WriteCabrillo(long Count, const char* Path) {
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

int WriteContest(int Lines, const std::string& Folder) {
    // About 500 lines a station, as CheckLogsBench's contests.
    const int Stations = std::max(50, Lines / 500);
    brevlund::test::TContestSim Sim(11, Stations, Lines / 2);
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

int Measure(char** Command) {
    using TClock = std::chrono::steady_clock;
    const auto Start = TClock::now();
    const pid_t Child = fork();
    if (Child < 0) {
        std::perror("fork");
        return 1;
    }
    if (Child == 0) {
        const int Null = open("/dev/null", O_WRONLY);
        dup2(Null, STDOUT_FILENO);
        execvp(Command[0], Command);
        std::perror(Command[0]);
        _exit(127);
    }
    int Status = 0;
    rusage Usage{};
    wait4(Child, &Status, 0, &Usage);
    const double Seconds = std::chrono::duration<double>(TClock::now() - Start).count();
    std::printf("%.4f %ld\n", Seconds, Usage.ru_maxrss);
    if (WIFSIGNALED(Status)) return 128 + WTERMSIG(Status);
    return WEXITSTATUS(Status);
}

} // namespace

int main(int Argc, char** Argv) {
    const std::string Mode = Argc > 1 ? Argv[1] : "";
    if (Mode == "cabrillo" && Argc == 4) return WriteCabrillo(std::atol(Argv[2]), Argv[3]);
    if (Mode == "contest" && Argc == 4) return WriteContest(std::atoi(Argv[2]), Argv[3]);
    if (Mode == "measure" && Argc > 2) return Measure(Argv + 2);
    std::fprintf(stderr, "usage: benchtool cabrillo QSOS FILE | contest LINES FOLDER | "
                         "measure COMMAND...\n");
    return 2;
}
