#pragma once

// PageView: shows local HTML pages (help and report pages).
//
//   load(path)          shows the page at a local path, on the next turn of
//                       the event loop; stop() cancels a load not yet done.
//   reload()            shows the current page again.
//   currentPath()       the local file shown, empty before the first page.
//   printTo(printer)    prints the page to a printer set up by the caller
//                       (a PDF file works); printWithDialog() asks the user.
//   exportTo(target)    saves a copy of the page's file; exportWithDialog()
//                       asks the user where.
// Signals: pageCompleted(path) once a page is shown, pageMissing(path) when
// the file is not there, statusText(text) for the status bar. Links to other
// local pages are followed in the view; any other address is handed to the
// system's default handler.

#include <QString>
#include <QTextBrowser>
#include <QUrl>

#include "app/widgets/Prompter.h"

class QPrinter;

class PageView : public QTextBrowser {
    Q_OBJECT

  public:
    explicit PageView(QWidget* parent = nullptr);

    // Who tells the user that an export failed; message boxes until set.
    void setPrompter(Prompter& prompter) { prompter_ = &prompter; }

    // Table cells of the pages shown from now on keep their text on one line;
    // a table wider than the view then scrolls sideways.
    void keepTableCellsOnOneLine();

    const QString& currentPath() const { return currentPath_; }
    bool isLoading() const { return !pendingPath_.isEmpty(); }

    void printTo(QPrinter& printer);
    bool exportTo(const QString& target);

  public slots:
    void load(const QString& path);
    void stop();
    void reload() override;
    void printWithDialog();
    void exportWithDialog();

  signals:
    void pageCompleted(const QString& path);
    void pageMissing(const QString& path);
    void statusText(const QString& text);

  protected:
    QVariant loadResource(int type, const QUrl& name) override;

  private slots:
    void followLink(const QUrl& link);
    void showPending();
    void showHoveredLink(const QUrl& link);

  private:
    void showMissing(const QString& path);

    Prompter* prompter_ = &screenPrompter();
    QString currentPath_;
    QString pendingPath_;
};
