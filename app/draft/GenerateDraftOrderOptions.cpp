#include "app/draft/GenerateDraftOrderOptions.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <ctime>
#include <random>
#include <utility>

#include "app/widgets/BusyCursor.h"
#include "app/widgets/Prompter.h"
#include "ui_GenerateDraftOrderOptions.h"

namespace {

constexpr const char* kReplaceQuestion =
    "It looks like you've already generated a Draft Order or drafted players with the Draft Day "
    "Assistant.\nEstablishing a new Draft Order would result in the loss of all Draft Day data "
    "currently in place for\nthis league.\n\nDo you want to generate a new Draft Order?";

qff::DraftRandom timeSeededRandom() {
    auto engine = std::make_shared<std::mt19937>(static_cast<std::uint32_t>(std::time(nullptr)));
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

}  // namespace

TformGenerateDraftOrderOptions::TformGenerateDraftOrderOptions(qff::Singleton& season,
                                                               Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      season_(season),
      prompter_(prompter),
      league_(season.seasonState().peek(qff::kCurrentLeague)),
      random_(timeSeededRandom()),
      ui(std::make_unique<Ui::TformGenerateDraftOrderOptions>()) {
    ui->setupUi(this);
    connect(ui->btnOK, &QPushButton::clicked, this, &TformGenerateDraftOrderOptions::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformGenerateDraftOrderOptions::reject);
}

TformGenerateDraftOrderOptions::~TformGenerateDraftOrderOptions() = default;

void TformGenerateDraftOrderOptions::setRandom(qff::DraftRandom random) {
    random_ = std::move(random);
}

qff::SerpentineKind TformGenerateDraftOrderOptions::chosenKind() const {
    return ui->radioRandomSerpentine->isChecked() ? qff::SerpentineKind::Random
                                                  : qff::SerpentineKind::True;
}

void TformGenerateDraftOrderOptions::btnOKClick() {
    if (qff::draftOrderLoss(season_, league_).picks > 0 && !prompter_.ask(this, kReplaceQuestion)) {
        reject();
        return;
    }
    qff::DraftOrderResult result;
    {
        BusyCursor busy;
        result = qff::generateDraftOrder(season_, league_, chosenKind(), random_);
    }
    if (result.status != qff::kOk) {
        prompter_.tell(this, Prompter::Icon::Error, QString::fromStdString(result.message));
        reject();
        return;
    }
    accept();
}
