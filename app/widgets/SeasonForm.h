#pragma once

#include <QWidget>

class Prompter;

namespace qff {
class Singleton;
}

// A form that works on the open season. Every change it makes goes straight
// to the data layer; when it changes what other windows show it says so, and
// the window answers by having every open form show the season afresh.
class SeasonForm : public QWidget {
    Q_OBJECT

  public:
    SeasonForm(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr)
        : QWidget(parent), season_(season), prompter_(prompter) {}

    // Shows the season as it is now, after a change made elsewhere.
    virtual void reload() {}

  signals:
    // The league structure, a roster or a week's results changed.
    void seasonChanged();

  protected:
    qff::Singleton& season() const { return season_; }
    Prompter& prompter() const { return prompter_; }

  private:
    qff::Singleton& season_;
    Prompter& prompter_;
};
