#include "app/publish/EnterStr.h"

#include "ui_EnterStr.h"

TformEnterStr::TformEnterStr(const QString& title, const QString& prompt, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformEnterStr) {
    ui->setupUi(this);
    setWindowTitle(title);
    ui->labelPrompt->setText(prompt);
    ui->labelPrompt->setVisible(!prompt.isEmpty());
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &TformEnterStr::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &TformEnterStr::reject);
}

TformEnterStr::~TformEnterStr() = default;

QString TformEnterStr::text() const {
    return ui->editString->text();
}

std::optional<QString> TformEnterStr::ask(QWidget* parent, const QString& title,
                                          const QString& prompt) {
    TformEnterStr dialog(title, prompt, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.text();
}
