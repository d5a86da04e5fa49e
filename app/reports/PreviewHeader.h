#pragma once

// TformPreviewHeader: shows the header preview page of the report being
// defined. The page is scratch: it is deleted when the dialog closes.

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TformPreviewHeader;
}

class TformPreviewHeader : public QDialog {
    Q_OBJECT

  public:
    TformPreviewHeader(const QString& pagePath, QWidget* parent = nullptr);
    ~TformPreviewHeader() override;

    void done(int result) override;

  private:
    QString pagePath_;
    std::unique_ptr<Ui::TformPreviewHeader> ui;
};
