#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/intake/StatsSession.h"
#include "app/widgets/SeasonForm.h"
#include "data02/intake/StatsWeeks.h"

namespace Ui {
class TformNFLStats;
}

// The weekly statistics of the open season, week by week: whether the
// statistics server offers them, whether they were downloaded and whether
// they are merged completely. "&G O !" downloads the chosen weeks, merges
// them or a file chosen by hand, runs the roster update when asked and
// offers the reports. The server is asked once the window is shown, behind
// the busy cursor; without an answer the window still merges a local file.
class TformNFLStats : public SeasonForm {
    Q_OBJECT

  public:
    TformNFLStats(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformNFLStats() override;

    // Shows the season afresh, and asks the server again when another one
    // was named since.
    void reload() override;
    // Whether the server has been asked for its weeks yet.
    bool serverAsked() const { return asked_; }

  signals:
    // The commissioner wants to see the reports now.
    void reportsRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // What the merges of one "&G O !" did.
    struct Merged {
        bool any = false;
        bool mondayMissing = false;
    };

    void askServer();
    void offerServerChoices();
    void listServerWeeks();
    void serverUnusable(bool reached, const QString& problem, const QString& detail);
    void fillList();
    void offerAvailableWeeks();
    void btnGoClick();
    void btnBrowseMergeFileClick();
    std::vector<std::filesystem::path> downloadChosenWeeks();
    std::optional<qff::DownloadChoice> downloadChoice() const;
    void mergeFile(const std::filesystem::path& file, Merged& merged);
    void tell(const QString& text, const QString& detail = {});

    std::unique_ptr<Ui::TformNFLStats> ui;
    StatsSession session_;
    std::optional<qff::WeekMap> map_;
    std::vector<qff::WeekRow> rows_;
    bool shown_ = false;
    bool asked_ = false;
};
