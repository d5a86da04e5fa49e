#pragma once

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Draftorder.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TformGenerateDraftOrderOptions;
}

namespace qff {
class Singleton;
}

class Prompter;

// Chooses the kind of serpentine and generates the current league's draft
// order with it, after the commissioner agreed to lose the picks in place.
// exec() ends with Accepted only when a new order was stored.
class TformGenerateDraftOrderOptions : public QDialog {
    Q_OBJECT

  public:
    TformGenerateDraftOrderOptions(qff::Singleton& season, Prompter& prompter,
                                   QWidget* parent = nullptr);
    ~TformGenerateDraftOrderOptions() override;

    // The draw of the random rounds; seeded from the time unless set.
    void setRandom(qff::DraftRandom random);

  private:
    void btnOKClick();
    qff::SerpentineKind chosenKind() const;

    qff::Singleton& season_;
    Prompter& prompter_;
    int league_ = 0;
    qff::DraftRandom random_;
    std::unique_ptr<Ui::TformGenerateDraftOrderOptions> ui;
};
