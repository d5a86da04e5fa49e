// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/season/Single.h"
#include "data02/shell/Support.h"
#include "data02/storage/Files.h"

#include "app/draft/DraftDay.h"

#include <QCoreApplication>
#include <cstdint>

#include "app/draft/DraftWizard.h"
#include "app/widgets/QtText.h"
#include "ui_DraftDay.h"

namespace {

constexpr const char* kDescriptionFile = "DraftDay.txt";
constexpr std::uintmax_t kDescriptionLimit = 64 * 1024;

}  // namespace

TformDraftDay::TformDraftDay(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent), ui_(std::make_unique<Ui::TformDraftDay>()) {
    ui_->setupUi(this);
    showDescription();
    connect(ui_->btnDraftDay, &QPushButton::clicked, this, &TformDraftDay::btnDraftDayClick);
}

TformDraftDay::~TformDraftDay() = default;

// The text is shown only when the whole file could be read, never a part of it.
void TformDraftDay::showDescription() {
    std::filesystem::path file = qff::supportFilePath(
        season().workdir(), QCoreApplication::applicationDirPath().toStdString(), kDescriptionFile);
    std::optional<std::string> text = qff::readRegularFile(file, kDescriptionLimit);
    ui_->labelDescription->setText(text ? qText(*text).trimmed() : QString());
}

void TformDraftDay::btnDraftDayClick() {
    TformDraftWizard wizard(season(), prompter(), this);
    wizard.exec();
    emit seasonChanged();
}
