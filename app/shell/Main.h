#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <filesystem>
#include <memory>

#include "data02/shell/Activities.h"
#include "data02/shell/Desk.h"

#include "app/reports/ReportIO.h"

class Prompter;
class QAction;
class QLabel;
class QPushButton;
class QTreeWidgetItem;
class TformLoading;

namespace qff {
class Singleton;
struct BackupOptions;
struct SeasonOpenReport;
}  // namespace qff

namespace Ui {
class TformMain;
}

// The commissioner's desk: the outlook pane of sections and activities on the
// left, the help page, the hosted activity form or the report viewer on the
// right, and the menus and toolbar that reach every command. It owns the
// season context and with it the one open season.
class TformMain : public QMainWindow {
    Q_OBJECT

  public:
    TformMain(std::filesystem::path workdir, Prompter& prompter, QWidget* parent = nullptr);
    ~TformMain() override;

    // Creates the season context, loads the preferences, puts the window where
    // it was and opens the season the preferences name. False with the reason
    // when the season context cannot be created.
    bool FormCreate(QString& error);
    void openThisSeason(int year);
    // Saves the window and the current activity, then releases the season
    // context with every file it holds.
    void closeSeason();

    void DisplayActivity(int section, int activity);
    // A week index, or qff::kAllWeeks for the whole season.
    void updateWeekControls(int week);
    // Counts the open season's franchises, divisions and leagues and enables
    // the commands that need a franchise.
    void checkNumTeams();
    // After a form or dialog changed the season: commands that need a
    // franchise follow the count, and the hosted form other than the one that
    // made the change shows the season afresh.
    void seasonDataChanged(const QObject* origin = nullptr);

    bool seasonIsOpen() const { return seasonOpen_; }
    int openSeason() const { return openSeason_; }
    int currentSection() const { return currentSection_; }
    int currentActivity() const { return currentActivity_; }
    QWidget* hostedForm() const { return hosted_; }
    const qff::LeagueCounts& leagueCounts() const { return counts_; }
    int screenWidthClass() const { return screenWidthClass_; }
    qff::Singleton* context() const { return context_.get(); }
    // Whether the first showing offers to switch to the calendar's season.
    bool seasonNoticeDue() const;

  signals:
    // The loading dialog of a season that is being opened, before it runs.
    void loadingStarted(TformLoading* dialog);

  public slots:
    void menuOpenSeasonClick();
    // Asks for the report view at the next tick of the statistics switch timer.
    void requestReportView();
    void showStatusText(const QString& text);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool initGlobals(QString& error);
    void FormActivate();
    void wireCommands();
    void wireOutlook();
    void setToolbarIcons();

    bool seasonExists(int year) const;
    bool loadSeason(int year, qff::SeasonOpenReport& report);
    void seasonOpened(int year);
    void showNoSeason();
    QString firstStepsHint() const;
    void updateFirstStepsHint();
    void showReportStartPage();
    void seasonFailed(const qff::SeasonOpenReport& report, int previousSeason);
    void switchSeason(int year);
    void goToSeason(int year);
    bool createSeason(int year);
    int suggestedNewSeason() const;
    void newSeasonClick();
    void showSeasonNotice();
    std::pair<int, int> rememberedActivity() const;

    void selectOutlook(int section, int activity);
    QString bannerFor(int section, int activity) const;
    QPushButton* activityButton(int section, int activity) const;
    QList<QPushButton*> activityButtons() const;
    QString activityCaption(int section, int activity) const;
    void showHelpPage(int section, int activity);
    void showHostedForm(int section, int activity);
    void closeHostedForm();
    void runSwitchTimer(int activity);
    void onSwitchTick();

    void fillWeekSelector(int weeks);
    void weekChosen(int index);
    void syncViewWeek();
    void fillLeagueSelector();
    void leagueChosen(int index);
    void refreshReportTree(std::initializer_list<int> groups);
    void runReportAssistant(TformReportIO::Mode mode);
    void showReport(QTreeWidgetItem* node);

    void updateCommandStates();
    QList<QAction*> seasonCommands() const;
    QList<QAction*> franchiseCommands() const;
    void notAvailableYet(const QAction* command);
    void deleteReport();
    void showOptions();
    void runBackup(const qff::BackupOptions& options);
    void restoreBackup();
    void reopenAfterRestore(int year);
    void releaseSeasonViews();
    void showActivityAfresh();
    bool runHostedCommand(const char* slot);
    void generateSchedule();
    void resetSchedule();

    void restorePlacement();
    void savePlacement();

    std::unique_ptr<Ui::TformMain> ui;
    QLabel* seasonStatus_ = nullptr;
    QLabel* firstSteps_ = nullptr;
    std::filesystem::path workdir_;
    Prompter& prompter_;
    std::unique_ptr<qff::Singleton> context_;
    bool seasonOpen_ = false;
    int openSeason_ = 0;
    int currentSection_ = qff::kNoOutlookPair;
    int currentActivity_ = qff::kNoOutlookPair;
    std::array<int, 4> lastActivity_{0, 0, 0, 0};
    QPointer<QWidget> hosted_;
    qff::LeagueCounts counts_;
    int screenWidthClass_ = 1;
    bool firstActivation_ = true;
    QTimer switchTimer_;
    bool switchRequested_ = false;
    bool switchBusy_ = false;
};
