// Fault injection at the seams: a plan that lets the N-th operation of a seam
// fail, counted from when it is armed, and remembers what ran before it.
#pragma once

#include <string>
#include <vector>

namespace brevlund::test {

class TFaultPlan {
public:
    // From now on, the N-th operation fails; 0 lets every operation through.
    void Arm(int N) {
        FailAt = N;
        Count = 0;
        Done.clear();
        Failure.clear();
    }

    // Called by the seam before each operation; throws TError at the planned one.
    template <class TError> void Step(const std::string& What) {
        ++Count;
        if (Count == FailAt) {
            Failure = "operation " + std::to_string(Count) + " failed: " + What;
            throw TError(Failure);
        }
        Done.push_back(What);
    }

    int Operations() const { return Count; }
    // The operations that ran, in order, the failed one not among them.
    const std::vector<std::string>& Succeeded() const { return Done; }
    // The text of the failure raised, or empty.
    const std::string& FailureText() const { return Failure; }

private:
    int FailAt = 0;
    int Count = 0;
    std::vector<std::string> Done;
    std::string Failure;
};

} // namespace brevlund::test
