#include "HostRecords.h"

#include <cstring>

namespace brevlund {

void TShortString::Store(std::string_view Value) {
    Value = ShortText(Value);
    Length = static_cast<std::uint8_t>(Value.size());
    if (!Value.empty()) std::memcpy(Chars, Value.data(), Value.size());
}

namespace {

void WriteShort(unsigned char* Field, std::string_view Text) {
    Field[0] = static_cast<unsigned char>(Text.size());
    std::memcpy(Field + 1, Text.data(), Text.size());
}

void WriteOne(unsigned char* Field) {
    const std::uint32_t One = 1; // little-endian like the host
    std::memcpy(Field, &One, sizeof One);
}

QsoContext TheContextCopy{};

} // namespace

void WritePluginInfo(unsigned char* Info) {
    WriteOne(Info + 256);
    WriteShort(Info, PluginName);
    WriteShort(Info + 260, PluginId);
    WriteOne(Info + 516);
}

QsoContext& ContextCopy() {
    return TheContextCopy;
}

void CopyInContext(const void* HostRecord) {
    std::memcpy(&TheContextCopy, HostRecord, sizeof TheContextCopy);
}

} // namespace brevlund
