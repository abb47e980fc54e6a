// Whatever bytes the host hands over, scoring and printing neither crash nor
// disagree with themselves.
#include "engine/Scoring.h"
#include "engine/Summary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace brevlund {
namespace {

TEST(Robustness, AnyBytesInTheContext) {
    std::mt19937 Random(5916);
    QsoContext Context{};
    TTally Tally(Context);
    Tally.AreaList.SetLines({"AB=AB", "\xff\xfe=\xff\xfe", "=", "ab=AB"});
    unsigned char* Bytes = reinterpret_cast<unsigned char*>(&Context);
    for (int Round = 0; Round < 3000; ++Round) {
        for (std::size_t I = 0; I < sizeof Context; ++I)
            Bytes[I] = static_cast<unsigned char>(Random());
        if (Round % 3 == 0) {
            // Short texts from a small alphabet make duplicates and areas likely.
            for (TShortString* Field : {&Context.CallSign, &Context.DigiBand, &Context.QSOMode,
                                        &Context.QSOReportRecived}) {
                Field->Length = static_cast<std::uint8_t>(Random() % 4);
                for (int I = 0; I < Field->Length; ++I)
                    Field->Chars[I] = "AB7 "[Random() % 4];
            }
        } else if (Round % 3 == 1) {
            for (TShortString* Field : {&Context.CallSign, &Context.DigiBand, &Context.QSOMode,
                                        &Context.QSOReportRecived})
                Field->Length = 255;
        }
        const std::int32_t Asked = Tally.ScoreQSO(false);
        ASSERT_GE(Asked, -1);
        ASSERT_LE(Asked, 2);
        ASSERT_EQ(Tally.ScoreQSO(true), Asked);
        ASSERT_EQ(Tally.ScoreQSO(true), -1) << "a recorded QSO repeats as a duplicate";
    }
    const std::string Text = SummaryText(Tally.BandStats);
    EXPECT_EQ(Text.rfind("Band\t", 0), 0u);
    EXPECT_NE(Text.find(" Score: "), std::string::npos);
    std::int64_t QSOs = 0;
    for (const TStatistic& S : Tally.BandStats)
        QSOs += S.QSOs;
    EXPECT_EQ(static_cast<std::size_t>(QSOs), Tally.WorkedQSOs.Count());
}

} // namespace
} // namespace brevlund
