#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data02/reports/Export.h"
#include "data02/season/Prefs.h"
#include "data02/storage/Files.h"

namespace qff {

class Singleton;
class Preferences;
class Player;
class Report;
class Team;

// Results of a run beyond kOk and kFailed: a report pack met again, or too
// many packs expanded in one run.
inline constexpr int kReportPackRepeated = 7;

// What a run tells the user when it cannot go ahead.
inline constexpr const char* kReportNotFoundMessage = "CRITICAL - Failed to locate report object";
inline constexpr const char* kNoScoringMessage = "CRITICAL - Failed to load scoring system";
inline constexpr const char* kNoScheduleMessage =
    "This report cannot be generated at this time. No head to head schedule available.";
inline constexpr const char* kFranchiseGoneMessage =
    "The franchise this reports uses is no longer available.";

// How pages look, read from the preferences whenever a page or report starts.
struct ReportStyle {
    int border = 0;
    // Row colours as "#RRGGBB"; empty without colour.
    std::string headerColour;
    std::string bodyColour;
    std::string totalsColour;
    // Text colours for the writer; 0 without colour.
    std::uint32_t headerText = 0;
    std::uint32_t bodyText = 0;
    std::uint32_t totalsText = 0;
    bool alternateRows = false;
    std::string background;

    static ReportStyle fromPreferences(const Preferences& preferences);
};

// "#RRGGBB" of a 0x00BBGGRR colour.
std::string colourText(std::uint32_t colour);

// Where a page goes, below the working directory: folders, then the file
// name. Each part is cleaned on its own, so no name can lead out of the
// working directory.
struct PagePath {
    std::vector<std::string> folders;
    std::string fileName;

    // The cleaned path relative to the working directory.
    std::filesystem::path relative() const;
};

// Turns report definitions into HTML pages: one page open at a time,
// written under a temporary name and put in place only when every byte of
// it was written.
class ReportGenerator {
  public:
    explicit ReportGenerator(Singleton& context);
    // A page still open is abandoned: only closePage puts a page in place.
    ~ReportGenerator();
    ReportGenerator(const ReportGenerator&) = delete;
    ReportGenerator& operator=(const ReportGenerator&) = delete;

    // Closes a page still open, reads the style, creates the folders and
    // starts the document. kFailed when the file cannot be created.
    int openPage(std::string_view title, const PagePath& path);
    // Ends the document and puts the page in place. kFailed (and no page)
    // when any write failed or the page could not be moved into place.
    int closePage();
    // Starts a page kept in memory, for a window that shows it at once and
    // has no use for a file; a page still open is closed first.
    void openMemoryPage(std::string_view title);
    // Ends the in-memory page and hands over its text; empty without one.
    std::string closeMemoryPage();
    bool pageOpen() const { return file_.is_open(); }
    // The full path of the page being written or last put in place.
    const std::filesystem::path& pagePath() const { return pagePath_; }

    // ---- shared by every page

    Singleton& context() { return context_; }
    // Without an open page a writer that writes nothing.
    Export& out() { return writer_ ? *writer_ : idle_; }
    const ReportStyle& style() const { return style_; }
    void readStyle();

    int firstWeek() const { return firstWeek_; }
    int lastWeek() const { return lastWeek_; }
    void setWeeks(int first, int last);
    // Weeks of play of the open season.
    int seasonWeeks() const;
    bool coversSeason() const { return firstWeek_ == 0 && lastWeek_ == seasonWeeks() - 1; }
    // The week argument of a value: the week of a one-week run, else the
    // whole season.
    int valueWeek() const;

    // A row in the header colour with the header text colour; the text
    // colour is none again after the row.
    void beginHeaderRow();
    void endHeaderRow();
    // A row in the body colour, or every other one when rows alternate.
    void beginBodyRow();
    void endBodyRow();
    // The next body row is coloured.
    void resetRowColours() { colourNextRow_ = true; }

    // The centred header text, the week caption and a paragraph mark.
    void writeTitleBlock(const Report& report);
    // "Week 3", "Weeks 3 to 5" or "Season Totals".
    std::string weekCaption() const;
    // The section row and the column-header row.
    void writeHeaderRows(const Report& report);

    // Totals add up in 64 bits, so a column of large values never wraps.
    void clearTotals();
    void addToTotal(int column, std::int64_t value);
    std::optional<std::int64_t> total(int column) const;
    // Nothing when no column has a total.
    void writeTotalsRow(int columnCount);

    // ---- runs into the open page

    // A report or a report pack, over weeks first to last (0-based). kOk,
    // kFailed, or kReportPackRepeated when a pack came round again or too
    // many packs nested; the pack's other members are written all the same.
    int runReport(Report& report, int first, int last);
    // The overview pages of one object; each covers the whole season.
    int runPlayerOverview(const Report& report, const Player& player);
    int runFranchiseOverview(Report& report, const Team& franchise);
    int runNflOverview(const Report& report, int nflTeam);
    // The report's two header rows alone, as the report assistant shows them.
    void writeHeaderPreview(const Report& report);
    // Every page with `extension` in the folders below the working directory.
    void writeSiteMap(std::string_view extension);

    // False, with message() saying why, when the report cannot be made now:
    // a head-to-head page without a schedule, a draft-day page without the
    // picks it needs, or a roster report whose franchise is gone.
    bool readyToRun(const Report& report);
    // Why the last run or check refused; empty when it had nothing to say.
    // Built-in pages leave theirs here too.
    const std::string& message() const { return message_; }
    void setMessage(std::string message) { message_ = std::move(message); }

  private:
    void abandonPage();
    void dropMemoryPage();
    // The start of every report: its style, no totals, a coloured first row.
    void startReport();
    int runPack(const Report& pack, int first, int last);
    int runColumnReport(Report& report);

    Singleton& context_;
    std::optional<ExportHTML> writer_;
    ExportHTML idle_;
    std::ofstream file_;
    std::filesystem::path pagePath_;
    std::optional<StagedWrite> staged_;
    std::optional<std::ostringstream> memory_;
    ReportStyle style_;
    int firstWeek_ = 0;
    int lastWeek_ = 0;
    bool colourNextRow_ = true;
    // A column without a total is empty, so a real sum of any value can
    // never be mistaken for "no total".
    std::array<std::optional<std::int64_t>, 64> totals_{};
    // Packs expanded in the current run, so a pack met again ends.
    std::vector<int> expandedPacks_;
    int packDepth_ = 0;
    std::string message_;
};

}  // namespace qff
