#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TformAbout;
}

// What the program says about itself: the name, the copyright and the file
// version "major.minor.release.build" given to it when it was built.
struct VersionInfo {
    QString productName;
    QString copyright;
    QString fileVersion;

    static VersionInfo ofThisBuild();
};

class TformAbout : public QDialog {
    Q_OBJECT

  public:
    explicit TformAbout(const VersionInfo& version = VersionInfo::ofThisBuild(),
                        QWidget* parent = nullptr);
    ~TformAbout() override;

  private:
    std::unique_ptr<Ui::TformAbout> ui;
};
