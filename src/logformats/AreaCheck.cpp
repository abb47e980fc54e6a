#include "AreaCheck.h"

#include "engine/AreaList.h"
#include "engine/LocaleText.h"
#include "engine/Text.h"

#include <cstdio>

namespace brevlund::logformats {

namespace {

bool Letter(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}

// Empty, or ";" or "#" first: a comment to the operator, passed over here.
bool CommentLike(std::string_view Line) {
    const std::string_view Trimmed = Trim(Line);
    return Trimmed.empty() || Trimmed[0] == ';' || Trimmed[0] == '#';
}

// A line without "=" whose every run of letters is two long ("AB AB",
// "AB:AB", "AB"): an area written the wrong way, not prose. The first run.
std::string_view LooksLikeEntry(std::string_view Line) {
    std::string_view First;
    std::size_t I = 0;
    while (I < Line.size()) {
        if (!Letter(Line[I])) {
            ++I;
            continue;
        }
        const std::size_t Start = I;
        while (I < Line.size() && Letter(Line[I]))
            ++I;
        if (I - Start != 2) return {};
        if (First.empty()) First = Line.substr(Start, 2);
    }
    return First;
}

std::string ValueProblem(std::string_view Value) {
    if (IsAreaCode(Value)) return {};
    const std::string_view Trimmed = Trim(Value);
    if (Value.empty()) return "empty value: the line never counts";
    if (IsAreaCode(Trimmed))
        return "value " + Quoted(Value) + " has blanks around it: it never counts; write " +
               Quoted(Trimmed);
    if (IsAreaCode(UpperAscii(Trimmed)))
        return "value " + Quoted(Value) + " has small letters: it never counts; write " +
               Quoted(UpperAscii(Trimmed));
    return "value " + Quoted(Value) + " is not two capitals A to Z: it never counts";
}

} // namespace

std::string Quoted(std::string_view Text) {
    std::string Result = "\"";
    for (char C : Text) {
        if (static_cast<unsigned char>(C) < 32) {
            char Escape[5];
            std::snprintf(Escape, sizeof Escape, "\\x%02X", static_cast<unsigned char>(C));
            Result += Escape;
        } else {
            Result += C;
        }
    }
    return Result + "\"";
}

TAreaCheck CheckAreaList(std::string_view Text) {
    TAreaCheck Check;
    const std::size_t Nul = Text.find('\0');
    const std::string_view Read = Text.substr(0, Nul);

    struct TNamed {
        std::string_view Name;
        std::size_t Line;
    };
    std::vector<TNamed> Names; // the first line of each name
    std::size_t LastLine = 0;
    bool OpenLine = false; // the text read ends inside a line
    ForEachLine(Read, [&](std::size_t Number, std::string_view Line) {
        LastLine = Number;
        const auto Find = [&](std::string Message) {
            Check.Findings.push_back({Number, std::move(Message)});
        };
        if (CommentLike(Line)) return;
        const std::size_t Equals = Line.find('=');
        if (Equals == std::string_view::npos) {
            const std::string_view Code = LooksLikeEntry(Line);
            if (!Code.empty()) {
                const std::string Upper = UpperAscii(Code);
                Find("no \"=\": the line is passed over; an area is written " +
                     Quoted(Upper + "=" + Upper));
            }
            return;
        }
        const std::string_view Name = Line.substr(0, Equals);
        const std::string_view Value = Line.substr(Equals + 1);
        if (Name.empty()) {
            Find("empty name: the line never counts");
        } else {
            bool Shadowed = false;
            for (const TNamed& Earlier : Names)
                if (locale::SameText(Earlier.Name, Name)) {
                    Find("name " + Quoted(Name) + " is taken by line " +
                         std::to_string(Earlier.Line) + ": this line is never used");
                    Shadowed = true;
                    break;
                }
            if (!Shadowed) Names.push_back({Name, Number});
            // Against the value as it was meant; a value that is no area at all
            // has its own finding below.
            const std::string Meant = UpperAscii(Trim(Value));
            if (IsAreaCode(Meant) && !locale::SameText(Name, Value) &&
                !locale::SameText(Name, Meant))
                Find("name " + Quoted(Name) + " and value " + Quoted(Value) +
                     " differ beyond letter case: the line never counts");
        }
        if (std::string Problem = ValueProblem(Value); !Problem.empty()) Find(std::move(Problem));
        const std::string_view Caption = ItemCaption(Line);
        if (Caption != Trim(Value))
            Find("value " + Quoted(Value) +
                 " is longer than four characters: the multipliers window shows " +
                 Quoted(Caption));
    });
    if (Nul != std::string_view::npos) {
        OpenLine = !Read.empty() && Read.back() != '\r' && Read.back() != '\n';
        Check.Findings.push_back({OpenLine ? LastLine : LastLine + 1,
                                  "a NUL byte ends the area list here: nothing after it is read"});
    }

    TAreaList List;
    List.SetLines(SplitLines(Text));
    for (char A = 'A'; A <= 'Z'; ++A)
        for (char B = 'A'; B <= 'Z'; ++B) {
            const char Code[2] = {A, B};
            if (List.CountsAsArea(std::string_view(Code, 2))) Check.Counting.emplace_back(Code, 2);
        }
    return Check;
}

} // namespace brevlund::logformats
