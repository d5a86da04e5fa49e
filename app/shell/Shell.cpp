#include "app/shell/Shell.h"

#include <QCommandLineParser>
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

void Prompter::tell(QWidget* parent, Icon icon, const QString& text, const QString& detail) {
    QMessageBox box(boxIcon(icon), kMessageCaption, text, QMessageBox::Ok, parent);
    box.setInformativeText(detail);
    box.exec();
}

bool Prompter::ask(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, kMessageCaption, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void BatchPrompter::tell(QWidget*, Icon, const QString& text, const QString& detail) {
    writeLine(detail.isEmpty() ? text : text + " (" + detail + ")");
}

bool BatchPrompter::ask(QWidget*, const QString& text) {
    writeLine(text + " No");
    return false;
}

StartOptions parseStartOptions(const QStringList& arguments, const QString& executableDir) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Quillmar Fantasy Football");
    parser.addHelpOption();
    QCommandLineOption workdir("workdir", "Folder holding the season files.", "DIR");
    QCommandLineOption quitAfterShow("quit-after-show",
                                     "Quit once the main window shows the open season.");
    QCommandLineOption screenshots("screenshot-dir", "Save pictures of the windows.", "DIR");
    screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({workdir, quitAfterShow, screenshots});
    StartOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    if (parser.isSet("help")) {
        options.error = parser.helpText();
        return options;
    }
    options.workdir = parser.isSet(workdir) ? parser.value(workdir) : executableDir;
    options.quitAfterShow = parser.isSet(quitAfterShow);
    options.screenshotDir = parser.value(screenshots);
    return options;
}
