#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class Prompter;

namespace qff {
class Singleton;
class League;
struct GenerationResult;
}  // namespace qff

namespace Ui {
class TformGenerateSchedule;
}

// Replaces the head-to-head schedules of the checked leagues by round robins,
// asking first for every league that already has one. Each league is written
// as soon as it is generated.
class TformGenerateSchedule : public QDialog {
    Q_OBJECT

  public:
    TformGenerateSchedule(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformGenerateSchedule() override;

    // Whether any league got a new schedule.
    bool generated() const { return generated_; }

  public slots:
    void accept() override;

  private:
    void fillLeagues();
    void generate(const qff::League& league);
    void tellProblems(const qff::GenerationResult& result);
    QString divisionName(int division) const;

    std::unique_ptr<Ui::TformGenerateSchedule> ui;
    qff::Singleton& season_;
    Prompter& prompter_;
    bool generated_ = false;
};
