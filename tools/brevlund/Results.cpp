#include "Results.h"

#include "CrossCheck.h"
#include "Diagnostics.h"
#include "EntryCheck.h"
#include "Json.h"
#include "LogScore.h"

#include "engine/Scoring.h"
#include "engine/Text.h"
#include "logformats/EntryHeader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <sstream>

namespace brevlund::cli {

namespace {

namespace fs = std::filesystem;
using logformats::TLogQSO;

// A header finding as the results show it: Flag names one of the four flags,
// or is empty for a fault the results do not flag.
struct TFinding {
    std::size_t Line = 0;
    std::string Message, Flag;
};

// What a log's header declares, and what holding the log to it found.
struct TDeclared {
    std::string Category; // the category's words joined by blanks
    bool CheckLog = false;
    std::string Name, Club, Location, Soapbox;
    std::vector<TFinding> Findings;
    std::vector<std::string> Flags; // distinct, in the flags' order
};

// The header as written and the entry held to it, as `score --check`
// holds it: against the score the engine gave the log, unless no area list
// let a multiplier count, and against the contest checked.
TDeclared Declared(const TCrossLog& Log, const TLogCheck& Check, const TContest& Contest,
                   bool NoAreaList) {
    std::vector<logformats::THeaderNote> Notes;
    const logformats::TEntryHeader Header = logformats::ReadEntryHeader(Log.Read, &Notes);
    TDeclared D;
    D.Category = Header.CategoryText();
    D.CheckLog = Header.CheckLog();
    D.Name = Header.Name.Value;
    D.Club = Header.Club.Value;
    D.Location = Header.Location.Value;
    D.Soapbox = Header.Soapbox.Value;
    TEntryCheckInput Input{Log.Read,     Header,         std::move(Notes),
                           std::nullopt, Contest.Period, Contest.CabrilloNames};
    if (!NoAreaList) Input.ComputedScore = Check.Claimed.Score();
    if (Input.ContestNames.empty()) Input.ContestNames.push_back(Contest.Name);
    const std::vector<TEntryFinding> Findings = CheckEntry(Input);
    for (const TEntryFinding& F : Findings)
        D.Findings.push_back(
            {F.Line, F.Message, F.Flag ? std::string(EntryFlagName(*F.Flag)) : std::string()});
    for (TEntryFlag Flag : FlagsOf(Findings))
        D.Flags.emplace_back(EntryFlagName(Flag));
    return D;
}

// One entrant's results: a checked log, ranked in its category unless it is a
// check log.
struct TEntrant {
    const TLogCheck* Check = nullptr;
    const TCrossLog* Log = nullptr;
    TDeclared Header;
    std::string Area;
    std::size_t Rank = 0; // 0: not ranked
    std::string Page;     // the report's name without extension
};

double Reduction(const TLogCheck& L) {
    const std::int64_t Claimed = L.Claimed.Score();
    if (Claimed <= 0) return 0;
    const double Percent =
        100.0 * static_cast<double>(Claimed - L.Checked.Score()) / static_cast<double>(Claimed);
    return std::round(Percent * 10) / 10;
}

std::string PercentText(double Percent) {
    std::ostringstream Text;
    Text.setf(std::ios::fixed);
    Text.precision(1);
    Text << Percent;
    return Text.str();
}

// The category as shown: its words, or what stands for none.
std::string CategoryShown(const std::string& Category) {
    return Category.empty() ? "No category given" : Category;
}

struct TSite {
    std::string Title, Contest;
    std::vector<TEntrant> Entrants;      // ranked ones by category, then rank; check logs last
    std::vector<std::string> Categories; // in the order shown
    const std::vector<TNotChecked>* NotChecked = nullptr;
    const std::vector<TCrossLog>* Logs = nullptr;
    std::map<std::size_t, const TEntrant*> ByLog; // by input log
};

// Ranks by checked score within each category, equal scores sharing a rank.
void Rank(TSite& Site) {
    std::stable_sort(Site.Entrants.begin(), Site.Entrants.end(),
                     [](const TEntrant& A, const TEntrant& B) {
                         if (A.Header.CheckLog != B.Header.CheckLog) return B.Header.CheckLog;
                         if (A.Header.Category != B.Header.Category) {
                             // A log without a category after every category.
                             if (A.Header.Category.empty() || B.Header.Category.empty())
                                 return B.Header.Category.empty();
                             return A.Header.Category < B.Header.Category;
                         }
                         return A.Check->Checked.Score() > B.Check->Checked.Score();
                     });
    std::size_t InCategory = 0;
    for (std::size_t I = 0; I < Site.Entrants.size(); ++I) {
        TEntrant& E = Site.Entrants[I];
        if (E.Header.CheckLog) continue;
        const TEntrant* Before = I ? &Site.Entrants[I - 1] : nullptr;
        if (!Before || Before->Header.Category != E.Header.Category) {
            Site.Categories.push_back(E.Header.Category);
            InCategory = 0;
        }
        ++InCategory;
        E.Rank = InCategory > 1 && Before->Check->Checked.Score() == E.Check->Checked.Score()
                     ? Before->Rank
                     : InCategory;
    }
}

// ---- Text into HTML -------------------------------------------------------

// A log's text in a page: each byte above 127 the Latin-1 character of that
// code, markup characters and quotes escaped, controls as blanks.
std::string Html(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (const char C : Text) {
        const auto Code = static_cast<unsigned char>(C);
        switch (C) {
        case '&':
            Out += "&amp;";
            break;
        case '<':
            Out += "&lt;";
            break;
        case '>':
            Out += "&gt;";
            break;
        case '"':
            Out += "&quot;";
            break;
        case '\'':
            Out += "&#39;";
            break;
        case '\n':
        case '\t':
            Out += C;
            break;
        default:
            if (Code < 0x20 || Code == 0x7F)
                Out += ' ';
            else if (Code < 0x80)
                Out += C;
            else
                Out +=
                    {static_cast<char>(0xC0 | Code >> 6), static_cast<char>(0x80 | (Code & 0x3F))};
        }
    }
    return Out;
}

// The style and the sorting shared by every page: no address outside the page.
constexpr std::string_view PageHead = R"(<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'">
<style>
body { font: 15px/1.4 system-ui, sans-serif; margin: 1.5em; color: #1b1f23; background: #fff; }
h1 { font-size: 1.6em; margin: 0 0 .2em; }
h2 { font-size: 1.15em; margin: 1.4em 0 .4em; }
.lead { color: #555; margin: 0 0 1em; }
.layout { display: flex; flex-wrap: wrap; gap: 0 2.5em; align-items: flex-start; }
.main, .side { flex: 0 1 auto; }
.side { display: flex; flex-wrap: wrap; gap: 0 2.5em; }
.scroll { overflow-x: auto; }
li.sub { margin-left: 1.5em; list-style: circle; }
table { border-collapse: collapse; margin: 0 0 1em; font-variant-numeric: tabular-nums; }
th, td { padding: .25em .55em; border-bottom: 1px solid #e1e4e8; text-align: left; vertical-align: top; white-space: nowrap; }
th { background: #f3f5f7; font-weight: 600; white-space: nowrap; }
td.n, th.n { text-align: right; }
table.sortable th { cursor: pointer; user-select: none; }
table.sortable th[aria-sort=ascending]::after { content: " \25B2"; }
table.sortable th[aria-sort=descending]::after { content: " \25BC"; }
tbody tr:nth-child(even) { background: #fafbfc; }
.flag { display: inline-block; padding: 0 .4em; margin: 0 .2em .1em 0; border-radius: .6em; background: #fde2e1; color: #86181d; font-size: .8em; white-space: nowrap; }
ul.plain { padding-left: 1.2em; margin: 0 0 1em; }
pre { font: 13px/1.35 ui-monospace, monospace; background: #f6f8fa; padding: .6em; overflow-x: auto; white-space: pre-wrap; }
a { color: #0550ae; }
footer { color: #777; font-size: .85em; margin-top: 2em; }
@media print {
  body { margin: 0; font-size: 10pt; color: #000; }
  a { color: #000; text-decoration: none; }
  .layout { display: block; }
  table { page-break-inside: auto; }
  tr { page-break-inside: avoid; }
  th { background: none; }
  tbody tr:nth-child(even) { background: none; }
  table.sortable th::after { content: none !important; }
  .flag { border: 1px solid #000; background: none; color: #000; }
  pre { background: none; }
}
</style>
)";

// Sorts a table by the heading clicked, as numbers where every cell holds one,
// again the other way round on a second click.
constexpr std::string_view SortScript = R"(<script>
(function () {
  function key(cell) { var v = cell.getAttribute('data-v'); return v === null ? cell.textContent.trim() : v; }
  function sortBy(table, column, th) {
    var body = table.tBodies[0], rows = Array.prototype.slice.call(body.rows);
    var numeric = rows.every(function (r) { var k = key(r.cells[column]); return k === '' || !isNaN(Number(k)); });
    var up = th.getAttribute('aria-sort') !== 'ascending';
    rows.sort(function (a, b) {
      var x = key(a.cells[column]), y = key(b.cells[column]);
      var c = numeric ? (x === '' ? Infinity : Number(x)) - (y === '' ? Infinity : Number(y))
                      : x.localeCompare(y);
      return up ? c : -c;
    });
    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (h) { h.removeAttribute('aria-sort'); });
    th.setAttribute('aria-sort', up ? 'ascending' : 'descending');
    rows.forEach(function (r) { body.appendChild(r); });
  }
  Array.prototype.forEach.call(document.querySelectorAll('table.sortable'), function (table) {
    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (th, column) {
      th.addEventListener('click', function () { sortBy(table, column, th); });
    });
  });
})();
</script>
)";

std::string PageStart(const std::string& Title) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n" + std::string(PageHead) + "<title>" +
           Html(Title) + "</title>\n</head>\n<body>\n";
}

std::string Cell(const std::string& Html, bool Number = false) {
    return Number ? "<td class=\"n\">" + Html + "</td>" : "<td>" + Html + "</td>";
}
std::string Cell(std::int64_t Value) {
    return Cell(std::to_string(Value), true);
}

std::string Headings(std::initializer_list<std::pair<const char*, bool>> Names) {
    std::string Row = "<thead><tr>";
    for (const auto& [Name, Number] : Names)
        Row += std::string(Number ? "<th class=\"n\">" : "<th>") + Name + "</th>";
    return Row + "</tr></thead>\n";
}

std::string Flags(const std::vector<std::string>& Flags) {
    std::string Text;
    for (const std::string& F : Flags)
        Text += "<span class=\"flag\">" + Html(F) + "</span>";
    return Text;
}

std::string CallLink(const TEntrant& E) {
    return "<a href=\"" + E.Page + ".html\">" + Html(E.Check->Call) + "</a>";
}

// ---- The first page -------------------------------------------------------

std::string CategoryTable(const TSite& Site, const std::string& Category, std::size_t Number) {
    std::string T = "<h2>" + Html(CategoryShown(Category)) +
                    "</h2>\n<div class=\"scroll\"><table class=\"sortable\" " + "id=\"category-" +
                    std::to_string(Number) + "\">\n" +
                    Headings({{"Rank", true},
                              {"Call", false},
                              {"Name", false},
                              {"Club", false},
                              {"Area", false},
                              {"Claimed QSOs", true},
                              {"QSOs", true},
                              {"Points", true},
                              {"Mults", true},
                              {"Claimed", true},
                              {"Score", true},
                              {"Reduction %", true},
                              {"Errors caused", true},
                              {"Flags", false}}) +
                    "<tbody>\n";
    for (const TEntrant& E : Site.Entrants) {
        if (E.Header.CheckLog || E.Header.Category != Category) continue;
        const TLogCheck& L = *E.Check;
        T += "<tr>" + Cell(static_cast<std::int64_t>(E.Rank)) + Cell(CallLink(E)) +
             Cell(Html(E.Header.Name)) + Cell(Html(E.Header.Club)) + Cell(Html(E.Area)) +
             Cell(L.Claimed.QSOs) + Cell(L.Checked.QSOs) + Cell(L.Checked.Points) +
             Cell(L.Checked.Multipliers) + Cell(L.Claimed.Score()) + Cell(L.Checked.Score()) +
             Cell(PercentText(Reduction(L)), true) +
             Cell(static_cast<std::int64_t>(L.ErrorsCaused)) + Cell(Flags(E.Header.Flags)) +
             "</tr>\n";
    }
    return T + "</tbody>\n</table></div>\n";
}

// The best checked score of each area's ranked entrants.
std::string AreaTable(const TSite& Site) {
    std::map<std::string, std::pair<const TEntrant*, std::size_t>> Best; // winner, entrants
    for (const TEntrant& E : Site.Entrants) {
        if (E.Header.CheckLog || E.Area.empty()) continue;
        auto& [Winner, Count] = Best[E.Area];
        ++Count;
        if (!Winner || E.Check->Checked.Score() > Winner->Check->Checked.Score()) Winner = &E;
    }
    std::string T =
        "<h2>Area winners</h2>\n<div class=\"scroll\"><table class=\"sortable\" id=\"areas\">\n" +
        Headings({{"Area", false},
                  {"Winner", false},
                  {"Category", false},
                  {"Score", true},
                  {"Entrants", true}}) +
        "<tbody>\n";
    for (const auto& [Area, Of] : Best)
        T += "<tr>" + Cell(Html(Area)) + Cell(CallLink(*Of.first)) +
             Cell(Html(CategoryShown(Of.first->Header.Category))) +
             Cell(Of.first->Check->Checked.Score()) + Cell(static_cast<std::int64_t>(Of.second)) +
             "</tr>\n";
    return T + "</tbody>\n</table></div>\n";
}

// Every log's QSO lines by band: logged, credited, lost, dupes, and the logs on it.
std::string BandTable(const TSite& Site) {
    struct TBand {
        std::int64_t Logged = 0, Credited = 0, Dupes = 0;
        std::set<const TLogCheck*> Logs;
    };
    std::map<std::string, TBand> Bands;
    for (const TEntrant& E : Site.Entrants)
        for (const TCheckedQSO& Q : E.Check->Qsos) {
            if (Q.X) continue;
            TBand& B = Bands[Q.Qso->Band];
            ++B.Logged;
            B.Credited += Credited(Q.Status);
            B.Dupes += Q.Status == TCheckStatus::Dupe;
            B.Logs.insert(E.Check);
        }
    // The contest's bands in their order, any other after them.
    std::vector<std::string> Order;
    for (std::string_view Band : BandLabels)
        if (Bands.count(std::string(Band))) Order.emplace_back(Band);
    for (const auto& [Band, Counts] : Bands)
        if (std::find(Order.begin(), Order.end(), Band) == Order.end()) Order.push_back(Band);
    std::string T =
        "<h2>Bands</h2>\n<div class=\"scroll\"><table class=\"sortable\" id=\"bands\">\n" +
        Headings({{"Band", false},
                  {"Logs", true},
                  {"QSOs logged", true},
                  {"Credited", true},
                  {"Lost", true},
                  {"Dupes", true}}) +
        "<tbody>\n";
    for (const std::string& Band : Order) {
        const TBand& B = Bands[Band];
        T += "<tr>" + Cell(Html(Band)) + Cell(static_cast<std::int64_t>(B.Logs.size())) +
             Cell(B.Logged) + Cell(B.Credited) + Cell(B.Logged - B.Credited - B.Dupes) +
             Cell(B.Dupes) + "</tr>\n";
    }
    return T + "</tbody>\n</table></div>\n";
}

std::string IndexPage(const TSite& Site) {
    std::size_t Ranked = 0, CheckLogs = 0;
    for (const TEntrant& E : Site.Entrants)
        (E.Header.CheckLog ? CheckLogs : Ranked) += 1;
    std::string P = PageStart(Site.Title);
    const auto Counted = [](std::size_t N, const char* One, const char* Many) {
        return std::to_string(N) + " " + (N == 1 ? One : Many);
    };
    P += "<header>\n<h1>" + Html(Site.Title) + "</h1>\n<p class=\"lead\">" +
         Counted(Ranked, "entrant", "entrants") + " ranked by checked score, " +
         Counted(CheckLogs, "check log", "check logs") + ", " +
         Counted(Site.NotChecked->size(), "log", "logs") +
         " not checked. Click a call for its report, a heading to sort.</p>\n</header>\n";
    P += "<div class=\"layout\">\n<main class=\"main\">\n";
    for (std::size_t I = 0; I < Site.Categories.size(); ++I)
        P += CategoryTable(Site, Site.Categories[I], I + 1);
    if (Site.Categories.empty()) P += "<p>No entrant to rank.</p>\n";
    P += "</main>\n<aside class=\"side\">\n<section>" + AreaTable(Site) + "</section>\n<section>" +
         BandTable(Site) + "</section>\n";
    P += "<section>\n<h2>Check logs</h2>\n<ul class=\"plain\" id=\"checklogs\">\n";
    for (const TEntrant& E : Site.Entrants)
        if (E.Header.CheckLog) P += "<li>" + CallLink(E) + "</li>\n";
    P += CheckLogs ? "" : "<li>none</li>\n";
    P += "</ul>\n</section>\n<section>\n<h2>Logs not checked</h2>\n<ul class=\"plain\" "
         "id=\"not-checked\">\n";
    for (const TNotChecked& N : *Site.NotChecked)
        P += "<li>" + Html(N.Call.empty() ? fs::path(N.File).filename().string() : N.Call) + ": " +
             Html(N.Reason) + "</li>\n";
    P += Site.NotChecked->empty() ? "<li>none</li>\n" : "";
    P += "</ul>\n</section>\n</aside>\n</div>\n<footer>Checked with brevlund: each log against the "
         "logs of "
         "the stations it worked, and scored again over the QSOs that stood up. Also as "
         "<a href=\"results.csv\">results.csv</a> and <a href=\"results.json\">results.json</a>."
         "</footer>\n";
    return P + std::string(SortScript) + "</body>\n</html>\n";
}

// ---- The entrants' reports ------------------------------------------------

// A report as sections of lines: the same text in CALL.txt and CALL.html.
struct TSection {
    std::string Title;
    std::vector<std::string> Lines;
    bool Table = false; // lines laid out in columns: preformatted
};

std::string Padded(const std::string& Text, std::size_t Width) {
    return PadLeft(Text, Width, ' ');
}

// What the other log shows of a QSO: its line, time, band, mode and what it sent.
std::string OtherSide(const TSite& Site, const TCheckedQSO& Q) {
    if (Q.OtherLog == NoLog) return {};
    const auto It = Site.ByLog.find(Q.OtherLog);
    const std::string Call = It == Site.ByLog.end() ? "" : It->second->Check->Call;
    const TLogQSO* Other = QsoAtLine((*Site.Logs)[Q.OtherLog].Read, Q.OtherLine);
    if (!Other) return Call + "'s line " + std::to_string(Q.OtherLine);
    return Call + "'s line " + std::to_string(Q.OtherLine) + ": " + Other->Date + " " +
           Other->Time + " " + Other->Band + " " + Other->Mode + ", sent \"" + Other->Sent + "\"";
}

// Why a QSO lost credit, in a few words.
std::string LossWhy(const TCheckedQSO& Q) {
    switch (Q.Status) {
    case TCheckStatus::Nil:
        return "not in the log of " + UpperAscii(Q.Qso->Call);
    case TCheckStatus::BustedCall:
        return "the call was " + Q.Correct;
    case TCheckStatus::BustedExchange:
        return "the other station sent \"" + Q.Correct + "\"";
    case TCheckStatus::BustedBand:
        return "the other log has it on " + Q.Correct;
    case TCheckStatus::BustedMode:
        return "the other log has it in " + Q.Correct;
    case TCheckStatus::BustedTime:
        return "the other log has it at " + Q.Correct + " by your clock";
    case TCheckStatus::Self:
        return "your own call";
    case TCheckStatus::OutOfPeriod:
        return "outside the contest period";
    default:
        return StatusName(Q.Status);
    }
}

// The multipliers (band and area) the claimed score counted and the checked
// one did not: both scored again by the engine, the checked over the QSOs
// credited, as the check scores them.
std::vector<std::string> LostMultipliers(const TLogCheck& L, const TAreaList& Areas) {
    TLogScore Claimed(Areas), Checked(Areas);
    for (const TCheckedQSO& Q : L.Qsos) {
        if (Q.X) continue;
        Claimed.Add(*Q.Qso);
        if (Credited(Q.Status)) Checked.Add(*Q.Qso);
    }
    std::vector<std::string> Lost;
    for (const TStatistic& Stat : Claimed.Tally().BandStats) {
        std::vector<std::string> Kept;
        for (const TStatistic& Other : Checked.Tally().BandStats)
            if (Other.Band == Stat.Band) Kept = Checked.AreasOf(Other);
        std::string Line;
        for (const std::string& Area : Claimed.AreasOf(Stat))
            if (std::find(Kept.begin(), Kept.end(), Area) == Kept.end())
                Line += (Line.empty() ? "" : " ") + Area;
        if (!Line.empty()) Lost.push_back(Stat.Band + ": " + Line);
    }
    return Lost;
}

std::vector<TSection> ReportSections(const TSite& Site, const TEntrant& E, const TAreaList& Areas) {
    const TLogCheck& L = *E.Check;
    std::vector<TSection> Report;
    TSection Entry{"Entry", {}};
    Entry.Lines.push_back("Call: " + L.Call + " (" + E.Log->File + ")");
    Entry.Lines.push_back("Category: " + (E.Header.CheckLog ? std::string("CHECKLOG (not ranked)")
                                                            : CategoryShown(E.Header.Category)));
    if (E.Rank)
        Entry.Lines.push_back("Rank: " + std::to_string(E.Rank) + " in " +
                              CategoryShown(E.Header.Category));
    Entry.Lines.push_back("Area: " + (E.Area.empty() ? std::string("none sent") : E.Area));
    for (const auto& [Tag, Value] : {std::pair{"Name", &E.Header.Name},
                                     {"Club", &E.Header.Club},
                                     {"Location", &E.Header.Location}})
        if (!Value->empty()) Entry.Lines.push_back(std::string(Tag) + ": " + *Value);
    Report.push_back(std::move(Entry));

    TSection Score{"Score", {}, true};
    Score.Lines.push_back(std::string(10, ' ') + Padded("QSOs", 7) + Padded("Points", 8) +
                          Padded("Multipliers", 12) + Padded("Score", 12));
    for (const auto& [Name, T] : {std::pair{"Claimed", &L.Claimed}, {"Checked", &L.Checked}})
        Score.Lines.push_back(std::string(Name) + "   " + Padded(std::to_string(T->QSOs), 7) +
                              Padded(std::to_string(T->Points), 8) +
                              Padded(std::to_string(T->Multipliers), 12) +
                              Padded(std::to_string(T->Score()), 12));
    Score.Lines.push_back("Reduction: " + PercentText(Reduction(L)) + "%");
    if (L.PenaltyPoints > 0)
        Score.Lines.push_back("Penalty: " + std::to_string(L.PenaltyPoints) + " points deducted");
    Score.Lines.push_back(
        "Clock: " + (L.ClockOffset == 0 ? std::string("no correction")
                                        : "your times were " + Duration(std::abs(L.ClockOffset)) +
                                              (L.ClockOffset > 0 ? " ahead" : " behind") +
                                              " of the other logs; corrected before matching"));
    Report.push_back(std::move(Score));

    TSection Flagged{"Flags and what the header check found", {}};
    std::string FlagList;
    for (const std::string& F : E.Header.Flags)
        FlagList += (FlagList.empty() ? "" : ", ") + F;
    Flagged.Lines.push_back("Flags: " + (FlagList.empty() ? std::string("none") : FlagList));
    for (const TFinding& F : E.Header.Findings)
        Flagged.Lines.push_back("  " + (F.Flag.empty() ? "" : F.Flag + ": ") + "line " +
                                std::to_string(F.Line) + ": " + F.Message);
    Report.push_back(std::move(Flagged));

    // Lost credit by status, in the order the statuses are told.
    TSection Lost{"QSOs that lost credit", {}};
    for (TCheckStatus S :
         {TCheckStatus::Nil, TCheckStatus::BustedCall, TCheckStatus::BustedExchange,
          TCheckStatus::BustedBand, TCheckStatus::BustedMode, TCheckStatus::BustedTime,
          TCheckStatus::OutOfPeriod, TCheckStatus::Self}) {
        const std::size_t Count = L.Count(S);
        if (Count == 0) continue;
        Lost.Lines.push_back(std::string(StatusName(S)) + " (" + std::to_string(Count) + "):");
        for (const TCheckedQSO& Q : L.Qsos) {
            if (Q.Status != S) continue;
            const std::string Other = OtherSide(Site, Q);
            Lost.Lines.push_back("  line " + std::to_string(Q.Qso->Line) + ": " + Logged(*Q.Qso) +
                                 ", sent \"" + Q.Qso->Sent + "\": " + LossWhy(Q) +
                                 (Other.empty() ? "" : "; " + Other));
        }
    }
    Report.push_back(std::move(Lost));

    TSection Dupes{"Duplicates (they scored nothing, so they cost nothing)", {}};
    TSection Uniques{"Uniques (credited; no other log holds the call)", {}};
    TSection Unverified{"Unverified (credited; the other log could not be read there)", {}};
    for (const TCheckedQSO& Q : L.Qsos) {
        const std::string Line = "line " + std::to_string(Q.Qso->Line) + ": " + Logged(*Q.Qso);
        if (Q.Status == TCheckStatus::Dupe) Dupes.Lines.push_back(Line);
        if (Q.Status == TCheckStatus::Unique) Uniques.Lines.push_back(Line);
        if (Q.Status == TCheckStatus::Unverified)
            Unverified.Lines.push_back(Line + "; " + OtherSide(Site, Q) + " could not be read");
    }
    Report.push_back(std::move(Dupes));
    Report.push_back(std::move(Uniques));
    Report.push_back(std::move(Unverified));
    Report.push_back({"Multipliers lost (band: areas)", LostMultipliers(L, Areas)});

    TSection Caused{"Errors caused (QSOs in other logs that lost credit through your log)", {}};
    for (const TCausedError& C : L.Caused) {
        const auto It = Site.ByLog.find(C.Log);
        const TLogQSO* Q = QsoAtLine((*Site.Logs)[C.Log].Read, C.Line);
        Caused.Lines.push_back(
            (It == Site.ByLog.end() ? std::string() : It->second->Check->Call) + "'s line " +
            std::to_string(C.Line) + ": " + (Q ? Logged(*Q) : std::string()) + ": " +
            StatusName(C.Status) +
            (C.OwnLine ? " (your line " + std::to_string(C.OwnLine) + ")" : std::string()));
    }
    Report.push_back(std::move(Caused));
    if (!E.Header.Soapbox.empty()) {
        TSection Soapbox{"Soapbox", {}};
        for (std::size_t Start = 0, End = 0; End != std::string::npos; Start = End + 1) {
            End = E.Header.Soapbox.find('\n', Start);
            Soapbox.Lines.push_back(E.Header.Soapbox.substr(Start, End - Start));
        }
        Report.push_back(std::move(Soapbox));
    }
    return Report;
}

std::string ReportTitle(const TSite& Site, const TEntrant& E) {
    return Site.Contest + ": the checked log of " + E.Check->Call;
}

std::string ReportText(const TSite& Site, const std::vector<TSection>& Report, const TEntrant& E) {
    std::string Text = ReportTitle(Site, E) + "\n";
    for (const TSection& S : Report) {
        Text += "\n" + S.Title + ":\n";
        for (const std::string& Line : S.Lines)
            Text += "  " + Line + "\n";
        if (S.Lines.empty()) Text += "  none\n";
    }
    return Text;
}

std::string ReportPage(const TSite& Site, const std::vector<TSection>& Report, const TEntrant& E) {
    std::string P = PageStart(ReportTitle(Site, E));
    P += "<p><a href=\"index.html\">" + Html(Site.Title) + "</a></p>\n<h1>" +
         Html(ReportTitle(Site, E)) + "</h1>\n";
    for (const TSection& S : Report) {
        P += "<h2>" + Html(S.Title) + "</h2>\n";
        if (S.Table || S.Title == "Soapbox") {
            P += "<pre>";
            for (const std::string& Line : S.Lines)
                P += Html(Line) + "\n";
            P += "</pre>\n";
            continue;
        }
        P += "<ul class=\"plain\">\n";
        for (const std::string& Line : S.Lines)
            P += (Line.rfind("  ", 0) == 0 ? "<li class=\"sub\">" : "<li>") + Html(Trim(Line)) +
                 "</li>\n";
        P += S.Lines.empty() ? "<li>none</li>\n</ul>\n" : "</ul>\n";
    }
    return P + "<footer>Also as <a href=\"" + E.Page + ".txt\">" + E.Page +
           ".txt</a>.</footer>\n</body>\n</html>\n";
}

// ---- results.json and results.csv -----------------------------------------

TJson Totals(const TTotals& T) {
    TJson J;
    J["qsos"] = T.QSOs;
    J["points"] = T.Points;
    J["multipliers"] = T.Multipliers;
    J["score"] = T.Score();
    return J;
}

std::string ResultsJson(const TSite& Site) {
    TJson Entrants = TJson::array(), CheckLogs = TJson::array(), NotChecked = TJson::array();
    for (const TEntrant& E : Site.Entrants) {
        if (E.Header.CheckLog) {
            CheckLogs.push_back(Latin1(E.Check->Call));
            continue;
        }
        TJson J;
        J["call"] = Latin1(E.Check->Call);
        J["category"] = Latin1(E.Header.Category);
        J["area"] = Latin1(E.Area);
        J["rank"] = E.Rank;
        J["claimed"] = Totals(E.Check->Claimed);
        J["checked"] = Totals(E.Check->Checked);
        J["reduction_percent"] = Reduction(*E.Check);
        J["flags"] = Latin1List(E.Header.Flags);
        J["errors_caused"] = E.Check->ErrorsCaused;
        J["name"] = Latin1(E.Header.Name);
        J["club"] = Latin1(E.Header.Club);
        J["location"] = Latin1(E.Header.Location);
        J["file"] = Latin1(E.Log->File);
        J["report"] = E.Page + ".html";
        Entrants.push_back(std::move(J));
    }
    for (const TNotChecked& N : *Site.NotChecked)
        NotChecked.push_back(
            {{"call", Latin1(N.Call)}, {"file", Latin1(N.File)}, {"reason", Latin1(N.Reason)}});
    TJson Root;
    Root["entrants"] = std::move(Entrants);
    Root["checklogs"] = std::move(CheckLogs);
    Root["not_checked"] = std::move(NotChecked);
    return Dump(Root) + "\n";
}

std::string ResultsCsv(const TSite& Site) {
    std::string Csv = "call,category,area,rank,claimed_qsos,claimed_points,claimed_multipliers,"
                      "claimed_score,checked_qsos,checked_points,checked_multipliers,"
                      "checked_score,reduction_percent,flags,errors_caused,name,club,location,"
                      "file,status,reason\n";
    const auto Row = [&](const TEntrant& E, const char* Status) {
        const TLogCheck& L = *E.Check;
        std::string Flags;
        for (const std::string& F : E.Header.Flags)
            Flags += (Flags.empty() ? "" : " ") + F;
        Csv += CsvField(L.Call) + "," +
               CsvField(E.Header.CheckLog ? "CHECKLOG" : E.Header.Category) + "," +
               CsvField(E.Area) + "," + (E.Rank ? std::to_string(E.Rank) : "");
        for (const TTotals* T : {&L.Claimed, &L.Checked})
            Csv += "," + std::to_string(T->QSOs) + "," + std::to_string(T->Points) + "," +
                   std::to_string(T->Multipliers) + "," + std::to_string(T->Score());
        Csv += "," + PercentText(Reduction(L)) + "," + CsvField(Flags) + "," +
               std::to_string(L.ErrorsCaused) + "," + CsvField(E.Header.Name) + "," +
               CsvField(E.Header.Club) + "," + CsvField(E.Header.Location) + "," +
               CsvField(E.Log->File) + "," + Status + ",\n";
    };
    for (const TEntrant& E : Site.Entrants)
        Row(E, E.Header.CheckLog ? "checklog" : "ranked");
    for (const TNotChecked& N : *Site.NotChecked)
        Csv += CsvField(N.Call) + std::string(17, ',') + "," + CsvField(N.File) + ",not-checked," +
               CsvField(N.Reason) + "\n";
    return Csv;
}

bool Write(const fs::path& Path, const std::string& Text, std::ostream& Err) {
    std::ofstream File(Path, std::ios::binary);
    File << Text;
    File.close();
    if (!File) {
        Err << "brevlund: cannot write " << Path.string() << "\n";
        return false;
    }
    return true;
}

} // namespace

int Results(const TResultsOptions& O, std::ostream& Out, std::ostream& Err) {
    const TCheckRun Run = RunCheck(O.Check, Err);
    const std::string Folder = O.Check.OutDir.empty() ? "results" : O.Check.OutDir;

    TSite Site;
    Site.Contest = ContestTitle(O.Check.Contest);
    Site.Title = O.Title.empty() ? Site.Contest + ": results" : O.Title;
    Site.NotChecked = &Run.NotChecked;
    Site.Logs = &Run.Logs;
    for (const TLogCheck& L : Run.Result.Logs) {
        TEntrant E;
        E.Check = &L;
        E.Log = &Run.Logs[L.Log];
        E.Header = Declared(*E.Log, L, O.Check.Contest, Run.NoAreaList);
        E.Area = SentArea(O.Check.Contest, E.Log->Read.QSOs);
        Site.Entrants.push_back(std::move(E));
    }
    Rank(Site);
    // The site's own files first, so that no call's report takes their names
    // where a file system does not tell capitals from small letters.
    TCallFileNames Names;
    Names.Take("INDEX");
    Names.Take("RESULTS");
    for (TEntrant& E : Site.Entrants) {
        E.Page = Names.Take(E.Check->Call);
        Site.ByLog[E.Check->Log] = &E;
    }

    std::error_code Code;
    fs::create_directories(Folder, Code);
    if (Code || !fs::is_directory(Folder, Code)) {
        Err << "brevlund: cannot make the folder " << Folder << "\n";
        return 2;
    }
    const fs::path To(Folder);
    for (const TEntrant& E : Site.Entrants) {
        const std::vector<TSection> Report = ReportSections(Site, E, Run.Areas);
        if (!Write(To / (E.Page + ".txt"), ReportText(Site, Report, E), Err) ||
            !Write(To / (E.Page + ".html"), ReportPage(Site, Report, E), Err))
            return 2;
    }
    if (!Write(To / "index.html", IndexPage(Site), Err) ||
        !Write(To / "results.json", ResultsJson(Site), Err) ||
        !Write(To / "results.csv", ResultsCsv(Site), Err))
        return 2;
    Out << "Results of " << Site.Entrants.size() << " checked logs (" << Run.NotChecked.size()
        << " not checked): " << (To / "index.html").string() << "\n";
    return Run.Unread ? 1 : 0;
}

} // namespace brevlund::cli
