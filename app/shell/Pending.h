#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class TformPending;
}

// Stands in the host panel for an activity whose form this version does not
// have yet; it carries the name of the form it stands for.
class TformPending : public QWidget {
    Q_OBJECT

  public:
    TformPending(const QString& formName, const QString& activityCaption,
                 QWidget* parent = nullptr);
    ~TformPending() override;

  private:
    std::unique_ptr<Ui::TformPending> ui;
};
