#include "data02/reports/Rpt_gen.h"

#include <cstdio>
#include <system_error>

#include "data02/diag/Status.h"
#include "data02/league/Listhelp.h"
#include "data02/model/Pro.h"
#include "data02/reports/Report.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace qff {

std::string colourText(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu,
                  (colour >> 16) & 0xFFu);
    return text;
}

ReportStyle ReportStyle::fromPreferences(const Preferences& preferences) {
    ReportStyle style;
    style.border = preferences.get(kPrefReportBorder);
    style.alternateRows = preferences.get(kPrefAlternateRows) != 0;
    style.background = preferences.getText(kPrefBackgroundImage);
    if (preferences.get(kPrefReportColour) != 0) {
        auto colour = [&](int id) { return static_cast<std::uint32_t>(preferences.get(id)); };
        style.headerColour = colourText(colour(kPrefHeaderColour));
        style.bodyColour = colourText(colour(kPrefBodyColour));
        style.totalsColour = colourText(colour(kPrefTotalsColour));
        style.headerText = colour(kPrefHeaderTextColour);
        style.bodyText = colour(kPrefBodyTextColour);
        style.totalsText = colour(kPrefTotalsTextColour);
    }
    return style;
}

std::filesystem::path PagePath::relative() const {
    std::filesystem::path path;
    for (const std::string& folder : folders) {
        path /= safeFileName(folder, true);
    }
    return path / safeFileName(fileName, true);
}

ReportGenerator::ReportGenerator(Singleton& context) : context_(context) {}

ReportGenerator::~ReportGenerator() {
    abandonPage();
    dropMemoryPage();
}

void ReportGenerator::readStyle() {
    style_ = ReportStyle::fromPreferences(context_.preferences());
}

int ReportGenerator::openPage(std::string_view title, const PagePath& path) {
    if (pageOpen()) {
        closePage();
    }
    dropMemoryPage();
    readStyle();
    pagePath_ = context_.workdir() / path.relative();
    staged_ = StagedWrite::beside(pagePath_, kPartialSuffix);
    std::error_code error;
    std::filesystem::create_directories(pagePath_.parent_path(), error);
    file_.open(staged_->temporary(), std::ios::binary | std::ios::trunc);
    if (!file_.is_open()) {
        return kFailed;
    }
    writer_.emplace();
    writer_->setOutput(&file_);
    writer_->beginDocument(title, style_.background);
    return kOk;
}

void ReportGenerator::openMemoryPage(std::string_view title) {
    if (pageOpen()) {
        closePage();
    }
    dropMemoryPage();
    readStyle();
    memory_.emplace();
    writer_.emplace();
    writer_->setOutput(&*memory_);
    writer_->beginDocument(title, style_.background);
}

std::string ReportGenerator::closeMemoryPage() {
    if (!memory_) {
        return {};
    }
    writer_->endDocument();
    std::string text = memory_->str();
    dropMemoryPage();
    return text;
}

void ReportGenerator::dropMemoryPage() {
    if (memory_) {
        writer_.reset();
        memory_.reset();
    }
}

int ReportGenerator::closePage() {
    if (!pageOpen()) {
        return kFailed;
    }
    writer_->endDocument();
    file_.flush();
    bool written = !writer_->failed() && file_.good();
    file_.close();
    writer_.reset();
    if (!written || file_.fail()) {
        staged_->discard();
        return kFailed;
    }
    std::error_code error;
    return staged_->replaceTarget(error) ? kOk : kFailed;
}

void ReportGenerator::abandonPage() {
    if (!pageOpen()) {
        return;
    }
    writer_.reset();
    file_.close();
    staged_->discard();
}

void ReportGenerator::setWeeks(int first, int last) {
    firstWeek_ = first;
    lastWeek_ = last;
}

int ReportGenerator::seasonWeeks() const {
    return context_.pro().weeks();
}

int ReportGenerator::valueWeek() const {
    return firstWeek_ == lastWeek_ ? firstWeek_ : kAllWeeks;
}

void ReportGenerator::beginHeaderRow() {
    out().beginRow(style_.headerColour);
    out().setTextColor(style_.headerText);
}

void ReportGenerator::endHeaderRow() {
    out().endRow();
    out().setTextColor(0);
}

void ReportGenerator::beginBodyRow() {
    out().beginRow(colourNextRow_ ? style_.bodyColour : std::string());
    if (style_.alternateRows) {
        colourNextRow_ = !colourNextRow_;
    }
    out().setTextColor(style_.bodyText);
}

void ReportGenerator::endBodyRow() {
    out().endRow();
}

std::string ReportGenerator::weekCaption() const {
    if (firstWeek_ == lastWeek_) {
        return "Week " + std::to_string(firstWeek_ + 1);
    }
    if (firstWeek_ == 0 && lastWeek_ == seasonWeeks() - 1) {
        return "Season Totals";
    }
    return "Weeks " + std::to_string(firstWeek_ + 1) + " to " + std::to_string(lastWeek_ + 1);
}

void ReportGenerator::writeTitleBlock(const Report& report) {
    out().beginCenter();
    out().heading(2, 2, report.text(kReportHeader));
    out().writeStyled(weekCaption(), true, false, false, true);
    out().paragraph();
    out().endCenter();
}

void ReportGenerator::writeHeaderRows(const Report& report) {
    beginHeaderRow();
    for (int i = 0; i < kMaxReportSections; ++i) {
        ReportSection section = report.section(i);
        if (section.inUse()) {
            out().headerCell(section.title, section.last - section.first + 1, 1);
        }
    }
    endHeaderRow();
    beginHeaderRow();
    for (int i = 0; i < report.columnCount(); ++i) {
        out().headerCell(report.column(i).header);
    }
    endHeaderRow();
}

void ReportGenerator::clearTotals() {
    totals_.fill(std::nullopt);
}

void ReportGenerator::addToTotal(int column, std::int64_t value) {
    if (column >= 0 && column < static_cast<int>(totals_.size())) {
        totals_[column] = totals_[column].value_or(0) + value;
    }
}

std::optional<std::int64_t> ReportGenerator::total(int column) const {
    if (column < 0 || column >= static_cast<int>(totals_.size())) {
        return std::nullopt;
    }
    return totals_[column];
}

void ReportGenerator::writeTotalsRow(int columnCount) {
    int first = 0;
    while (first < columnCount && !totals_[first]) {
        ++first;
    }
    if (first >= columnCount) {
        return;
    }
    out().beginRow(style_.totalsColour);
    out().setTextColor(style_.totalsText);
    if (first == 0) {
        out().beginCell();
        out().writeStyled("Totals:", false, true, false, false);
        out().writeNumber(*totals_[0], false);
        out().endCell();
    } else {
        out().beginCell(first, 1);
        out().writeStyled("Totals:", false, true, false, true);
        out().endCell();
        out().cellNumber(*totals_[first]);
    }
    for (int column = first + 1; column < columnCount; ++column) {
        if (totals_[column]) {
            out().cellNumber(*totals_[column]);
        } else {
            out().cell("");
        }
    }
    out().endRow();
    out().setTextColor(0);
}

}  // namespace qff
