#pragma once

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TformEnterStr;
}

// A one-line text prompt under a caption of the caller's, with OK and Cancel.
class TformEnterStr : public QDialog {
    Q_OBJECT

  public:
    explicit TformEnterStr(const QString& title, QWidget* parent = nullptr);
    ~TformEnterStr() override;

    QString text() const;

    // Asks modally; none when the user cancels.
    static std::optional<QString> ask(QWidget* parent, const QString& title);

  private:
    std::unique_ptr<Ui::TformEnterStr> ui;
};
