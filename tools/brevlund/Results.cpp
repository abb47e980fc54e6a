#include "Results.h"

#include "CrossCheck.h"
#include "Diagnostics.h"
#include "EntrantReport.h"
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
#include <tuple>

namespace brevlund::cli {

namespace {

namespace fs = std::filesystem;
using logformats::TLogQSO;

// One entrant's results: a checked log, ranked in its category unless it is a
// check log.
struct TEntrant {
    const TLogCheck* Check = nullptr;
    const TCrossLog* Log = nullptr;
    TEntry Header;
    std::string Page; // the report's name without extension
};

double Reduction(const TLogCheck& L) {
    return ReductionPercent(L.Claimed.Score(), L.Checked.Score());
}

// The category as shown: its words, or what stands for none.
std::string CategoryShown(const std::string& Category) {
    return Category.empty() ? "No category given" : Category;
}

struct TSite {
    std::string Title, Contest;
    bool NoAreaList = false;             // no multiplier counted: every score is 0
    std::vector<TEntrant> Entrants;      // ranked ones by category, then rank; check logs last
    std::vector<std::string> Categories; // in the order shown
    const std::vector<TNotChecked>* NotChecked = nullptr;
    const std::vector<TCrossLog>* Logs = nullptr;
    std::map<std::size_t, const TEntrant*> ByLog; // by input log
};

// Ranks by checked score within each category, equal scores sharing a rank.
// The categories with most entrants come first: a category that one odd
// header makes up is not to head the page. A log without one comes last.
void Rank(TSite& Site) {
    std::map<std::string, std::size_t> Size;
    for (const TEntrant& E : Site.Entrants)
        if (!E.Header.CheckLog) ++Size[E.Header.Category];
    std::stable_sort(Site.Entrants.begin(), Site.Entrants.end(),
                     [&](const TEntrant& A, const TEntrant& B) {
                         if (A.Header.CheckLog != B.Header.CheckLog) return B.Header.CheckLog;
                         const std::string &X = A.Header.Category, &Y = B.Header.Category;
                         if (X != Y) {
                             if (X.empty() || Y.empty()) return Y.empty();
                             if (Size[X] != Size[Y]) return Size[X] > Size[Y];
                             return X < Y;
                         }
                         // Equal scores share a rank; the more points and QSOs
                         // stand first (all scores are 0 where no area list
                         // let a multiplier count).
                         const TTotals &P = A.Check->Checked, &Q = B.Check->Checked;
                         return std::tuple(P.Score(), P.Points, P.QSOs) >
                                std::tuple(Q.Score(), Q.Points, Q.QSOs);
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
        E.Header.Rank = InCategory > 1 && Before->Check->Checked.Score() == E.Check->Checked.Score()
                            ? Before->Header.Rank
                            : InCategory;
    }
}

// ---- Text into HTML -------------------------------------------------------

// A log's text in a page: in UTF-8 as LogTextToUtf8 reads it, markup
// characters and quotes escaped, controls as blanks.
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
            Out += Code < 0x20 || Code == 0x7F ? ' ' : C;
        }
    }
    return LogTextToUtf8(Out);
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
.flag.note { background: #fff5d6; color: #6a4b00; }
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

// The flags, and beside them how many other faults the header check found (a
// category value outside Cabrillo's lists, say), which the report names.
std::string Flags(const TEntry& Entry) {
    std::string Text;
    for (TEntryFlag F : Entry.Flags)
        Text += "<span class=\"flag\">" + std::string(EntryFlagName(F)) + "</span>";
    const auto Other = std::count_if(Entry.Findings.begin(), Entry.Findings.end(),
                                     [](const TEntryFinding& F) { return !F.Flag; });
    if (Other > 0)
        Text += "<span class=\"flag note\" title=\"in the entrant's report\">header: " +
                std::to_string(Other) + "</span>";
    return Text;
}

std::vector<std::string> FlagNames(const std::vector<TEntryFlag>& Flags) {
    std::vector<std::string> Names;
    for (TEntryFlag F : Flags)
        Names.emplace_back(EntryFlagName(F));
    return Names;
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
                              {"Claimed<br>QSOs", true},
                              {"Claimed<br>points", true},
                              {"Claimed<br>mults", true},
                              {"Claimed<br>score", true},
                              {"QSOs", true},
                              {"Points", true},
                              {"Mults", true},
                              {"Score", true},
                              {"Reduction<br>%", true},
                              {"Errors<br>caused", true},
                              {"Flags", false}}) +
                    "<tbody>\n";
    for (const TEntrant& E : Site.Entrants) {
        if (E.Header.CheckLog || E.Header.Category != Category) continue;
        const TLogCheck& L = *E.Check;
        T += "<tr>" + Cell(static_cast<std::int64_t>(E.Header.Rank)) + Cell(CallLink(E)) +
             Cell(Html(E.Header.Name)) + Cell(Html(E.Header.Club)) + Cell(Html(E.Header.Area)) +
             Cell(L.Claimed.QSOs) + Cell(L.Claimed.Points) + Cell(L.Claimed.Multipliers) +
             Cell(L.Claimed.Score()) + Cell(L.Checked.QSOs) + Cell(L.Checked.Points) +
             Cell(L.Checked.Multipliers) + Cell(L.Checked.Score()) +
             Cell(PercentText(Reduction(L)), true) +
             Cell(static_cast<std::int64_t>(L.ErrorsCaused)) + Cell(Flags(E.Header)) + "</tr>\n";
    }
    return T + "</tbody>\n</table></div>\n";
}

// The best checked score of each area's ranked entrants.
std::string AreaTable(const TSite& Site) {
    std::map<std::string, std::pair<const TEntrant*, std::size_t>> Best; // winner, entrants
    for (const TEntrant& E : Site.Entrants) {
        if (E.Header.CheckLog || E.Header.Area.empty()) continue;
        auto& [Winner, Count] = Best[E.Header.Area];
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
         " not checked. Click a call for its report, a heading to sort.</p>\n";
    if (Site.NoAreaList)
        P += "<p class=\"lead\">No area list was given or found beside the logs: no multiplier "
             "counted, so every score is 0 and the entrants stand by their points.</p>\n";
    P += "</header>\n";
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

std::string ReportPage(const TSite& Site, const TEntrantReport& Report, const TEntrant& E) {
    std::string P = PageStart(Report.Title);
    P += "<p><a href=\"index.html\">" + Html(Site.Title) + "</a></p>\n<h1>" + Html(Report.Title) +
         "</h1>\n";
    for (const TReportSection& S : Report.Sections) {
        P += "<h2>" + Html(S.Title) + "</h2>\n";
        if (S.Preformatted) {
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

std::string ResultsJson(const TSite& Site) {
    TJson Entrants = TJson::array(), CheckLogs = TJson::array(), NotChecked = TJson::array();
    for (const TEntrant& E : Site.Entrants) {
        if (E.Header.CheckLog) {
            CheckLogs.push_back(LogText(E.Check->Call));
            continue;
        }
        TJson J;
        J["call"] = LogText(E.Check->Call);
        J["category"] = LogText(E.Header.Category);
        J["area"] = LogText(E.Header.Area);
        J["rank"] = E.Header.Rank;
        J["claimed"] = TotalsJson(E.Check->Claimed);
        J["checked"] = TotalsJson(E.Check->Checked);
        J["reduction_percent"] = Reduction(*E.Check);
        J["flags"] = LogTextList(FlagNames(E.Header.Flags));
        J["errors_caused"] = E.Check->ErrorsCaused;
        J["name"] = LogText(E.Header.Name);
        J["club"] = LogText(E.Header.Club);
        J["location"] = LogText(E.Header.Location);
        J["file"] = LogText(E.Log->File);
        J["report"] = E.Page + ".html";
        Entrants.push_back(std::move(J));
    }
    for (const TNotChecked& N : *Site.NotChecked)
        NotChecked.push_back(
            {{"call", LogText(N.Call)}, {"file", LogText(N.File)}, {"reason", LogText(N.Reason)}});
    TJson Root;
    Root["entrants"] = std::move(Entrants);
    Root["checklogs"] = std::move(CheckLogs);
    Root["not_checked"] = std::move(NotChecked);
    return Dump(Root) + "\n";
}

std::string ResultsCsv(const TSite& Site) {
    constexpr std::string_view Header =
        "call,category,area,rank,claimed_qsos,claimed_points,claimed_multipliers,"
        "claimed_score,checked_qsos,checked_points,checked_multipliers,"
        "checked_score,reduction_percent,flags,errors_caused,name,club,location,"
        "file,status,reason";
    std::string Csv = std::string(Header) + "\n";
    // Each text in UTF-8 as in results.json: one file, one encoding, whatever
    // each log was written in.
    const auto Field = [](const std::string& Text) { return CsvField(LogTextToUtf8(Text)); };
    const auto Row = [&](const TEntrant& E, const char* Status) {
        const TLogCheck& L = *E.Check;
        std::string Flags;
        for (const std::string& F : FlagNames(E.Header.Flags))
            Flags += (Flags.empty() ? "" : " ") + F;
        Csv += Field(L.Call) + "," + Field(E.Header.CheckLog ? "CHECKLOG" : E.Header.Category) +
               "," + Field(E.Header.Area) + "," +
               (E.Header.Rank ? std::to_string(E.Header.Rank) : "");
        for (const TTotals* T : {&L.Claimed, &L.Checked})
            Csv += "," + std::to_string(T->QSOs) + "," + std::to_string(T->Points) + "," +
                   std::to_string(T->Multipliers) + "," + std::to_string(T->Score());
        Csv += "," + PercentText(Reduction(L)) + "," + Field(Flags) + "," +
               std::to_string(L.ErrorsCaused) + "," + Field(E.Header.Name) + "," +
               Field(E.Header.Club) + "," + Field(E.Header.Location) + "," + Field(E.Log->File) +
               "," + Status + ",\n";
    };
    for (const TEntrant& E : Site.Entrants)
        Row(E, E.Header.CheckLog ? "checklog" : "ranked");
    for (const TNotChecked& N : *Site.NotChecked)
        // Empty fields but for the call, the file, the status and the reason.
        Csv +=
            Field(N.Call) +
            std::string(static_cast<std::size_t>(std::count(Header.begin(), Header.end(), ',') - 3),
                        ',') +
            "," + Field(N.File) + ",not-checked," + Field(N.Reason) + "\n";
    return Csv;
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
    Site.NoAreaList = Run.NoAreaList;
    for (const TLogCheck& L : Run.Result.Logs) {
        TEntrant E;
        E.Check = &L;
        E.Log = &Run.Logs[L.Log];
        E.Header = EntryOf(Run, L, O.Check.Contest);
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
    const TEntrantReports Reports(Run, O.Check);
    for (const TEntrant& E : Site.Entrants) {
        const TEntrantReport Report = Reports.Of(*E.Check, E.Header);
        if (!WriteFile(To / (E.Page + ".txt"), ReportText(Report), Err) ||
            !WriteFile(To / (E.Page + ".html"), ReportPage(Site, Report, E), Err))
            return 2;
    }
    if (!WriteFile(To / "index.html", IndexPage(Site), Err) ||
        !WriteFile(To / "results.json", ResultsJson(Site), Err) ||
        !WriteFile(To / "results.csv", ResultsCsv(Site), Err))
        return 2;
    Out << "Results of " << Site.Entrants.size() << " checked logs (" << Run.NotChecked.size()
        << " not checked): " << (To / "index.html").string() << "\n";
    return Run.Unread ? 1 : 0;
}

} // namespace brevlund::cli
