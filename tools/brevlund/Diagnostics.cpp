#include "Diagnostics.h"

#include <ostream>

namespace brevlund::cli {

int Failure(std::ostream& Err, const std::string& Message) {
    Err << "brevlund: " << Message << "\n";
    return 2;
}

int UsageFailure(std::ostream& Err, const std::string& Message) {
    Err << "brevlund: " << Message << "\n"
        << "run \"brevlund --help\" or \"brevlund COMMAND --help\" for the options\n";
    return 2;
}

void PrintProblems(std::ostream& Err, const std::string& File, const logformats::TLogRead& Read) {
    for (const logformats::TLogProblem& P : Read.Problems)
        Err << File << ":" << P.Line << ": " << P.Message << "\n";
    for (const logformats::TLogProblem& W : Read.Warnings)
        Err << File << ":" << W.Line << ": warning: " << W.Message << "\n";
}

} // namespace brevlund::cli
