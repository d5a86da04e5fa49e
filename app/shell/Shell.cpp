#include "app/shell/Shell.h"

#include <QCommandLineParser>

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
