#include "app/widgets/PageView.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QTimer>

namespace {

// Pages the view shows itself; any other file goes to the program the
// system opens it with.
bool isPageFile(const QString& path) {
    QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "htm" || suffix == "html" || suffix == "txt";
}

}  // namespace

PageView::PageView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    document()->setDocumentMargin(8);
    // A narrow pane wraps between words only; what does not fit scrolls.
    setWordWrapMode(QTextOption::WordWrap);
    connect(this, &QTextBrowser::anchorClicked, this, &PageView::followLink);
    connect(this, qOverload<const QUrl&>(&QTextBrowser::highlighted), this,
            &PageView::showHoveredLink);
}

void PageView::keepTableCellsOnOneLine() {
    document()->setDefaultStyleSheet("td, th { white-space: nowrap; }");
}

void PageView::load(const QString& path) {
    bool alreadyQueued = isLoading();
    pendingPath_ = QDir::cleanPath(path);
    emit statusText(tr("Opening page %1...").arg(QDir::toNativeSeparators(pendingPath_)));
    if (!alreadyQueued) {
        QTimer::singleShot(0, this, &PageView::showPending);
    }
}

void PageView::stop() {
    if (isLoading()) {
        pendingPath_.clear();
        emit statusText(tr("Stopped"));
    }
}

void PageView::reload() {
    if (!currentPath_.isEmpty()) {
        load(currentPath_);
    }
}

void PageView::showPending() {
    if (!isLoading()) {
        return;
    }
    QString path = pendingPath_;
    pendingPath_.clear();
    if (!QFileInfo(path).isFile()) {
        showMissing(path);
        return;
    }
    currentPath_ = path;
    QUrl url = QUrl::fromLocalFile(path);
    // Setting the same source again keeps the text shown, which may be an
    // older copy of the page or the missing-page note.
    if (source() == url) {
        QTextBrowser::reload();
    } else {
        setSource(url);
    }
    emit statusText(tr("Done"));
    emit pageCompleted(path);
}

void PageView::showMissing(const QString& path) {
    currentPath_.clear();
    setHtml(tr("<h3>Page not found</h3><p>The page <b>%1</b> could not be found.</p>")
                .arg(QDir::toNativeSeparators(path).toHtmlEscaped()));
    emit statusText(tr("Page not found: %1").arg(QDir::toNativeSeparators(path)));
    emit pageMissing(path);
}

QVariant PageView::loadResource(int type, const QUrl& name) {
    QUrl resolved = source().resolved(name);
    if (!resolved.isLocalFile()) {
        return {};
    }
    return QTextBrowser::loadResource(type, resolved);
}

void PageView::followLink(const QUrl& link) {
    QUrl target = source().resolved(link);
    QString path = target.toLocalFile();
    if (!target.isLocalFile() || !isPageFile(path)) {
        QDesktopServices::openUrl(target);
        return;
    }
    if (path == currentPath_ && target.hasFragment()) {
        scrollToAnchor(target.fragment());
        return;
    }
    load(path);
}

void PageView::showHoveredLink(const QUrl& link) {
    emit statusText(link.isEmpty() ? QString() : source().resolved(link).toDisplayString());
}

void PageView::printTo(QPrinter& printer) {
    document()->print(&printer);
}

void PageView::printWithDialog() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        printTo(printer);
    }
}

bool PageView::exportTo(const QString& target) {
    QFile source(currentPath_);
    if (currentPath_.isEmpty() || !source.open(QIODevice::ReadOnly)) {
        return false;
    }
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(source.readAll()) != source.size()) {
        copy.cancelWriting();
        return false;
    }
    return copy.commit();
}

void PageView::exportWithDialog() {
    if (currentPath_.isEmpty()) {
        return;
    }
    QString target =
        QFileDialog::getSaveFileName(this, tr("Export Current Report"), currentPath_,
                                     tr("HTML Document (*.htm *.html);;All Files (*)"));
    if (target.isEmpty() || QFileInfo(target) == QFileInfo(currentPath_)) {
        return;
    }
    if (!exportTo(target)) {
        prompter_->tell(
            this, Prompter::Icon::Error,
            tr("The page could not be saved as %1.").arg(QDir::toNativeSeparators(target)));
    }
}
