#pragma once

#include <QDialog>
#include <memory>
#include <vector>

class Prompter;
class StatsSession;

namespace qff {
class Singleton;
class Player;
using PlyrList = std::vector<Player*>;
}  // namespace qff

namespace Ui {
class TformUpdateRosterResults;
}

// Lists the players a roster update brought into the database, each with
// his position's picture, in the order the data layer sorts them.
class TformUpdateRosterResults : public QDialog {
    Q_OBJECT

  public:
    explicit TformUpdateRosterResults(const qff::PlyrList& players, QWidget* parent = nullptr);
    ~TformUpdateRosterResults() override;

  private:
    std::unique_ptr<Ui::TformUpdateRosterResults> ui;
};

// The season's roster update over a session already in the statistics
// server's download folder: fetched behind the busy cursor, merged in the
// merge window, then the players it added are listed. Tells why when the
// file cannot be fetched. True when the update was merged.
bool updateNflRosters(qff::Singleton& season, Prompter& prompter, StatsSession& session,
                      QWidget* parent);

// "&Update NFL Rosters": logs on to the statistics server first, and says
// so when it cannot.
bool updateNflRosters(qff::Singleton& season, Prompter& prompter, QWidget* parent);
