// The byte records the host hands across the plug-in boundary, and the plug-in's
// one process-wide copy of the current QSO. The layouts are the host's: every
// field sits at a fixed offset, checked below at compile time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brevlund {

// The most characters a short string holds.
constexpr std::size_t ShortStringMax = 255;

// A text as a short string keeps it: cut at ShortStringMax characters. Every
// text the engine scores goes through this cut, from the host or from a file.
inline std::string_view ShortText(std::string_view Text) {
    return Text.substr(0, ShortStringMax);
}

// A length byte followed by up to 255 single-byte characters. Bytes past the
// length are not part of the value and are never touched by a store.
struct TShortString {
    std::uint8_t Length;
    char Chars[ShortStringMax];

    std::string_view Text() const { return {Chars, Length}; }
    // Cuts at 255 characters; leaves the bytes past the new length as they were.
    void Store(std::string_view Value);
};
static_assert(sizeof(TShortString) == 256);

#pragma pack(push, 1)
struct QsoContext {
    std::uint32_t LogConnection; // the host's database connection, never owned
    std::uint8_t HostReserved4[8];
    TShortString LogTable;
    TShortString CallSign;
    std::uint8_t HostReserved524[16];
    TShortString DigiBand;
    TShortString QSOMode;
    TShortString Continent;
    TShortString QSOReportRecived;
    std::uint8_t HostReserved1564[768];
    TShortString MainPrefix;
    TShortString DXCCPrefix;
    std::uint8_t HostReserved2844[1024];
    TShortString CaptionTitle;
    std::uint8_t HostReserved4124[1792];
};
#pragma pack(pop)

static_assert(sizeof(QsoContext) == 5916);
static_assert(offsetof(QsoContext, LogConnection) == 0);
static_assert(offsetof(QsoContext, LogTable) == 12);
static_assert(offsetof(QsoContext, CallSign) == 268);
static_assert(offsetof(QsoContext, DigiBand) == 540);
static_assert(offsetof(QsoContext, QSOMode) == 796);
static_assert(offsetof(QsoContext, Continent) == 1052);
static_assert(offsetof(QsoContext, QSOReportRecived) == 1308);
static_assert(offsetof(QsoContext, MainPrefix) == 2332);
static_assert(offsetof(QsoContext, DXCCPrefix) == 2588);
static_assert(offsetof(QsoContext, CaptionTitle) == 3868);

// PluginInfo is at least 520 bytes and belongs to the host; only 43 of them are ours.
constexpr std::size_t PluginInfoSize = 520;
constexpr std::string_view PluginName = "Brevlund DX Contest";
constexpr std::string_view PluginId = "qx7kbn_contest";

// Writes exactly the length bytes, the texts and the two 32-bit ones; nothing else.
void WritePluginInfo(unsigned char* Info);

// The number buffer of _GrabNumber is one short string.
inline void WriteNumber(unsigned char* Buffer, std::string_view Number) {
    reinterpret_cast<TShortString*>(Buffer)->Store(Number);
}

// The one context copy of the process: all zero at load, replaced whole at each
// copy in, written field by field by the log rescan.
QsoContext& ContextCopy();
void CopyInContext(const void* HostRecord);

} // namespace brevlund
