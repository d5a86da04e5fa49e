#include "app/shell/HostedForms.h"

#include <utility>

#include "app/draft/DraftDay.h"
#include "app/intake/NFLStats.h"
#include "app/league/Activate.h"
#include "app/league/DraftPlayers.h"
#include "app/league/SetupLeague.h"
#include "app/league/SwapPlayers.h"
#include "app/publish/BackupData.h"
#include "app/publish/EMailReports.h"
#include "app/publish/WebSite.h"
#include "app/schedule/Schedule.h"
#include "app/scoring/DefineScoringSystem.h"
#include "app/shell/Pending.h"
#include "app/widgets/SeasonForm.h"

namespace {

using FormMaker = QWidget* (*)(qff::Singleton&, Prompter&, QWidget*);

template <typename Form>
QWidget* make(qff::Singleton& season, Prompter& prompter, QWidget* parent) {
    return new Form(season, prompter, parent);
}

// One row per hosted form this version has.
constexpr std::pair<std::string_view, FormMaker> kForms[] = {
    {"TformSetupLeague", make<TformSetupLeague>},
    {"TformDraftPlayers", make<TformDraftPlayers>},
    {"TformDraftDay", make<TformDraftDay>},
    {"TformActivate", make<TformActivate>},
    {"TformSwapPlayers", make<TformSwapPlayers>},
    {"TformSchedule", make<TformSchedule>},
    {"TformDefineScoringSystem", make<TformDefineScoringSystem>},
    {"TformNFLStats", make<TformNFLStats>},
    {"TformEMailReports", make<TformEMailReports>},
    {"TformBackupData", make<TformBackupData>},
    {"TformWebSite", make<TformWebSite>},
};

}  // namespace

QWidget* createHostedForm(std::string_view formName, const QString& activityCaption,
                          qff::Singleton& season, Prompter& prompter, QWidget* parent) {
    for (const auto& [name, maker] : kForms) {
        if (name == formName) {
            QWidget* form = maker(season, prompter, parent);
            form->setObjectName(QString::fromUtf8(formName.data(), formName.size()));
            return form;
        }
    }
    return new TformPending(QString::fromUtf8(formName.data(), formName.size()), activityCaption,
                            parent);
}
