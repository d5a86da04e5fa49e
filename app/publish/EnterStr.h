#pragma once

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TformEnterStr;
}

// A one-line text prompt under a caption of the caller's, with OK and Cancel;
// a label above the field tells what to type, when the caller gives one.
class TformEnterStr : public QDialog {
    Q_OBJECT

  public:
    TformEnterStr(const QString& title, const QString& prompt, QWidget* parent = nullptr);
    ~TformEnterStr() override;

    QString text() const;

    // Asks modally; none when the user cancels.
    static std::optional<QString> ask(QWidget* parent, const QString& title, const QString& prompt);

  private:
    std::unique_ptr<Ui::TformEnterStr> ui;
};
