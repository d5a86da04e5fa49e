#pragma once

#include <QString>
#include <QStringList>

// What quillmar is started with.
struct StartOptions {
    QString workdir;
    // Quit as soon as the main window shows: exit 0 with a season open, else 1.
    bool quitAfterShow = false;
    // Save pictures of the windows into this folder, then quit.
    QString screenshotDir;
    QString error;
};

// The working directory is the executable's own unless --workdir names one.
StartOptions parseStartOptions(const QStringList& arguments, const QString& executableDir);

// Where the product lives on the internet.
inline constexpr const char* kHomePageAddress = "http://www.quillmar.example/";
inline constexpr const char* kLeaguePageAddress = "http://www.quillmar.example/leagues/";
inline constexpr const char* kDownloadAddress = "http://www.quillmar.example/download/";
