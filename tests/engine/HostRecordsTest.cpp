#include "engine/HostRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace brevlund {
namespace {

TEST(ShortString, StoreCutsAt255AndLeavesTheRestOfTheField) {
    struct Case {
        std::string Text;
        std::uint8_t Length;
    };
    const Case Cases[] = {
        {"", 0}, {"SM5AAA", 6}, {std::string(255, 'x'), 255}, {std::string(300, 'y'), 255}};
    for (const Case& C : Cases) {
        TShortString Field;
        std::memset(&Field, 0xEE, sizeof Field);
        Field.Store(C.Text);
        EXPECT_EQ(Field.Length, C.Length) << C.Text.size();
        EXPECT_EQ(Field.Text(), std::string_view(C.Text).substr(0, C.Length));
        for (std::size_t I = C.Length; I < sizeof Field.Chars; ++I)
            ASSERT_EQ(static_cast<unsigned char>(Field.Chars[I]), 0xEE) << "byte " << I;
    }
}

TEST(ShortString, ReadTakesExactlyTheLengthByte) {
    TShortString Field;
    std::memset(Field.Chars, 'Z', sizeof Field.Chars);
    Field.Length = 0;
    EXPECT_EQ(Field.Text(), "");
    Field.Length = 3;
    EXPECT_EQ(Field.Text(), "ZZZ");
    Field.Length = 255;
    EXPECT_EQ(Field.Text().size(), 255u);
}

TEST(PluginInfo, WritesExactlyFortyThreeBytes) {
    std::vector<unsigned char> Info(600, 0xAB);
    WritePluginInfo(Info.data());

    std::vector<unsigned char> Expected(600, 0xAB);
    Expected[0] = 19;
    std::memcpy(&Expected[1], "Brevlund DX Contest", 19);
    Expected[256] = 1, Expected[257] = Expected[258] = Expected[259] = 0;
    Expected[260] = 14;
    std::memcpy(&Expected[261], "qx7kbn_contest", 14);
    Expected[516] = 1, Expected[517] = Expected[518] = Expected[519] = 0;
    EXPECT_EQ(Info, Expected);

    int Changed = 0;
    for (unsigned char B : Info)
        Changed += B != 0xAB;
    EXPECT_EQ(Changed, 43); // none of the written bytes happens to be 0xAB
}

TEST(NumberBuffer, EmptyNumberWritesOneZeroByte) {
    unsigned char Buffer[256];
    std::memset(Buffer, 0x55, sizeof Buffer);
    WriteNumber(Buffer, "");
    EXPECT_EQ(Buffer[0], 0);
    for (std::size_t I = 1; I < sizeof Buffer; ++I)
        ASSERT_EQ(Buffer[I], 0x55);
}

TEST(ContextCopy, CopyInReplacesEveryByte) {
    std::vector<unsigned char> Host(sizeof(QsoContext));
    for (std::size_t I = 0; I < Host.size(); ++I)
        Host[I] = static_cast<unsigned char>(I * 7);
    CopyInContext(Host.data());
    EXPECT_EQ(std::memcmp(&ContextCopy(), Host.data(), Host.size()), 0);
    EXPECT_EQ(ContextCopy().CallSign.Length, Host[268]);
    EXPECT_EQ(ContextCopy().CaptionTitle.Length, Host[3868]);
}

} // namespace
} // namespace brevlund
