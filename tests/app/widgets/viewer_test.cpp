#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextTable>
#include <QToolButton>

#include "app/reports/ReportPane.h"
#include "app/shell/HelpPane.h"
#include "app/widgets/PageView.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/shell/Support.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray page(const QString& title) {
    return QStringLiteral(
               "<html><head><title>%1</title></head><body><h1>%1</h1>"
               "<p><a href=\"Other.htm\">Other page</a></p></body></html>")
        .arg(title)
        .toUtf8();
}

// Waits until the view has shown (or failed to find) the page it was given.
bool waitForPage(PageView* view) {
    return QTest::qWaitFor([view] { return !view->isLoading(); });
}

// A standings table as the generator writes it: far wider than a narrow pane.
QByteArray wideTable() {
    QByteArray row = "<TR><TD VALIGN=\"top\">Cedar Comets</TD>";
    QByteArray header = "<TR><TH VALIGN=\"top\">Team Name</TH>";
    for (int column = 0; column < 12; ++column) {
        header += "<TH VALIGN=\"top\">Active</TH>";
        row += "<TD VALIGN=\"top\">1-0-0</TD>";
    }
    return "<HTML><BODY><TABLE WIDTH=\"100%\" BORDER=1>" + header + "</TR>" + row +
           "</TR></TABLE><P>Points are whole numbers.</P></BODY></HTML>";
}

// The lines the view laid out inside table cells, one text per line, with
// the non-breaking spaces of unwrapped text as plain blanks.
QStringList cellLines(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextCursor(block).currentTable() == nullptr) {
            continue;
        }
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            QTextLine line = layout->lineAt(i);
            QString text = block.text().mid(line.textStart(), line.textLength());
            lines << text.replace(QChar::Nbsp, ' ').trimmed();
        }
    }
    return lines;
}

QToolButton* button(QWidget* pane, const char* name) {
    return pane->findChild<QToolButton*>(name);
}

}  // namespace

class ViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void init();

    void sameReportTwiceAddsOneEntryAndSelectsIt();
    void middleOfThreeEntriesEnablesPreviousAndNext();
    void previousAndNextWalkTheHistory();
    void fileNamesAreCleanedForShowing_data();
    void fileNamesAreCleanedForShowing();
    void reportFileNameWithColonIsShownWithUnderscore();
    void linksWithEncodedNamesAreFollowed();
    void stopBeforeThePageIsShownAddsNothing();
    void missingPageIsNotAddedToTheHistory();
    void enterInTheHistoryBoxShowsTheTypedPage();
    void wideTableScrollsInsteadOfBreakingCells();

    void helpPairsWithoutOwnPageShowNeedHelp_data();
    void helpPairsWithoutOwnPageShowNeedHelp();
    void reloadBringsThePairsPageBack();
    void everyHelpPageIsShipped();

    void printsToAPdfFile();
    void exportCopiesThePageFile();

  private:
    QString reportPath(const QString& name) const { return dir_->filePath("League/" + name); }
    QString addReport(const QString& name);
    void show(ReportPane& pane, const QString& path);

    std::unique_ptr<QTemporaryDir> dir_;
};

void ViewerTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

QString ViewerTest::addReport(const QString& name) {
    QString path = reportPath(name);
    writeFile(path, page(name));
    return path;
}

void ViewerTest::show(ReportPane& pane, const QString& path) {
    pane.displayReportPage(path);
    QVERIFY(waitForPage(pane.view()));
}

void ViewerTest::sameReportTwiceAddsOneEntryAndSelectsIt() {
    ReportPane pane;
    QString first = addReport("Standings - Week 1.HTM");
    QString second = addReport("Weekly Results - Week 1.HTM");
    show(pane, first);
    show(pane, second);
    show(pane, first);

    QCOMPARE(pane.history(), QStringList({first, second}));
    QCOMPARE(pane.historyIndex(), 0);
    QCOMPARE(pane.findChild<QComboBox*>("comboHistory")->currentText(), first);
    QVERIFY(!button(&pane, "btnStopReport")->isEnabled());
}

void ViewerTest::middleOfThreeEntriesEnablesPreviousAndNext() {
    ReportPane pane;
    QToolButton* previous = button(&pane, "btnPrevReport");
    QToolButton* next = button(&pane, "btnNextReport");
    QVERIFY(!previous->isEnabled() && !next->isEnabled());

    QString a = addReport("A.HTM");
    QString b = addReport("B.HTM");
    QString c = addReport("C.HTM");
    show(pane, a);
    QVERIFY(!previous->isEnabled() && !next->isEnabled());
    show(pane, b);
    show(pane, c);
    QVERIFY(previous->isEnabled());
    QVERIFY(!next->isEnabled());

    show(pane, b);
    QCOMPARE(pane.historyIndex(), 1);
    QVERIFY(previous->isEnabled());
    QVERIFY(next->isEnabled());
}

void ViewerTest::previousAndNextWalkTheHistory() {
    ReportPane pane;
    QStringList pages = {addReport("A.HTM"), addReport("B.HTM"), addReport("C.HTM")};
    for (const QString& path : pages) {
        show(pane, path);
    }
    button(&pane, "btnPrevReport")->click();
    QVERIFY(waitForPage(pane.view()));
    button(&pane, "btnPrevReport")->click();
    QVERIFY(waitForPage(pane.view()));
    QCOMPARE(pane.view()->currentPath(), pages[0]);
    QVERIFY(!button(&pane, "btnPrevReport")->isEnabled());

    button(&pane, "btnNextReport")->click();
    QVERIFY(waitForPage(pane.view()));
    QCOMPARE(pane.view()->currentPath(), pages[1]);
    QCOMPARE(pane.history(), pages);
}

void ViewerTest::fileNamesAreCleanedForShowing_data() {
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("shown");
    QTest::newRow("colon kept") << "Week: 3.HTM"
                                << "Week: 3.HTM";
    QTest::newRow("pipe") << "A|B.HTM"
                          << "A_B.HTM";
    QTest::newRow("wildcards") << "Top *5*?.HTM"
                               << "Top _5__.HTM";
    QTest::newRow("quotes and brackets") << "\"Q\" <1>.HTM"
                                         << "_Q_ _1_.HTM";
}

void ViewerTest::fileNamesAreCleanedForShowing() {
    QFETCH(QString, asked);
    QFETCH(QString, shown);
    ReportPane pane;
    QString target = addReport(shown);
    show(pane, reportPath(asked));
    QCOMPARE(pane.view()->currentPath(), target);
    QCOMPARE(pane.history(), QStringList{target});
}

void ViewerTest::reportFileNameWithColonIsShownWithUnderscore() {
    // The generator stores a page under the name this path gives.
    qff::PagePath stored{{"My League", "Franchise Overview"}, "Bob: The Team - All Weeks.HTM"};
    QString path = QDir(dir_->path()).filePath(QString::fromStdString(stored.relative().string()));
    writeFile(path, page("Bob"));
    QVERIFY(path.endsWith("/Bob_ The Team - All Weeks.HTM"));

    ReportPane pane;
    show(pane, path);
    QCOMPARE(pane.history(), QStringList{path});
    QVERIFY(!pane.history().front().contains(':'));
}

void ViewerTest::linksWithEncodedNamesAreFollowed() {
    QString map = dir_->filePath("Report Site Map.htm");
    writeFile(map,
              "<html><body><a href=\"League/Week%203%20Results.HTM#top\">Week 3</a></body></html>");
    QString target = addReport("Week 3 Results.HTM");
    ReportPane pane;
    show(pane, map);
    emit pane.view()->anchorClicked(QUrl("League/Week%203%20Results.HTM#top"));
    QVERIFY(waitForPage(pane.view()));
    QCOMPARE(pane.view()->currentPath(), target);
    QCOMPARE(pane.history(), QStringList({map, target}));
}

void ViewerTest::stopBeforeThePageIsShownAddsNothing() {
    ReportPane pane;
    pane.displayReportPage(addReport("A.HTM"));
    QVERIFY(button(&pane, "btnStopReport")->isEnabled());
    button(&pane, "btnStopReport")->click();
    QVERIFY(!button(&pane, "btnStopReport")->isEnabled());
    QCoreApplication::processEvents();
    QVERIFY(pane.history().isEmpty());
    QVERIFY(pane.view()->currentPath().isEmpty());
}

void ViewerTest::missingPageIsNotAddedToTheHistory() {
    ReportPane pane;
    QString shown = addReport("A.HTM");
    show(pane, shown);
    QSignalSpy missing(pane.view(), &PageView::pageMissing);
    show(pane, reportPath("Gone.HTM"));
    QCOMPARE(missing.count(), 1);
    QCOMPARE(pane.history(), QStringList{shown});
    QVERIFY(pane.view()->toPlainText().contains("could not be found"));
    QVERIFY(!button(&pane, "btnStopReport")->isEnabled());
}

void ViewerTest::enterInTheHistoryBoxShowsTheTypedPage() {
    ReportPane pane;
    QString typed = addReport("Typed.HTM");
    show(pane, addReport("A.HTM"));
    auto* box = pane.findChild<QComboBox*>("comboHistory");
    box->setEditText(typed);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QVERIFY(waitForPage(pane.view()));
    QCOMPARE(pane.view()->currentPath(), typed);
    QCOMPARE(pane.history().size(), 2);
    QCOMPARE(pane.historyIndex(), 1);
}

void ViewerTest::wideTableScrollsInsteadOfBreakingCells() {
    QString path = reportPath("Standings.HTM");
    writeFile(path, wideTable());
    ReportPane pane;
    pane.resize(400, 300);
    pane.show();
    show(pane, path);

    QStringList lines = cellLines(*pane.view()->document());
    QCOMPARE(lines.size(), 26);
    QCOMPARE(lines.count("Active"), 12);
    QCOMPARE(lines.count("Cedar Comets"), 1);
    QVERIFY(pane.view()->horizontalScrollBar()->maximum() > 0);
}

void ViewerTest::helpPairsWithoutOwnPageShowNeedHelp_data() {
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("activity");
    QTest::addColumn<QString>("file");
    QTest::newRow("weekly rosters") << 2 << 8 << "NeedHelp.htm";
    QTest::newRow("no row") << 1 << 9 << "NeedHelp.htm";
    QTest::newRow("about") << 0 << 0 << "About.htm";
    QTest::newRow("reports") << 3 << 0 << "ViewRpt.htm";
}

void ViewerTest::helpPairsWithoutOwnPageShowNeedHelp() {
    QFETCH(int, section);
    QFETCH(int, activity);
    QFETCH(QString, file);
    for (const char* name : {"NeedHelp.htm", "About.htm", "ViewRpt.htm"}) {
        writeFile(dir_->filePath(QStringLiteral("Support/") + name), page(name));
    }
    HelpPane pane;
    pane.setWorkdir(dir_->path());
    pane.showPair(section, activity);
    QVERIFY(waitForPage(pane.view()));
    QCOMPARE(pane.view()->currentPath(), dir_->filePath("Support/" + file));
    QCOMPARE(pane.view()->documentTitle(), file);
    QVERIFY(!button(&pane, "btnHelpReload")->isEnabled());
}

void ViewerTest::reloadBringsThePairsPageBack() {
    writeFile(dir_->filePath("Support/About.htm"), page("About"));
    writeFile(dir_->filePath("Support/Other.htm"), page("Other"));
    HelpPane pane;
    pane.setWorkdir(dir_->path());
    pane.showPair(0, 0);
    QVERIFY(waitForPage(pane.view()));
    QToolButton* reload = button(&pane, "btnHelpReload");

    emit pane.view()->anchorClicked(QUrl("Other.htm"));
    QVERIFY(waitForPage(pane.view()));
    QCOMPARE(pane.view()->currentPath(), dir_->filePath("Support/Other.htm"));
    QVERIFY(reload->isEnabled());

    reload->click();
    QVERIFY(waitForPage(pane.view()));
    QCOMPARE(pane.view()->currentPath(), dir_->filePath("Support/About.htm"));
    QVERIFY(!reload->isEnabled());
}

void ViewerTest::everyHelpPageIsShipped() {
    QDir shipped(QFF_SUPPORT_DIR);
    QStringList files = {"ScoringIntro.txt", "DraftDay.txt", "HomePage.htm"};
    for (const qff::HelpPage& help : qff::helpPages()) {
        files << QString::fromUtf8(help.file.data(), qsizetype(help.file.size()));
    }
    for (const QString& file : files) {
        QFileInfo info(shipped.filePath(file));
        QVERIFY2(info.isFile() && info.size() > 0, qPrintable(file));
    }
}

void ViewerTest::printsToAPdfFile() {
    ReportPane pane;
    show(pane, addReport("Printed.HTM"));
    QString pdf = dir_->filePath("out.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    pane.view()->printTo(printer);

    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.size() > 0);
    QVERIFY(file.read(5) == "%PDF-");
}

void ViewerTest::exportCopiesThePageFile() {
    ReportPane pane;
    QString source = addReport("Exported.HTM");
    show(pane, source);
    QString target = dir_->filePath("copy/Exported copy.htm");
    QVERIFY(!pane.view()->exportTo(target));
    QDir().mkpath(dir_->filePath("copy"));
    QVERIFY(pane.view()->exportTo(target));
    QFile copy(target);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), page("Exported.HTM"));
}

QTEST_MAIN(ViewerTest)
#include "viewer_test.moc"
