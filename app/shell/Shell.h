#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The caption of every message box the program shows.
inline constexpr const char* kMessageCaption = "Quillmar Fantasy Football";

// How the windows tell the user something and ask a yes-or-no question. Runs
// that nobody watches (benchmarks, screenshots, tests) answer without a person.
class Prompter {
  public:
    enum class Icon { None, Information, Warning, Error, Question };

    virtual ~Prompter() = default;
    virtual void tell(QWidget* parent, Icon icon, const QString& text, const QString& detail = {});
    // A Yes/No question with the question icon; true for Yes.
    virtual bool ask(QWidget* parent, const QString& text);
    // Whether a person sees the windows, so dialogs nobody asked for may come up.
    virtual bool watched() const { return true; }
};

// Writes every message to the error stream and answers No.
class BatchPrompter : public Prompter {
  public:
    void tell(QWidget* parent, Icon icon, const QString& text, const QString& detail) override;
    bool ask(QWidget* parent, const QString& text) override;
    bool watched() const override { return false; }
};

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
