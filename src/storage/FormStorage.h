// TFormStorage: keeps a window's placement and a few named values in the store
// between runs. It restores them when the window is shown and saves them when the
// window is closed or destroyed; the window forwards those three moments to the
// storage's hooks, which call the window's own handlers in turn.
#pragma once

#include "Store.h"
#include "WindowPlacement.h"

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brevlund {

// A stored value's value: null, an integer or text.
class TVariant {
public:
    TVariant() = default; // null
    TVariant(int Value) : Data(Value) {}
    TVariant(std::string Text) : Data(std::move(Text)) {}
    TVariant(const char* Text) : Data(std::string(Text ? Text : "")) {}

    bool IsNull() const { return std::holds_alternative<std::monostate>(Data); }
    bool IsInteger() const { return std::holds_alternative<int>(Data); }
    bool IsText() const { return std::holds_alternative<std::string>(Data); }

    // Text converts when it is a whole number in decimal; null and any other text
    // throw, as a reader that needs a number cannot go on with them.
    int AsInteger() const;
    // Integers in decimal; null gives the empty text.
    std::string AsText() const;

    friend bool operator==(const TVariant& A, const TVariant& B) { return A.Data == B.Data; }
    friend bool operator!=(const TVariant& A, const TVariant& B) { return !(A == B); }

private:
    std::variant<std::monostate, int, std::string> Data;
};

class TStoredValues;

class TStoredValue {
public:
    const std::string& Name() const { return FName; }
    // Throws "String list does not allow duplicates" when another stored value of
    // the collection already has that name (letter case ignored).
    void SetName(const std::string& Name);

    TVariant Value;
    // Kept as designed; the windows leave it empty and the text is stored plain.
    std::string KeyString;

private:
    friend class TStoredValues;
    TStoredValue(TStoredValues& Owner, std::string Name, TVariant Value)
        : Value(std::move(Value)), Owner(&Owner), FName(std::move(Name)) {}

    TStoredValues* Owner; // not owned: the collection that holds this value
    std::string FName;
};

// Stored values in the order added, names unique without regard to letter case.
class TStoredValues {
public:
    TStoredValues() = default;
    TStoredValues(const TStoredValues&) = delete;
    TStoredValues& operator=(const TStoredValues&) = delete;

    // Throws "String list does not allow duplicates" for a name already present.
    TStoredValue& Add(const std::string& Name, TVariant Value = {});
    TStoredValue* Find(const std::string& Name);
    const TStoredValue* Find(const std::string& Name) const;

    std::size_t Count() const { return Items.size(); }
    TStoredValue& operator[](std::size_t Index) { return *Items[Index]; }
    const TStoredValue& operator[](std::size_t Index) const { return *Items[Index]; }

private:
    friend class TStoredValue;
    const TStoredValue* FindOther(const std::string& Name, const TStoredValue* Except) const;

    std::vector<std::unique_ptr<TStoredValue>> Items;
};

enum TPlacementOption : unsigned {
    fpState = 1u << 0,    // normal or maximised
    fpPosition = 1u << 1, // placement, size and minimised/maximised positions
};
using TPlacementOptions = unsigned;

// The window's own handlers, which the storage's hooks call.
struct TFormHandlers {
    std::function<void()> Show;
    std::function<void(bool& CanClose)> CloseQuery;
    std::function<void()> Destroy;
};

class TFormStorage {
public:
    // SectionName is the window's class name. Store, Window and Screen are not
    // owned and must outlive the storage.
    TFormStorage(std::string SectionName, TStore& Store, TPlacedWindow& Window,
                 const TScreen& Screen);
    TFormStorage(const TFormStorage&) = delete;
    TFormStorage& operator=(const TFormStorage&) = delete;

    TPlacementOptions Options = fpState | fpPosition;
    int Version = 0;
    bool Active = true;
    TStoredValues StoredValues;
    TFormHandlers WindowHandlers;
    // Shows a failure of a restore or a save to the user. When it is empty the
    // failure is thrown out of the hook after the window's own handler has run.
    std::function<void(const std::string& Message)> ShowError;

    const std::string& SectionName() const { return FSectionName; }
    bool IsRestored() const { return Restored; }
    bool IsSaved() const { return Saved; }

    // A copy of the value named Name (letter case ignored), or null. Memory only.
    TVariant ReadStoredValue(const std::string& Name) const;
    // Adds the stored value when it is missing. Memory only; the store follows at
    // the next save.
    void WriteStoredValue(const std::string& Name, const TVariant& Value);

    // Both throw what the store throws.
    void Restore();
    // Does nothing while Active and not restored (a failed restore counts as
    // none), so that a placement never read back cannot overwrite the stored one.
    void Save(bool Destroying);

    // The moments the window forwards.
    void OnShow();                     // restore when Active, then WindowHandlers.Show
    void OnCloseQuery(bool& CanClose); // WindowHandlers.CloseQuery, then save when allowed
    void OnDestroy();                  // save when Active and not yet saved, then Destroy

    // The process ends while the window still exists: the save OnDestroy would
    // make, from the window's placement now and the values in memory. A failure
    // is dropped, as nobody is left to see an error box.
    void SaveAtProcessEnd() noexcept;

private:
    class TOpenStore;
    void RestorePosition(TOpenStore& Open);
    void RestoreState(TOpenStore& Open);
    std::string ScreenSuffix() const;
    // Runs Step; a failure goes to ShowError, or is handed back when there is none.
    std::exception_ptr Guarded(const std::function<void()>& Step);

    std::string FSectionName;
    TStore& Store;         // not owned
    TPlacedWindow& Window; // not owned
    const TScreen& Screen; // not owned
    bool Restored = false;
    bool Saved = false;
};

// Whole numbers as the storage reads them: optional blanks around an optional
// sign and decimal digits, within 32 bits; anything else gives Default.
int ParseInteger(std::string_view Text, int Default);

} // namespace brevlund
