#include "storage/FileStore.h"
#include "storage/FormStorage.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace brevlund {
namespace {

TEST(HostKeyPath, SoftwareAndTheHostName) {
    EXPECT_EQ(HostKeyPath("C:\\Logs\\Logger.exe"), "Software\\Logger");
    // An empty name would put the windows' sections straight under Software.
    EXPECT_THROW(HostKeyPath("C:\\Logs\\"), std::runtime_error);
    EXPECT_THROW(HostKeyPath("C:\\Logs\\.exe"), std::runtime_error);
}

TEST(FileStore, KeepsAnyNameAndTextThroughTheFile) {
    test::TTempDir Dir;
    const std::string File = Dir.Path + "/store.txt";
    const std::pair<std::string, std::string> Values[] = {
        {"NormPos(1024x768)", "10,20,384,216"},
        {"a=b:c", "x=y:z"},
        {"[Section]", "] ["},
        {";comment", "%41 and 100%"},
        {"", "the key's own value"},
        {"lines", "one\r\ntwo\n"},
        {std::string("nul\0", 4), std::string("a\0b", 3)},
    };
    {
        TFileStore Store(File, "C:\\Logs\\Logger.exe");
        auto Section = Store.OpenHostKey()->OpenSubKey("Odd [key] = 100%", true);
        for (const auto& [Name, Text] : Values)
            Section->WriteString(Name, Text);
        Section->WriteString("A=B:C", "replaced in place");
    }
    // A second store reads the file afresh; names ignore letter case.
    TFileStore Store(File, "c:\\other\\LOGGER.exe");
    auto Section = Store.OpenHostKey()->OpenSubKey("odd [KEY] = 100%", false);
    ASSERT_TRUE(Section);
    EXPECT_EQ(Section->ReadString("a=b:c"), "replaced in place");
    for (std::size_t I = 2; I < std::size(Values); ++I)
        EXPECT_EQ(Section->ReadString(Values[I].first), Values[I].second) << Values[I].first;
    EXPECT_EQ(Store.Values("Software\\Logger\\Odd [key] = 100%").size(), std::size(Values));
    EXPECT_FALSE(Section->ValueExists("missing"));
    EXPECT_FALSE(Store.OpenHostKey()->OpenSubKey("missing", false));
}

TEST(FileStore, RefusesAMalformedFile) {
    const char* Files[] = {
        "Name=sz:value before any key\n",     "[Software\n",
        "[Software]\nName=:no type\n",        "[Software]\nName sz no marks\n",
        "[Software]\nBad%4=sz:x\n",           "[Software]\nName=sz:%ZZ\n",
        "[Software]\nName=sz:1\nNAME=sz:2\n",
    };
    for (const char* Text : Files) {
        test::TTempDir Dir;
        TFileStore Store(Dir.Write("store.txt", Text), "Logger.exe");
        EXPECT_THROW(Store.OpenHostKey(), std::runtime_error) << Text;
    }
}

TEST(Variant, IntegerAndText) {
    struct Case {
        TVariant Value;
        const char* Text;
        std::optional<int> Integer; // none when the conversion fails
    };
    const Case Cases[] = {
        {0, "0", 0},          {-5, "-5", -5},
        {"4", "4", 4},        {"+7", "+7", 7},
        {" 9 ", " 9 ", 9},    {"-2147483648", "-2147483648", INT_MIN},
        {"x", "x", {}},       {"", "", {}},
        {"4.0", "4.0", {}},   {"2147483648", "2147483648", {}},
        {TVariant(), "", {}},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(C.Value.AsText(), C.Text);
        if (C.Integer)
            EXPECT_EQ(C.Value.AsInteger(), *C.Integer) << C.Text;
        else
            EXPECT_THROW(C.Value.AsInteger(), std::runtime_error) << C.Text;
    }
}

TEST(StoredValues, NamesAreUniqueWithoutRegardToCase) {
    TStoredValues Values;
    TStoredValue& Band = Values.Add("CurrentBand", 0);
    TStoredValue& Other = Values.Add("Other");
    EXPECT_EQ(Values.Find("CURRENTBAND"), &Band);
    EXPECT_EQ(Values.Find("missing"), nullptr);
    EXPECT_TRUE(Other.Value.IsNull());

    const auto Refused = [](auto Step) {
        try {
            Step();
        } catch (const std::runtime_error& E) {
            return std::string(E.what());
        }
        return std::string("accepted");
    };
    const std::string Duplicates = "String list does not allow duplicates";
    EXPECT_EQ(Refused([&] { Other.SetName("currentband"); }), Duplicates);
    EXPECT_EQ(Refused([&] { Values.Add("OTHER"); }), Duplicates);
    EXPECT_EQ(Other.Name(), "Other");
    EXPECT_EQ(Refused([&] { Band.SetName("CURRENTband"); }), "accepted");
    EXPECT_EQ(Band.Name(), "CURRENTband");
    EXPECT_EQ(Values.Count(), 2u);
}

} // namespace
} // namespace brevlund
