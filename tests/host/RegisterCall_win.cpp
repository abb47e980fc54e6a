// The register-convention call of the test host: a thunk in assembly that
// loads EAX, EDX and ECX, fills EBX, ESI, EDI and EBP with marks the callee
// must keep, calls, and records what came back before anything else runs.
#include "RegisterCall.h"

#if defined(__i386__)

namespace {

// One call at a time: the test host calls the plug-in from its main thread.
struct TFrame {
    void* Target;            // 0
    std::uint32_t Eax;       // 4
    std::uint32_t Edx;       // 8
    std::uint32_t Ecx;       // 12
    void* Decoy;             // 16
    std::uint32_t Result;    // 20
    std::uint32_t Ebx;       // 24
    std::uint32_t Esi;       // 28
    std::uint32_t Edi;       // 32
    std::uint32_t Ebp;       // 36
    std::uint32_t EspBefore; // 40
    std::uint32_t EspAfter;  // 44
    std::uint32_t EspCaller; // 48
};
static_assert(sizeof(TFrame) == 52, "the thunk addresses the frame by these offsets");

constexpr std::uint32_t MarkEbx = 0x1B1B1B1B, MarkEsi = 0x5151A5A5, MarkEdi = 0xD1D10D0D,
                        MarkEbp = 0xB9B99B9B;

} // namespace

extern "C" {
// The thunk's only state; the thunk addresses it by its assembler name.
TFrame BrevlundRegisterFrame;
void BrevlundCallInRegisters();
}

// Keeps the caller's EBX, ESI, EDI and EBP on its own stack, puts four decoy
// pointers where stack arguments would be, and restores the caller's stack
// from the frame afterwards, whatever the callee did to ESP.
asm(R"(
    .text
    .globl _BrevlundCallInRegisters
_BrevlundCallInRegisters:
    pushl %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl %esp, _BrevlundRegisterFrame+48
    movl _BrevlundRegisterFrame+16, %eax
    pushl %eax
    pushl %eax
    pushl %eax
    pushl %eax
    movl %esp, _BrevlundRegisterFrame+40
    movl $0x1B1B1B1B, %ebx
    movl $0x5151A5A5, %esi
    movl $0xD1D10D0D, %edi
    movl $0xB9B99B9B, %ebp
    movl _BrevlundRegisterFrame+4, %eax
    movl _BrevlundRegisterFrame+8, %edx
    movl _BrevlundRegisterFrame+12, %ecx
    call *_BrevlundRegisterFrame
    movl %eax, _BrevlundRegisterFrame+20
    movl %ebx, _BrevlundRegisterFrame+24
    movl %esi, _BrevlundRegisterFrame+28
    movl %edi, _BrevlundRegisterFrame+32
    movl %ebp, _BrevlundRegisterFrame+36
    movl %esp, _BrevlundRegisterFrame+44
    movl _BrevlundRegisterFrame+48, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace brevlund::host {

bool CallInRegisters(TRegisterCall& Call) {
    TFrame& Frame = BrevlundRegisterFrame;
    Frame = TFrame{};
    Frame.Target = Call.Target;
    Frame.Eax = Call.Eax;
    Frame.Edx = Call.Edx;
    Frame.Ecx = Call.Ecx;
    Frame.Decoy = Call.Decoy;
    BrevlundCallInRegisters();
    Call.Result = Frame.Result;
    Call.EbxKept = Frame.Ebx == MarkEbx;
    Call.EsiKept = Frame.Esi == MarkEsi;
    Call.EdiKept = Frame.Edi == MarkEdi;
    Call.EbpKept = Frame.Ebp == MarkEbp;
    Call.StackMoved = static_cast<std::int32_t>(Frame.EspAfter - Frame.EspBefore);
    return true;
}

} // namespace brevlund::host

#else

namespace brevlund::host {

bool CallInRegisters(TRegisterCall&) {
    return false;
}

} // namespace brevlund::host

#endif
