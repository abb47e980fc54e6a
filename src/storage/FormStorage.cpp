#include "FormStorage.h"

#include "engine/LocaleText.h"
#include "engine/Text.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace brevlund {

namespace {

const char* const DuplicatesText = "String list does not allow duplicates";

std::string Decimal(long long Value) {
    return std::to_string(Value);
}

std::string FourNumbers(int A, int B, int C, int D) {
    char Text[64];
    std::snprintf(Text, sizeof Text, "%d,%d,%d,%d", A, B, C, D);
    return Text;
}

// Words separated by commas or blanks; runs of separators count as one.
std::vector<std::string_view> SplitWords(std::string_view Text) {
    std::vector<std::string_view> Words;
    std::size_t I = 0;
    while (I < Text.size()) {
        while (I < Text.size() && (Text[I] == ',' || IsBlank(Text[I])))
            ++I;
        const std::size_t Start = I;
        while (I < Text.size() && Text[I] != ',' && !IsBlank(Text[I]))
            ++I;
        if (I > Start) Words.push_back(Text.substr(Start, I - Start));
    }
    return Words;
}

int WordOr(const std::vector<std::string_view>& Words, std::size_t Index, int Default) {
    return Index < Words.size() ? ParseInteger(Words[Index], Default) : Default;
}

// The whole text as a decimal number within 32 bits, or nothing.
std::optional<int> WholeNumber(std::string_view Text) {
    Text = Trim(Text);
    std::size_t I = 0;
    if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) ++I;
    if (I == Text.size()) return std::nullopt;
    for (std::size_t J = I; J < Text.size(); ++J)
        if (Text[J] < '0' || Text[J] > '9') return std::nullopt;
    const std::string Copy(Text);
    errno = 0;
    const long long Value = std::strtoll(Copy.c_str(), nullptr, 10);
    if (errno == ERANGE || Value < INT_MIN || Value > INT_MAX) return std::nullopt;
    return static_cast<int>(Value);
}

} // namespace

int ParseInteger(std::string_view Text, int Default) {
    return WholeNumber(Text).value_or(Default);
}

// TVariant

int TVariant::AsInteger() const {
    if (const int* Value = std::get_if<int>(&Data)) return *Value;
    if (const std::string* Text = std::get_if<std::string>(&Data)) {
        if (const std::optional<int> Value = WholeNumber(*Text)) return *Value;
        // The operator may have edited the registry: name the text that is wrong.
        throw std::runtime_error("'" + *Text + "' is not a valid integer value");
    }
    throw std::runtime_error("Could not convert variant of type (Null) into type (Integer)");
}

std::string TVariant::AsText() const {
    if (const int* Value = std::get_if<int>(&Data)) return Decimal(*Value);
    if (const std::string* Text = std::get_if<std::string>(&Data)) return *Text;
    return {};
}

// Stored values

void TStoredValue::SetName(const std::string& Name) {
    if (Owner->FindOther(Name, this)) throw std::runtime_error(DuplicatesText);
    FName = Name;
}

TStoredValue& TStoredValues::Add(const std::string& Name, TVariant Value) {
    if (FindOther(Name, nullptr)) throw std::runtime_error(DuplicatesText);
    Items.emplace_back(new TStoredValue(*this, Name, std::move(Value)));
    return *Items.back();
}

const TStoredValue* TStoredValues::FindOther(const std::string& Name,
                                             const TStoredValue* Except) const {
    for (const auto& Item : Items)
        if (Item.get() != Except && locale::SameText(Item->Name(), Name)) return Item.get();
    return nullptr;
}

const TStoredValue* TStoredValues::Find(const std::string& Name) const {
    return FindOther(Name, nullptr);
}

TStoredValue* TStoredValues::Find(const std::string& Name) {
    return const_cast<TStoredValue*>(FindOther(Name, nullptr));
}

// The store as one restore or save sees it: the host key, open from start to
// end, and the window's section, opened when first needed and created only when
// a value is written.
class TFormStorage::TOpenStore {
public:
    TOpenStore(TStore& Store, const std::string& SectionName)
        : Host(Store.OpenHostKey()), SectionName(SectionName) {}

    // Default when the section or the value is missing.
    std::string ReadText(const std::string& Name, const std::string& Default) {
        TStoreKey* Key = Section(false);
        if (!Key || !Key->ValueExists(Name)) return Default;
        return Key->ReadString(Name);
    }

    // Default also when the text is not a whole number.
    int ReadInteger(const std::string& Name, int Default) {
        return ParseInteger(ReadText(Name, Decimal(Default)), Default);
    }

    void WriteText(const std::string& Name, const std::string& Value) {
        Section(true)->WriteString(Name, Value);
    }

private:
    TStoreKey* Section(bool Create) {
        if (!Key && (Create || !LookedUp)) {
            Key = Host->OpenSubKey(SectionName, Create);
            LookedUp = true;
            if (!Key && Create) throw std::runtime_error(FailedToCreateKeyText(SectionName));
        }
        return Key.get();
    }

    std::unique_ptr<TStoreKey> Host;
    std::unique_ptr<TStoreKey> Key;
    const std::string& SectionName;
    bool LookedUp = false;
};

// TFormStorage

TFormStorage::TFormStorage(std::string SectionName, TStore& Store, TPlacedWindow& Window,
                           const TScreen& Screen)
    : FSectionName(std::move(SectionName)), Store(Store), Window(Window), Screen(Screen) {}

TVariant TFormStorage::ReadStoredValue(const std::string& Name) const {
    const TStoredValue* Item = StoredValues.Find(Name);
    return Item ? Item->Value : TVariant();
}

void TFormStorage::WriteStoredValue(const std::string& Name, const TVariant& Value) {
    TStoredValue* Item = StoredValues.Find(Name);
    if (!Item) Item = &StoredValues.Add(Name);
    Item->Value = Value;
}

std::string TFormStorage::ScreenSuffix() const {
    char Text[40];
    std::snprintf(Text, sizeof Text, "(%dx%d)", Screen.Width(), Screen.Height());
    return Text;
}

void TFormStorage::Restore() {
    Saved = false;
    // Cleared first: should this restore fail, the window saves nothing until a
    // later restore succeeds.
    Restored = false;
    TOpenStore Open(Store, FSectionName);
    if (Open.ReadInteger("FormVersion", 0) >= Version) {
        if (Options & fpPosition) RestorePosition(Open);
        if (Options & fpState) RestoreState(Open);
        Restored = true;
        for (std::size_t I = 0; I < StoredValues.Count(); ++I) {
            TStoredValue& Item = StoredValues[I];
            Item.Value = Open.ReadText(Item.Name(), Item.Value.AsText());
        }
    }
    Restored = true;
}

void TFormStorage::RestorePosition(TOpenStore& Open) {
    TWindowPlacementData Placement = Window.GetPlacement();
    if (!Window.IsVisible()) Placement.ShowCmd = 0; // stay hidden until the show itself
    Placement.Flags =
        static_cast<unsigned>(Open.ReadInteger("Flags", static_cast<int>(Placement.Flags)));

    const std::string Suffix = ScreenSuffix();
    const auto ReadPosition = [&](const std::string& Name) {
        std::string Text = Open.ReadText(Name + Suffix, "");
        return Text.empty() ? Open.ReadText(Name, "") : Text;
    };

    const std::string MinMax = ReadPosition("MinMaxPos");
    if (!MinMax.empty()) {
        const auto Words = SplitWords(MinMax);
        Placement.MinX = WordOr(Words, 0, 0);
        Placement.MinY = WordOr(Words, 1, 0);
        Placement.MaxX = WordOr(Words, 2, 0);
        Placement.MaxY = WordOr(Words, 3, 0);
    }

    const std::string Norm = ReadPosition("NormPos");
    if (!Norm.empty()) {
        const auto Words = SplitWords(Norm);
        const int Left = Placement.Left, Top = Placement.Top;
        Placement.Left = WordOr(Words, 0, Left);
        Placement.Top = WordOr(Words, 1, Top);
        Placement.Right = WordOr(Words, 2, Left + Window.Width());
        Placement.Bottom = WordOr(Words, 3, Top + Window.Height());
    }

    // A placement taken at another text size would come back at the wrong size.
    const int PixelsPerInch = Open.ReadInteger("PixelsPerInch", Screen.PixelsPerInch());
    if ((MinMax.empty() && Norm.empty()) || PixelsPerInch != Screen.PixelsPerInch()) return;

    if (!Window.HasResizableBorder()) {
        Placement.Right = Placement.Left + Window.Width();
        Placement.Bottom = Placement.Top + Window.Height();
    }
    // Only the width decides; the system gives a window no less than its
    // smallest height.
    if (Placement.Left < Placement.Right) Window.SetPlacement(Placement);
}

void TFormStorage::RestoreState(TOpenStore& Open) {
    // Only "maximised" comes back; a minimised window returns normal.
    Window.SetMaximised(Open.ReadInteger("ShowCmd", 0) == 3);
}

void TFormStorage::Save(bool Destroying) {
    if (Active && !Restored) return;
    TOpenStore Open(Store, FSectionName);
    Open.WriteText("FormVersion", Decimal(Version));
    if (Options & (fpState | fpPosition)) {
        const TWindowPlacementData P = Window.GetPlacement();
        const std::string Suffix = ScreenSuffix();
        const std::string MinMax = FourNumbers(P.MinX, P.MinY, P.MaxX, P.MaxY);
        const std::string Norm = FourNumbers(P.Left, P.Top, P.Right, P.Bottom);
        // Flags and ShowCmd go out as the signed numbers they are read back as.
        Open.WriteText("Flags", Decimal(static_cast<int>(P.Flags)));
        Open.WriteText("ShowCmd", Decimal(static_cast<int>(P.ShowCmd)));
        Open.WriteText("PixelsPerInch", Decimal(Screen.PixelsPerInch()));
        Open.WriteText("MinMaxPos" + Suffix, MinMax);
        Open.WriteText("MinMaxPos", MinMax);
        Open.WriteText("NormPos" + Suffix, Norm);
        Open.WriteText("NormPos", Norm);
        Open.WriteText("Visible", Destroying ? "1" : "0");
    }
    for (std::size_t I = 0; I < StoredValues.Count(); ++I)
        Open.WriteText(StoredValues[I].Name(), StoredValues[I].Value.AsText());
    Saved = true;
}

std::exception_ptr TFormStorage::Guarded(const std::function<void()>& Step) {
    try {
        Step();
    } catch (const std::exception& Failure) {
        if (!ShowError) return std::current_exception();
        ShowError(Failure.what());
    }
    return nullptr;
}

void TFormStorage::OnShow() {
    std::exception_ptr Failure;
    if (Active) Failure = Guarded([this] { Restore(); });
    if (WindowHandlers.Show) WindowHandlers.Show();
    if (Failure) std::rethrow_exception(Failure);
}

void TFormStorage::OnCloseQuery(bool& CanClose) {
    if (WindowHandlers.CloseQuery) WindowHandlers.CloseQuery(CanClose);
    if (CanClose && Active)
        if (std::exception_ptr Failure = Guarded([this] { Save(false); }))
            std::rethrow_exception(Failure);
}

void TFormStorage::SaveAtProcessEnd() noexcept {
    if (!Active || Saved) return;
    try {
        Save(true);
    } catch (...) {
    }
}

void TFormStorage::OnDestroy() {
    std::exception_ptr Failure;
    if (Active && !Saved) Failure = Guarded([this] { Save(true); });
    if (WindowHandlers.Destroy) WindowHandlers.Destroy();
    if (Failure) std::rethrow_exception(Failure);
}

} // namespace brevlund
