#pragma once

// The data headers come first, before Qt's keyword macros.
#include "data02/scoring/Scoring_steps.h"
#include "data02/scoring/Scoring_tables.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformDefineScoringSystem;
}

class QLineEdit;

// The scoring wizard: a league's scoring system one area at a time. A step's
// values go to the league's record, and the record to the file, whenever the
// commissioner leaves the step, picks another league or closes the activity,
// so there is nothing to save at the end.
class TformDefineScoringSystem : public SeasonForm {
    Q_OBJECT

  public:
    TformDefineScoringSystem(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformDefineScoringSystem() override;

    void reload() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void connectControls();
    void fillLeagues();
    void fillAreas();
    void showIntroduction();
    void leagueChosen();
    void selectShownLeague();
    int chosenLeague() const;

    void nextClick();
    void backClick();
    void arrive();
    void loadStep();
    bool storeStep();
    bool makeShownRecordCurrent();
    bool saveRecord();

    void loadCoreLines(const qff::ScoringStep& step);
    QLineEdit* coreEdit(int code, QWidget* sentence);
    void storeCoreLines();

    void setTablePageTexts(const qff::ScoringStep& step);
    void loadTable(const qff::ScoringStep& step);
    void showTable();
    std::optional<qff::TableChoice> chosenTableMode() const;
    bool storeTable();

    void addRangeClick();
    void editRangeClick();
    void deleteRangeClick();
    void deleteAllClick();
    bool rangeRefused(const qff::TableChange& change);

    bool onTouchdownPage() const;
    void tell(const std::string& message);

    std::unique_ptr<Ui::TformDefineScoringSystem> ui;
    qff::ScoringStepPath path_;
    // The league whose record the steps show.
    int shownLeague_ = -1;
    // The table of a table step, as its range list built it.
    std::optional<qff::ScoreTable> table_;
    std::vector<std::pair<int, QLineEdit*>> coreEdits_;
};
