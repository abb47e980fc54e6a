// The file store, Linux's stand-in for the registry. Its reader over any bytes
// either refuses the file or reads it, and then what it read survives the
// writer: a file written back reads back to the same values and is written
// again byte for byte. Its writer, driven by any sequence of writes, keeps
// every key and value as a plain model of the store says, through a fresh reader.
#include "FuzzCheck.h"

#include "storage/FileStore.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace brevlund;

const char* const Host = "C:\\Logs\\Logger.exe";
const std::string HostKey = "Software\\Logger";

std::string ReadAll(const std::string& File) {
    std::string Text;
    if (std::FILE* F = std::fopen(File.c_str(), "rb")) {
        char Buffer[4096];
        std::size_t Got;
        while ((Got = std::fread(Buffer, 1, sizeof Buffer, F)) > 0)
            Text.append(Buffer, Got);
        std::fclose(F);
    }
    return Text;
}

std::string Folded(std::string S) {
    for (char& C : S)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    return S;
}

// A file of any bytes: refused with an error, or read; then written back.
void ReaderRoundTrip(const std::string& Text) {
    const std::string File = fuzz::WriteScratchFile("given.txt", Text);
    TFileStore Store(File, Host);
    std::vector<TFileValue> Before;
    try {
        Before = Store.Values(HostKey);
        Store.OpenHostKey();
    } catch (const std::runtime_error&) {
        return; // refused: a malformed or unreadable file
    }
    const TFileValue Probe{"Probe", "sz", "1"};
    Store.PutValue("Fuzz", Probe);
    const std::string Written = ReadAll(File);
    FUZZ_CHECK(Store.Values(HostKey) == Before);
    bool Probed = false;
    for (const TFileValue& V : Store.Values("fuzz"))
        Probed = Probed || V == Probe;
    FUZZ_CHECK(Probed);

    // What the writer wrote, the reader reads, and the writer writes alike.
    TFileStore Again(fuzz::WriteScratchFile("again.txt", Written), Host);
    FUZZ_CHECK(Again.Values(HostKey) == Before);
    Again.PutValue("Fuzz", Probe);
    FUZZ_CHECK(ReadAll(fuzz::ScratchDir() + "/again.txt") == Written);
}

// Writes of any names and texts, by both ways in, against a model.
void WriterRoundTrip(FuzzedDataProvider& In) {
    const std::string File = fuzz::ScratchDir() + "/written.txt";
    std::remove(File.c_str());
    TFileStore Store(File, Host);

    // Key path (parts folded) -> values in the order first written.
    std::map<std::vector<std::string>, std::vector<TFileValue>> Model;
    std::map<std::vector<std::string>, std::string> Paths;
    const auto Touch = [&](const std::vector<std::string>& Parts) {
        std::vector<std::string> Key;
        std::string Path;
        for (const std::string& Part : Parts) {
            Key.push_back(Folded(Part));
            Path += (Path.empty() ? "" : "\\") + Part;
            Model[Key];
            Paths.emplace(Key, Path);
        }
        return Key;
    };
    std::vector<std::string> Pool = {"Software", "Logger", "TfmMainForm"};
    const auto SomePart = [&] {
        if (In.ConsumeBool())
            return Pool[In.ConsumeIntegralInRange<std::size_t>(0, Pool.size() - 1)];
        std::string Part = In.ConsumeRandomLengthString(6);
        for (char& C : Part)
            if (C == '\\') C = '/';
        if (Part.empty()) Part = "K";
        Pool.push_back(Part);
        return Part;
    };
    const char* const Types[] = {"sz", "dword", "binary", "x_1"};

    for (int Op = 0; Op < 16 && In.remaining_bytes() > 0; ++Op) {
        const bool ThroughKey = In.ConsumeBool();
        std::vector<std::string> Parts;
        if (ThroughKey) Parts = {"Software", "Logger"};
        for (int N = In.ConsumeIntegralInRange(ThroughKey ? 0 : 1, 3); N > 0; --N)
            Parts.push_back(SomePart());
        TFileValue Value{In.ConsumeRandomLengthString(8),
                         ThroughKey ? "sz" : Types[In.ConsumeIntegralInRange(0, 3)],
                         In.ConsumeRandomLengthString(16)};
        std::vector<TFileValue>& Values = Model[Touch(Parts)];
        TFileValue* Old = nullptr;
        for (TFileValue& V : Values)
            if (Folded(V.Name) == Folded(Value.Name)) Old = &V;
        if (ThroughKey) {
            std::string Sub;
            for (std::size_t I = 2; I < Parts.size(); ++I)
                Sub += (Sub.empty() ? "" : "\\") + Parts[I];
            auto Key = Store.OpenHostKey();
            if (!Sub.empty()) Key = Key->OpenSubKey(Sub, true);
            Key->WriteString(Value.Name, Value.Data);
            if (Old) { // the name keeps its first spelling
                Old->Type = "sz";
                Old->Data = Value.Data;
            }
        } else {
            Store.PutValue(Paths[Touch(Parts)], Value);
            if (Old) *Old = Value;
        }
        if (!Old) Values.push_back(Value);
    }

    // A fresh reader finds every key and value as written.
    TFileStore Reader(File, "c:\\else\\LOGGER.EXE");
    for (const auto& [Key, Values] : Model) {
        const std::string& Path = Paths[Key];
        FUZZ_CHECK(Reader.KeyExists(Path));
        FUZZ_CHECK(Reader.Values(Path) == Values);
        if (Key.size() < 2 || Key[0] != "SOFTWARE" || Key[1] != "LOGGER") continue;
        auto Open = Reader.OpenHostKey();
        if (Key.size() > 2) Open = Open->OpenSubKey(Path.substr(HostKey.size() + 1), false);
        FUZZ_CHECK(Open != nullptr);
        for (const TFileValue& V : Values) {
            FUZZ_CHECK(Open->ValueExists(V.Name));
            if (V.Type == "sz") {
                FUZZ_CHECK(Open->ReadString(Folded(V.Name)) == V.Data);
                continue;
            }
            try {
                Open->ReadString(V.Name);
                FUZZ_CHECK(!"a value that is no string reads");
            } catch (const std::runtime_error& Error) {
                // what() is a C string: a name holding NUL shows up to it.
                FUZZ_CHECK(std::string(Error.what()) == InvalidDataTypeText(V.Name).c_str());
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider In(Data, Size);
    ReaderRoundTrip(In.ConsumeRandomLengthString(2048));
    WriterRoundTrip(In);
    return 0;
}
