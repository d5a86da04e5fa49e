#include "app/intake/StatsSession.h"

#include "app/widgets/BusyCursor.h"
#include "data02/intake/StatsWeeks.h"
#include "qff/platform/curl_ftp_client.h"
#include "qff/statsnet/stats_net.h"

namespace {

const char* const kWhereToNameTheServer =
    "Name it on the Statistics Server page of Season > Preferences.";
const char* const kDamagedSettingsAdvice = " Correct or remove it.";

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

StatsSession::StatsSession(std::unique_ptr<qff::platform::FtpClient> client)
    : ftp_(client ? std::move(client) : std::make_unique<qff::platform::CurlFtpClient>()) {}

StatsSession::~StatsSession() {
    if (ftp_->isConnected()) {
        ftp_->disconnect();
    }
}

bool StatsSession::fail(const QString& problem, const QString& detail) {
    problem_ = problem;
    detail_ = detail;
    open_ = false;
    return false;
}

bool StatsSession::settingsChanged(const std::filesystem::path& workdir) const {
    qff::StatsServerLoad load = qff::loadStatsServer(workdir);
    return load.ok != settingsRead_ || (load.ok && load.settings != settings_);
}

bool StatsSession::open(const std::filesystem::path& workdir, std::string_view noConnection) {
    qff::StatsServerLoad load = qff::loadStatsServer(workdir);
    settingsRead_ = load.ok;
    if (!load.ok) {
        return fail(qtext(load.error) + kDamagedSettingsAdvice, {});
    }
    settings_ = load.settings;
    std::string problem;
    {
        BusyCursor busy;
        problem = qff::statsnet::enterDownloadFolder(*ftp_, settings_, noConnection);
    }
    if (problem == qff::kNoStatsServerMessage) {
        return fail(qtext(problem), QString(kWhereToNameTheServer));
    }
    if (!problem.empty()) {
        return fail(qtext(problem),
                    QString("Reason - %1").arg(QString::fromStdString(ftp_->lastReply())));
    }
    problem_.clear();
    detail_.clear();
    open_ = true;
    return true;
}
