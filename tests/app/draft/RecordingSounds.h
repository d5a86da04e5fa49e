#pragma once

#include <QFileInfo>
#include <QStringList>

#include "app/draft/SoundPlayer.h"

namespace qff::apptest {

// Keeps what the window played instead of playing it.
class RecordingSoundPlayer : public SoundPlayer {
  public:
    bool play(const QString& path) override {
        if (!QFileInfo(path).isFile()) {
            return false;
        }
        played.append(path);
        on_ = true;
        return true;
    }
    void stop() override { on_ = false; }
    void pause() override {}
    void resume() override {}
    bool playing() const override { return on_; }

    QStringList played;

  private:
    bool on_ = false;
};

}  // namespace qff::apptest
