#include "app/widgets/Prompter.h"

#include <QMessageBox>
#include <cstdio>

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
    switch (icon) {
        case Prompter::Icon::Information:
            return QMessageBox::Information;
        case Prompter::Icon::Warning:
            return QMessageBox::Warning;
        case Prompter::Icon::Error:
            return QMessageBox::Critical;
        case Prompter::Icon::Question:
            return QMessageBox::Question;
        case Prompter::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

void writeLine(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

void Prompter::tellTitled(QWidget* parent, const QString& caption, Icon icon, const QString& text,
                          const QString& detail) {
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

bool Prompter::askTitled(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    // No leaves things as they are, and most questions come before
    // something is erased or replaced: a hurried Enter must change nothing.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Prompter::Answer Prompter::askYesNoCancelTitled(QWidget* parent, const QString& caption,
                                                const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void BatchPrompter::tellTitled(QWidget*, const QString&, Icon, const QString& text,
                               const QString& detail) {
    writeLine(detail.isEmpty() ? text : text + " (" + detail + ")");
}

bool BatchPrompter::askTitled(QWidget*, const QString&, const QString& text) {
    writeLine(text + " No");
    return false;
}

Prompter::Answer BatchPrompter::askYesNoCancelTitled(QWidget*, const QString&,
                                                     const QString& text) {
    writeLine(text + " Cancel");
    return Answer::Cancel;
}

Prompter& screenPrompter() {
    static Prompter prompter;
    return prompter;
}
