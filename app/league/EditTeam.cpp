#include "app/league/EditTeam.h"

#include "data02/league/Structure.h"

#include "app/league/PropertyGrid.h"
#include "app/widgets/Prompter.h"
#include "ui_EditTeam.h"

namespace {

constexpr qff::StructureKind kKind = qff::StructureKind::Franchise;

}  // namespace

TformEditTeam::TformEditTeam(qff::Singleton& season, int franchise, Prompter& prompter,
                             QWidget* parent)
    : QDialog(parent),
      ui(new Ui::TformEditTeam),
      season_(season),
      prompter_(prompter),
      franchise_(franchise) {
    ui->setupUi(this);
    propertygrid::setUp(*ui->gridProperties);
    propertygrid::show(*ui->gridProperties, kKind,
                       qff::loadProperties(season_, {kKind, franchise_}));
    connect(ui->btnOk, &QPushButton::clicked, this, &TformEditTeam::btnOkClick);
}

TformEditTeam::~TformEditTeam() = default;

// The dialog closes once the franchise is saved; refused values are told and
// the grid shows what the franchise holds.
void TformEditTeam::btnOkClick() {
    qff::GridSave grid = qff::savePropertyGrid(season_, {kKind, franchise_},
                                               propertygrid::cells(*ui->gridProperties));
    propertygrid::show(*ui->gridProperties, kKind, grid.stored);
    propertygrid::tellOutcome(prompter_, this, grid);
    if (!grid.saved.ok()) {
        return;
    }
    accept();
}
