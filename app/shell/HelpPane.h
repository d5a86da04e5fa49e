#pragma once

// HelpPane: the help page of the selected outlook activity, with Reload and
// Print.
//
//   setWorkdir(dir)          pages are looked up in "<dir>/Support", then in
//                            the "Support" folder beside the program.
//   showPair(section, activity)
//                            remembers the pair, disables Reload and shows
//                            the pair's help page. Reload is enabled once the
//                            user follows a link away from that page, and
//                            brings the pair's page back.
//   helpPagePath(workdir, section, activity)
//                            the page a pair shows, for panes that show help
//                            pages themselves (the report viewer's start page).
//   view()                   the page view, for the main window's status bar.

#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class HelpPane;
}
class PageView;

class HelpPane : public QWidget {
    Q_OBJECT

  public:
    explicit HelpPane(QWidget* parent = nullptr);
    ~HelpPane() override;

    void setWorkdir(const QString& workdir) { workdir_ = workdir; }
    PageView* view() const;

    static QString helpPagePath(const QString& workdir, int section, int activity);

  public slots:
    void showPair(int section, int activity);

  private slots:
    void reloadPair();
    void pageCompleted(const QString& path);

  private:
    std::unique_ptr<Ui::HelpPane> ui_;
    QString workdir_;
    int section_ = -1;
    int activity_ = -1;
};
