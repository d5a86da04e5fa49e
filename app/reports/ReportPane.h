#pragma once

// ReportPane: the report viewer. Shows generated report pages and keeps
// every page shown in the "Current Report:" history box.
//
//   displayReportPage(path)  cleans the page's file name (a ':' is kept),
//                            enables Stop and shows the page. Once shown,
//                            the page joins the history (once) and is
//                            selected; Previous and Next follow the history.
//   clearHistory()           forgets every page shown, as when another
//                            season is opened.
//   printReport(), exportReport()
//                            ask the user, as the Print and Export buttons do
//                            (for the main window's Report menu).
//   view(), history(), historyIndex()
//                            the page view and the history, for the main
//                            window and for tests.
// Signal: statusTextChanged(text) for the main window's status bar.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class ReportPane;
}
class PageView;

class ReportPane : public QWidget {
    Q_OBJECT

  public:
    explicit ReportPane(QWidget* parent = nullptr);
    ~ReportPane() override;

    PageView* view() const;
    QStringList history() const;
    int historyIndex() const;

  public slots:
    void displayReportPage(const QString& path);
    void clearHistory();
    void printReport();
    void exportReport();

  signals:
    void statusTextChanged(const QString& text);

  private slots:
    void showPrevious();
    void showNext();
    void showTypedPage();
    void stopLoading();
    void pageCompleted(const QString& path);
    void showHistoryEntry(int index);
    void updateButtons();

  private:
    std::unique_ptr<Ui::ReportPane> ui_;
};
