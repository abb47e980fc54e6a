#include "FileStore.h"

#include "engine/Text.h"
#include "engine/WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace brevlund {

namespace {

struct TNode {
    std::string Name;
    std::vector<std::unique_ptr<TNode>> Children;
    std::vector<TFileValue> Values;

    TNode* Child(std::string_view Wanted) {
        for (auto& C : Children)
            if (SameTextAscii(C->Name, Wanted)) return C.get();
        return nullptr;
    }
    TFileValue* Value(std::string_view Wanted) {
        for (auto& V : Values)
            if (SameTextAscii(V.Name, Wanted)) return &V;
        return nullptr;
    }
};

// Path parts between backslashes; empty parts are skipped.
std::vector<std::string> SplitPath(std::string_view Path) {
    std::vector<std::string> Parts;
    std::size_t Start = 0;
    while (Start <= Path.size()) {
        std::size_t End = Path.find('\\', Start);
        if (End == std::string_view::npos) End = Path.size();
        if (End > Start) Parts.emplace_back(Path.substr(Start, End - Start));
        Start = End + 1;
    }
    return Parts;
}

std::string Escape(std::string_view Text, std::string_view Marks) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string Out;
    for (char C : Text) {
        const auto U = static_cast<unsigned char>(C);
        if (U < 32 || U == 127 || C == '%' || Marks.find(C) != std::string_view::npos) {
            Out += '%';
            Out += Hex[U >> 4];
            Out += Hex[U & 15];
        } else {
            Out += C;
        }
    }
    return Out;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
}

bool Unescape(std::string_view Text, std::string& Out) {
    Out.clear();
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] != '%') {
            Out += Text[I];
            continue;
        }
        if (I + 2 >= Text.size()) return false;
        const int High = HexDigit(Text[I + 1]), Low = HexDigit(Text[I + 2]);
        if (High < 0 || Low < 0) return false;
        Out += static_cast<char>(High * 16 + Low);
        I += 2;
    }
    return true;
}

const std::string_view KeyMarks = "\\[];=";
const std::string_view NameMarks = "[];=";

// The whole store as one restore or save sees it. Keys of one opening share it.
struct TTree {
    std::string FilePath;
    bool ReadOnly = false;
    TNode Root;

    // Creates the missing keys of Parts; null when one is missing and !Create.
    TNode* Walk(const std::vector<std::string>& Parts, TNode* From, bool Create, bool& Created) {
        for (const std::string& Part : Parts) {
            TNode* Next = From->Child(Part);
            if (!Next) {
                if (!Create) return nullptr;
                From->Children.push_back(std::make_unique<TNode>());
                Next = From->Children.back().get();
                Next->Name = Part;
                Created = true;
            }
            From = Next;
        }
        return From;
    }

    void Load() {
        const std::string Text = ReadFile();
        std::istringstream In(Text);
        std::string Line;
        TNode* Key = nullptr;
        int Number = 0;
        const auto Malformed = [&] {
            return std::runtime_error("Malformed store file '" + FilePath + "' at line " +
                                      std::to_string(Number));
        };
        while (std::getline(In, Line)) {
            ++Number;
            if (!Line.empty() && Line.back() == '\r') Line.pop_back();
            if (Line.empty() || Line[0] == ';') continue;
            if (Line[0] == '[') {
                if (Line.back() != ']') throw Malformed();
                std::vector<std::string> Parts;
                for (const std::string& Part : SplitPath(Line.substr(1, Line.size() - 2))) {
                    Parts.emplace_back();
                    if (!Unescape(Part, Parts.back())) throw Malformed();
                }
                bool Created = false;
                Key = Walk(Parts, &Root, true, Created);
                continue;
            }
            const std::size_t Equals = Line.find('=');
            const std::size_t Colon = Line.find(':', Equals + 1);
            TFileValue Value;
            if (!Key || Key == &Root || Equals == std::string::npos || Colon == std::string::npos ||
                Colon == Equals + 1 ||
                !Unescape(std::string_view(Line).substr(0, Equals), Value.Name) ||
                !Unescape(std::string_view(Line).substr(Colon + 1), Value.Data))
                throw Malformed();
            Value.Type = Line.substr(Equals + 1, Colon - Equals - 1);
            if (Key->Value(Value.Name)) throw Malformed();
            Key->Values.push_back(std::move(Value));
        }
    }

    // The file's text; empty when there is no file yet.
    std::string ReadFile() const {
        std::string Text;
        const TFileRead Result = ReadWholeFile(FilePath, Text);
        if (Result == TFileRead::NotOpened && errno == ENOENT) return {};
        if (Result != TFileRead::Read)
            throw std::runtime_error("Cannot read the store file '" + FilePath + "'");
        return Text;
    }

    // Written beside the file and renamed over it, so that a failed write leaves
    // the old file whole.
    bool Save() const {
        std::ostringstream Out;
        WriteNode(Out, Root, "");
        const std::string Temporary = FilePath + ".new";
        {
            std::ofstream File(Temporary, std::ios::binary | std::ios::trunc);
            if (!File) return false;
            const std::string Text = Out.str();
            File.write(Text.data(), static_cast<std::streamsize>(Text.size()));
            File.close();
            if (!File) {
                std::remove(Temporary.c_str());
                return false;
            }
        }
        if (std::rename(Temporary.c_str(), FilePath.c_str()) != 0) {
            std::remove(Temporary.c_str());
            return false;
        }
        return true;
    }

    static void WriteNode(std::ostringstream& Out, const TNode& Node, const std::string& Path) {
        if (!Path.empty()) {
            Out << '[' << Path << "]\n";
            for (const TFileValue& V : Node.Values)
                Out << Escape(V.Name, NameMarks) << '=' << V.Type << ':' << Escape(V.Data, "")
                    << '\n';
        }
        for (const auto& Child : Node.Children)
            WriteNode(Out, *Child,
                      (Path.empty() ? "" : Path + "\\") + Escape(Child->Name, KeyMarks));
    }
};

class TFileKey final : public TStoreKey {
public:
    TFileKey(std::shared_ptr<TTree> Tree, TNode* Node, std::string Path)
        : Tree(std::move(Tree)), Node(Node), Path(std::move(Path)) {}

    std::unique_ptr<TStoreKey> OpenSubKey(const std::string& Name, bool Create) override {
        const std::string SubPath = Path + "\\" + Name;
        bool Created = false;
        TNode* Sub = Tree->Walk(SplitPath(Name), Node, Create && !Tree->ReadOnly, Created);
        if (!Sub && Create) throw std::runtime_error(FailedToCreateKeyText(SubPath));
        if (!Sub) return nullptr;
        if (Created && !Tree->Save()) throw std::runtime_error(FailedToCreateKeyText(SubPath));
        return std::make_unique<TFileKey>(Tree, Sub, SubPath);
    }

    bool ValueExists(const std::string& Name) override { return Node->Value(Name) != nullptr; }

    std::string ReadString(const std::string& Name) override {
        const TFileValue* Value = Node->Value(Name);
        if (!Value) return {};
        if (Value->Type != "sz") throw std::runtime_error(InvalidDataTypeText(Name));
        return Value->Data;
    }

    void WriteString(const std::string& Name, const std::string& Data) override {
        if (Tree->ReadOnly) throw std::runtime_error(FailedToSetDataText(Name));
        if (TFileValue* Value = Node->Value(Name)) {
            Value->Type = "sz";
            Value->Data = Data;
        } else {
            Node->Values.push_back({Name, "sz", Data});
        }
        if (!Tree->Save()) throw std::runtime_error(FailedToSetDataText(Name));
    }

private:
    std::shared_ptr<TTree> Tree;
    TNode* Node; // not owned: a node of Tree
    std::string Path;
};

std::shared_ptr<TTree> LoadTree(const std::string& FilePath) {
    auto Tree = std::make_shared<TTree>();
    Tree->FilePath = FilePath;
    Tree->Load();
    return Tree;
}

} // namespace

TFileStore::TFileStore(std::string FilePath, std::string HostExePath)
    : FilePath(std::move(FilePath)), HostExePath(std::move(HostExePath)) {}

std::unique_ptr<TStoreKey> TFileStore::OpenHostKey() {
    const std::string Path = HostKeyPath(HostExePath);
    auto Tree = LoadTree(FilePath);
    Tree->ReadOnly = FReadOnly;
    bool Created = false;
    TNode* Host = Tree->Walk(SplitPath(Path), &Tree->Root, !FReadOnly, Created);
    if (!Host || (Created && !Tree->Save())) throw std::runtime_error(FailedToCreateKeyText(Path));
    return std::make_unique<TFileKey>(Tree, Host, Path);
}

bool TFileStore::KeyExists(const std::string& KeyPath) const {
    auto Tree = LoadTree(FilePath);
    bool Created = false;
    return Tree->Walk(SplitPath(KeyPath), &Tree->Root, false, Created) != nullptr;
}

std::vector<TFileValue> TFileStore::Values(const std::string& KeyPath) const {
    auto Tree = LoadTree(FilePath);
    bool Created = false;
    const TNode* Key = Tree->Walk(SplitPath(KeyPath), &Tree->Root, false, Created);
    return Key ? Key->Values : std::vector<TFileValue>{};
}

void TFileStore::PutValue(const std::string& KeyPath, const TFileValue& Value) {
    if (Value.Type.empty() ||
        Value.Type.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") != std::string::npos)
        throw std::invalid_argument("A value type is a word of small letters and digits");
    auto Tree = LoadTree(FilePath);
    bool Created = false;
    TNode* Key = Tree->Walk(SplitPath(KeyPath), &Tree->Root, true, Created);
    if (Key == &Tree->Root) throw std::runtime_error(FailedToSetDataText(Value.Name));
    if (TFileValue* Old = Key->Value(Value.Name))
        *Old = Value;
    else
        Key->Values.push_back(Value);
    if (!Tree->Save()) throw std::runtime_error(FailedToSetDataText(Value.Name));
}

} // namespace brevlund
