#include "app/shell/About.h"

#include "app/shell/Shell.h"
#include "ui_About.h"

namespace {

QString linkText(const char* address) {
    return QString("<a href=\"%1\">%1</a>").arg(address);
}

// "1.2.3.4" is product version 1.2 and build 3.4.
std::pair<QString, QString> splitAtSecondDot(const QString& version) {
    int first = version.indexOf('.');
    int second = first < 0 ? -1 : version.indexOf('.', first + 1);
    if (second < 0) {
        return {version, QString()};
    }
    return {version.left(second), version.mid(second + 1)};
}

}  // namespace

VersionInfo VersionInfo::ofThisBuild() {
    return {QFF_PRODUCT_NAME, QFF_COPYRIGHT, QFF_FILE_VERSION};
}

TformAbout::TformAbout(const VersionInfo& version, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformAbout) {
    ui->setupUi(this);
    ui->lblHomePage->setText(linkText(kHomePageAddress));
    ui->lblLeaguePage->setText(linkText(kLeaguePageAddress));
    ui->lblDownloadPage->setText(linkText(kDownloadAddress));
    if (version.fileVersion.isEmpty()) {
        ui->pages->setTabVisible(ui->pages->indexOf(ui->pageVersion), false);
    } else {
        auto [product, build] = splitAtSecondDot(version.fileVersion);
        ui->lblProductName->setText(version.productName);
        ui->lblCopyright->setText(version.copyright);
        ui->lblProductVersion->setText(QString("Product Version - %1").arg(product));
        ui->lblBuildNumber->setText(QString("Build Number - %1").arg(build));
    }
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &TformAbout::accept);
}

TformAbout::~TformAbout() = default;
