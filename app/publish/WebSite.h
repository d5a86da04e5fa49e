#pragma once

#include <QString>
#include <memory>
#include <string>

#include "app/widgets/SeasonForm.h"

class QLineEdit;

namespace Ui {
class TformWebSite;
}

// The league's home page: the league and week it is for, the two template
// names the league keeps, and "&Publish Web Site Content", which stores the
// names in the league and makes the page from the home page template in the
// Scratch folder while the progress dialog shows each step.
class TformWebSite : public SeasonForm {
    Q_OBJECT

  public:
    TformWebSite(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformWebSite() override;

    // Shows the leagues and weeks afresh; the template names typed stay
    // unless the league shown changed.
    void reload() override;

  signals:
    // The season's current week changed.
    void weekChosen();
    // The home page was made; the path names it.
    void pagePublished(const QString& page);

  private:
    void comboLeagueChange(int index);
    void comboWeekChange(int index);
    void showTemplateNames();
    void browse(QLineEdit& edit, const QString& title);
    void btnOptionsClick();
    void btnPublishWebSiteClick();
    // Relative names are taken from the working folder.
    std::string typedTemplateName(const QLineEdit& edit) const;
    void storeCurrentLeague(int league);

    std::unique_ptr<Ui::TformWebSite> ui;
};
