#pragma once

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/demo/Demo.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/widgets/Prompter.h"

namespace qff::apptest {

// 2011-06-15 12:00 UTC, so the calendar never decides what a test sees.
inline constexpr std::time_t kMid2011 = 1308139200;

// Keeps what the windows said and answers every question the same way.
class RecordingPrompter : public Prompter {
  public:
    void tellTitled(QWidget*, const QString&, Icon, const QString& text, const QString&) override {
        told.append(text);
    }
    bool askTitled(QWidget*, const QString& caption, const QString& text) override {
        asked.append(text);
        askedCaptions.append(caption);
        return answer;
    }
    Answer askYesNoCancelTitled(QWidget*, const QString& caption, const QString& text) override {
        asked.append(text);
        askedCaptions.append(caption);
        return threeWayAnswer;
    }
    bool watched() const override { return false; }

    QStringList told;
    QStringList asked;
    QStringList askedCaptions;
    bool answer = false;
    Answer threeWayAnswer = Answer::Cancel;
};

// Runs `steps` on the next modal dialog of type T while its exec() runs.
template <class T>
void whenModal(std::function<void(T&)> steps) {
    auto* watch = new QTimer;
    QObject::connect(watch, &QTimer::timeout, [watch, steps] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            watch->stop();
            watch->deleteLater();
            steps(*dialog);
        }
    });
    watch->start(10);
}

// The control of that name; the test ends when the window has none.
template <class T>
T& child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return *found;
}

inline void click(QWidget& parent, const char* name) {
    child<QPushButton>(parent, name).click();
}

// Chooses a combo entry as the user does, so the dialog hears of it.
inline void chooseIndex(QComboBox& combo, int index) {
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}
inline void chooseData(QComboBox& combo, int data) {
    chooseIndex(combo, combo.findData(data));
}

// A demo season small enough for a window test: one league of four
// franchises in one division, eight players per NFL team, rosters of six.
inline DemoOptions smallDemo() {
    DemoOptions options;
    options.playersPerTeam = 8;
    options.divisionsPerLeague = 1;
    options.franchisesPerDivision = 4;
    options.rosterSize = 6;
    return options;
}

// A season context on a working folder, on the fixed date above.
inline std::unique_ptr<Singleton> createContext(const std::filesystem::path& dir) {
    std::string error;
    auto context = Singleton::create(SeasonEnv{dir, [] { return kMid2011; }}, error);
    if (context) {
        context->preferences().load();
    }
    return context;
}

// A temporary working folder with one open season: empty but for the
// Default League, or the demo season built with `options`.
class SeasonFolder {
  public:
    // An empty season of `year`.
    explicit SeasonFolder(int year) : context_(createContext(path())) {
        std::string error;
        if (context_ != nullptr && createSeasonFiles(*context_, year, error)) {
            opened_ = openSeason(*context_, year).opened;
        }
    }
    explicit SeasonFolder(const DemoOptions& options) : context_(createContext(path())) {
        DemoReport report;
        std::string error;
        if (context_ != nullptr && createDemoSeason(*context_, options, report, error)) {
            opened_ = openSeason(*context_, options.year).opened;
        }
    }

    bool opened() const { return opened_; }
    Singleton& context() { return *context_; }
    std::filesystem::path path() const { return dir_.path().toStdString(); }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<Singleton> context_;
    bool opened_ = false;
};

}  // namespace qff::apptest
