// The records that cross the plug-in boundary, over any bytes: a short string
// read gives exactly its length byte's worth of its own characters; a store cuts
// at 255, writes the length and the characters and not one byte more; the
// plug-in's name record touches only its own 43 bytes of the host's 520.
#include "FuzzCheck.h"

#include "engine/HostRecords.h"

#include <cstddef>
#include <cstring>
#include <string_view>

namespace {

using namespace brevlund;

// Fills Out from Data, over and over; zeros when there is no data.
void Fill(unsigned char* Out, std::size_t Size, const std::uint8_t* Data, std::size_t Given) {
    for (std::size_t I = 0; I < Size; ++I)
        Out[I] = Given ? Data[I % Given] : 0;
}

// A short string between two guards, which no store may touch.
struct TFramed {
    unsigned char Before[32];
    TShortString Field;
    unsigned char After[32];
};

void CheckStore(TFramed& Frame, std::string_view Value) {
    const TFramed Was = Frame;
    Frame.Field.Store(Value);
    const std::size_t Kept = Value.size() < 255 ? Value.size() : 255;
    FUZZ_CHECK(Frame.Field.Length == Kept);
    FUZZ_CHECK(Frame.Field.Text() == Value.substr(0, Kept));
    FUZZ_CHECK(std::memcmp(Frame.Field.Chars + Kept, Was.Field.Chars + Kept, 255 - Kept) == 0);
    FUZZ_CHECK(std::memcmp(Frame.Before, Was.Before, sizeof Frame.Before) == 0);
    FUZZ_CHECK(std::memcmp(Frame.After, Was.After, sizeof Frame.After) == 0);
}

constexpr std::size_t FieldOffsets[] = {
    offsetof(QsoContext, LogTable),    offsetof(QsoContext, CallSign),
    offsetof(QsoContext, DigiBand),    offsetof(QsoContext, QSOMode),
    offsetof(QsoContext, Continent),   offsetof(QsoContext, QSOReportRecived),
    offsetof(QsoContext, MainPrefix),  offsetof(QsoContext, DXCCPrefix),
    offsetof(QsoContext, CaptionTitle)};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    // The first byte splits the input: what lies in memory, then the value stored.
    const std::size_t Split = Size ? Data[0] % (Size < 64 ? Size : 64) : 0;
    const std::uint8_t* Memory = Data + (Size ? 1 : 0);
    const std::size_t MemorySize = Split;
    const std::string_view Value(reinterpret_cast<const char*>(Data) + (Size ? 1 : 0) + Split,
                                 Size ? Size - 1 - Split : 0);

    // Reads: the host's record, copied in whole.
    unsigned char Record[sizeof(QsoContext)];
    Fill(Record, sizeof Record, Data, Size);
    CopyInContext(Record);
    const QsoContext& Context = ContextCopy();
    FUZZ_CHECK(std::memcmp(&Context, Record, sizeof Record) == 0);
    for (std::size_t Offset : FieldOffsets) {
        const auto& Field = *reinterpret_cast<const TShortString*>(
            reinterpret_cast<const char*>(&Context) + Offset);
        const std::string_view Text = Field.Text();
        FUZZ_CHECK(Text.size() == Record[Offset]);
        FUZZ_CHECK(Text.data() == reinterpret_cast<const char*>(&Context) + Offset + 1);
        FUZZ_CHECK(std::memcmp(Text.data(), Record + Offset + 1, Text.size()) == 0);
    }

    // Stores: a field, the number buffer, and a field of the context copy.
    TFramed Frame;
    Fill(reinterpret_cast<unsigned char*>(&Frame), sizeof Frame, Memory, MemorySize);
    CheckStore(Frame, Value);
    CheckStore(Frame, Value.substr(0, Value.size() / 2));

    TFramed Number;
    Fill(reinterpret_cast<unsigned char*>(&Number), sizeof Number, Memory, MemorySize);
    const TFramed Was = Number;
    WriteNumber(reinterpret_cast<unsigned char*>(&Number.Field), Value);
    const std::size_t Kept = Value.size() < 255 ? Value.size() : 255;
    FUZZ_CHECK(Number.Field.Text() == Value.substr(0, Kept));
    FUZZ_CHECK(std::memcmp(Number.After, Was.After, sizeof Number.After) == 0);
    FUZZ_CHECK(std::memcmp(Number.Before, Was.Before, sizeof Number.Before) == 0);

    QsoContext& Copy = ContextCopy();
    Copy.DigiBand.Store(Value);
    FUZZ_CHECK(std::memcmp(&Copy.QSOMode, Record + offsetof(QsoContext, QSOMode), 256) == 0);
    FUZZ_CHECK(std::memcmp(Copy.CallSign.Chars, Record + offsetof(QsoContext, CallSign) + 1, 255) ==
               0);

    // The name record: 520 bytes of the host's, 43 of them written.
    unsigned char Info[PluginInfoSize];
    Fill(Info, sizeof Info, Memory, MemorySize);
    unsigned char Expected[PluginInfoSize];
    std::memcpy(Expected, Info, sizeof Info);
    const std::uint32_t One = 1;
    Expected[0] = static_cast<unsigned char>(PluginName.size());
    std::memcpy(Expected + 1, PluginName.data(), PluginName.size());
    std::memcpy(Expected + 256, &One, 4);
    Expected[260] = static_cast<unsigned char>(PluginId.size());
    std::memcpy(Expected + 261, PluginId.data(), PluginId.size());
    std::memcpy(Expected + 516, &One, 4);
    WritePluginInfo(Info);
    FUZZ_CHECK(std::memcmp(Info, Expected, sizeof Info) == 0);
    return 0;
}
