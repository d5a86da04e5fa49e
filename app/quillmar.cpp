#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "app/shell/Main.h"
#include "app/shell/Screenshots.h"
#include "app/shell/Shell.h"
#include "app/widgets/Prompter.h"
#include "data02/shell/Desk.h"

namespace {

constexpr int kUnusable = 2;

int fail(const QString& message, bool watched) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (watched) {
        screenPrompter().tell(nullptr, Prompter::Icon::Error, message);
    }
    return kUnusable;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillmar Fantasy Football 2002");
    StartOptions options =
        parseStartOptions(QApplication::arguments(), QApplication::applicationDirPath());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", options.error.toLocal8Bit().constData());
        return kUnusable;
    }
    bool watched = !options.quitAfterShow && options.screenshotDir.isEmpty();
    std::filesystem::path workdir = QDir(options.workdir).absolutePath().toStdString();
    std::string problem = qff::workdirProblem(workdir);
    if (!problem.empty()) {
        return fail(QString::fromStdString(problem), watched);
    }
    QDir::setCurrent(QString::fromStdString(workdir.string()));

    Prompter interactive;
    BatchPrompter batch;
    TformMain window(workdir, watched ? interactive : batch);
    QString error;
    if (!window.FormCreate(error)) {
        return fail(error, watched);
    }
    window.show();
    if (options.quitAfterShow) {
        QTimer::singleShot(0, &window, [&] {
            int code = window.seasonIsOpen() ? 0 : 1;
            window.close();
            QApplication::exit(code);
        });
    } else if (!options.screenshotDir.isEmpty()) {
        QTimer::singleShot(0, &window, [&] {
            bool saved = takeScreenshots(window, options.screenshotDir);
            window.close();
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
