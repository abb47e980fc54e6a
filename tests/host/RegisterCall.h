// Calls a function in the host's register convention from hand-written
// assembly, and reports what the callee left behind: the result register and
// whether the registers a callee must keep were kept. Only a 32-bit x86 build
// has the convention; RegisterCallAvailable says so.
#pragma once

#include <cstdint>

namespace brevlund::host {

struct TRegisterCall {
    void* Target = nullptr;
    // Arguments, in the order of the registers that carry them.
    std::uint32_t Eax = 0, Edx = 0, Ecx = 0;
    // What the callee finds in the stack slots where a stack-based convention
    // would look for its arguments: the address of a decoy buffer, so that a
    // callee reading them neither crashes nor touches the real arguments.
    void* Decoy = nullptr;

    // After the call.
    std::uint32_t Result = 0;
    bool EbxKept = false, EsiKept = false, EdiKept = false, EbpKept = false;
    // Bytes the callee moved the stack pointer by: 0 when it kept it.
    std::int32_t StackMoved = 0;
};

constexpr bool RegisterCallAvailable =
#if defined(__i386__)
    true;
#else
    false;
#endif

// Makes the call described by Call and fills in its results. On a build
// without the convention it does nothing and returns false.
bool CallInRegisters(TRegisterCall& Call);

} // namespace brevlund::host
