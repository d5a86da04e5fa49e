#include "app/reports/ReportPane.h"

#include <QLineEdit>
#include <QStyle>

#include "app/widgets/PageView.h"
#include "data02/shell/Support.h"
#include "ui_ReportPane.h"

ReportPane::ReportPane(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::ReportPane>()) {
    ui_->setupUi(this);
    ui_->btnPrevReport->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    ui_->btnNextReport->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    ui_->btnReloadReport->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui_->btnStopReport->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    ui_->btnPrintReport->setIcon(QIcon::fromTheme("document-print"));
    ui_->btnExportReport->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));

    PageView* browser = ui_->reportBrowser;
    // Report cells hold names and numbers, which read badly when wrapped.
    browser->keepTableCellsOnOneLine();
    connect(ui_->btnPrevReport, &QToolButton::clicked, this, &ReportPane::showPrevious);
    connect(ui_->btnNextReport, &QToolButton::clicked, this, &ReportPane::showNext);
    connect(ui_->btnReloadReport, &QToolButton::clicked, browser, &PageView::reload);
    connect(ui_->btnStopReport, &QToolButton::clicked, this, &ReportPane::stopLoading);
    connect(ui_->btnPrintReport, &QToolButton::clicked, this, &ReportPane::printReport);
    connect(ui_->btnExportReport, &QToolButton::clicked, this, &ReportPane::exportReport);
    connect(ui_->comboHistory->lineEdit(), &QLineEdit::returnPressed, this,
            &ReportPane::showTypedPage);
    connect(ui_->comboHistory, qOverload<int>(&QComboBox::activated), this,
            &ReportPane::showHistoryEntry);
    connect(browser, &PageView::pageCompleted, this, &ReportPane::pageCompleted);
    connect(browser, &PageView::pageMissing, this, &ReportPane::updateButtons);
    connect(browser, &PageView::statusText, this, &ReportPane::statusTextChanged);
    updateButtons();
}

ReportPane::~ReportPane() = default;

PageView* ReportPane::view() const {
    return ui_->reportBrowser;
}

QStringList ReportPane::history() const {
    QStringList entries;
    for (int i = 0; i < ui_->comboHistory->count(); ++i) {
        entries << ui_->comboHistory->itemText(i);
    }
    return entries;
}

int ReportPane::historyIndex() const {
    return ui_->comboHistory->currentIndex();
}

void ReportPane::displayReportPage(const QString& path) {
    std::filesystem::path cleaned = qff::cleanedPagePath(path.toStdString(), false);
    ui_->reportBrowser->load(QString::fromStdString(cleaned.string()));
    updateButtons();
}

void ReportPane::clearHistory() {
    ui_->comboHistory->clear();
    updateButtons();
}

void ReportPane::printReport() {
    ui_->reportBrowser->printWithDialog();
}

void ReportPane::exportReport() {
    ui_->reportBrowser->exportWithDialog();
}

void ReportPane::showPrevious() {
    showHistoryEntry(historyIndex() - 1);
}

void ReportPane::showNext() {
    showHistoryEntry(historyIndex() + 1);
}

void ReportPane::showHistoryEntry(int index) {
    if (index >= 0 && index < ui_->comboHistory->count()) {
        displayReportPage(ui_->comboHistory->itemText(index));
    }
}

void ReportPane::showTypedPage() {
    QString typed = ui_->comboHistory->currentText().trimmed();
    if (!typed.isEmpty()) {
        displayReportPage(typed);
    }
}

void ReportPane::stopLoading() {
    ui_->reportBrowser->stop();
    updateButtons();
}

void ReportPane::pageCompleted(const QString& path) {
    QComboBox* box = ui_->comboHistory;
    int index = box->findText(path, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        box->addItem(path);
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
    updateButtons();
}

void ReportPane::updateButtons() {
    int index = historyIndex();
    int count = ui_->comboHistory->count();
    bool hasPage = !ui_->reportBrowser->currentPath().isEmpty();
    ui_->btnPrevReport->setEnabled(count > 1 && index > 0);
    ui_->btnNextReport->setEnabled(count > 1 && index >= 0 && index < count - 1);
    ui_->btnStopReport->setEnabled(ui_->reportBrowser->isLoading());
    ui_->btnReloadReport->setEnabled(hasPage);
    ui_->btnPrintReport->setEnabled(hasPage);
    ui_->btnExportReport->setEnabled(hasPage);
}
