// How every brevlund command tells the user what went wrong: one failure
// message and exit code, one guard, one way to list a log's problems.
#pragma once

#include "logformats/LogRecord.h"

#include <exception>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <utility>

namespace brevlund::cli {

// A command ends with nothing done: "brevlund: MESSAGE" and exit 2. Thrown by
// any step of any command; Guarded turns it into the message.
class TNothingDone : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A log refused whole, before or in its reading (cannot be read, no log, no
// QSO): what() names the file; Reason says the same without it, for the rows
// of check-logs; Call is the log's own call when the file named one.
class TLogRefused : public TNothingDone {
public:
    TLogRefused(const std::string& Message, std::string Reason, std::string Call = {})
        : TNothingDone(Message), Why(std::move(Reason)), OwnCall(std::move(Call)) {}
    const std::string& Reason() const { return Why; }
    const std::string& Call() const { return OwnCall; }

private:
    std::string Why, OwnCall;
};

// The command line asks for something the tool cannot do: the message, where
// help is, exit 2.
class TUsageError : public TNothingDone {
public:
    using TNothingDone::TNothingDone;
};

// "brevlund: MESSAGE" on Err, and exit code 2: nothing was done.
int Failure(std::ostream& Err, const std::string& Message);
// The same with where help is.
int UsageFailure(std::ostream& Err, const std::string& Message);

// Runs a command so that nothing escapes it: TNothingDone or any unexpected
// failure is exit 2 with its text, a usage error with where help is.
template <typename TCommand> int Guarded(std::ostream& Err, TCommand&& Run) {
    try {
        return Run();
    } catch (const TUsageError& E) {
        return UsageFailure(Err, E.what());
    } catch (const std::exception& E) {
        return Failure(Err, E.what());
    } catch (...) {
        return Failure(Err, "unexpected failure");
    }
}

// Every line of the log that could not be read as "FILE:LINE: what", then
// every warning as "FILE:LINE: warning: what".
void PrintProblems(std::ostream& Err, const std::string& File, const logformats::TLogRead& Read);

} // namespace brevlund::cli
