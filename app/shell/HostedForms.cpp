#include "app/shell/HostedForms.h"

#include <array>
#include <utility>

#include "app/league/SetupLeague.h"
#include "app/league/SwapPlayers.h"
#include "app/shell/Pending.h"
#include "app/widgets/SeasonForm.h"

namespace {

using FormMaker = QWidget* (*)(qff::Singleton&, Prompter&, QWidget*);

template <typename Form>
QWidget* make(qff::Singleton& season, Prompter& prompter, QWidget* parent) {
    return new Form(season, prompter, parent);
}

// One row per hosted form this version has.
constexpr std::array<std::pair<std::string_view, FormMaker>, 2> kForms{{
    {"TformSetupLeague", make<TformSetupLeague>},
    {"TformSwapPlayers", make<TformSwapPlayers>},
}};

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
