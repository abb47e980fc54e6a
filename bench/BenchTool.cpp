// The helper of bench/commands.sh, which times brevlund as users run it:
//
//   benchtool cabrillo QSOS FILE   a made-up Cabrillo log of QSOS random calls,
//                                  shaped as LogScoreBench's
//   benchtool contest LINES FOLDER [DEFINITION]
//                                  a simulated contest of LINES QSO lines in
//                                  Cabrillo logs, with its area list beside them,
//                                  as CheckLogsBench writes it; with DEFINITION,
//                                  of serial numbers and repeats after 30
//                                  minutes, its definition written there
//   benchtool measure COMMAND...   runs COMMAND, its output to /dev/null, and
//                                  prints its wall seconds and peak RSS in KiB;
//                                  exits as COMMAND did
#include "MadeUpLogs.h"

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
    if (Mode == "cabrillo" && Argc == 4)
        return brevlund::bench::WriteCabrillo(std::atol(Argv[2]), Argv[3]);
    if (Mode == "contest" && (Argc == 4 || Argc == 5))
        return brevlund::bench::WriteContest(std::atoi(Argv[2]), Argv[3], Argc == 5 ? Argv[4] : "");
    if (Mode == "measure" && Argc > 2) return Measure(Argv + 2);
    std::fprintf(stderr,
                 "usage: benchtool cabrillo QSOS FILE | contest LINES FOLDER [DEFINITION] | "
                 "measure COMMAND...\n");
    return 2;
}
