#include <curl/curl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "qff/platform/curl_ftp_client.h"
#include "tests/platform/test_support.h"

namespace qff::platform {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::RefusingPort;
using testing::SilentPort;

FtpSettings loopbackSettings(int port) {
    FtpSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.user = "quill";
    settings.password = "hunter2-secret";
    settings.connectTimeoutSeconds = 2;
    settings.idleTimeoutSeconds = 1;
    return settings;
}

TEST(FtpOfflineTest, ClosedPortFailsToConnect) {
    const RefusingPort closed;
    CurlFtpClient client;

    EXPECT_FALSE(client.connect(loopbackSettings(closed.port())));
    EXPECT_FALSE(client.isConnected());
    EXPECT_EQ(client.lastResult(), CURLE_COULDNT_CONNECT);
    EXPECT_THAT(client.lastReply(), HasSubstr(std::to_string(closed.port())));
    EXPECT_EQ(client.lastMethod(), "connect");
}

TEST(FtpOfflineTest, SilentServerTimesOutInsteadOfHanging) {
    const SilentPort silent;
    CurlFtpClient client;

    EXPECT_FALSE(client.connect(loopbackSettings(silent.port())));
    EXPECT_EQ(client.lastResult(), CURLE_OPERATION_TIMEDOUT);
    EXPECT_FALSE(client.isConnected());
}

TEST(FtpOfflineTest, GatewayFirewallTypesAreRefusedWithAReason) {
    const RefusingPort closed;
    for (const FirewallType type :
         {FirewallType::userAtHost, FirewallType::site, FirewallType::open}) {
        FtpSettings settings = loopbackSettings(closed.port());
        settings.firewallType = type;
        settings.proxyHost = "127.0.0.1";
        settings.proxyPassword = "proxy-secret";
        CurlFtpClient client;

        EXPECT_FALSE(client.connect(settings));
        EXPECT_EQ(client.lastResult(), CURLE_COULDNT_CONNECT);
        EXPECT_THAT(client.lastReply(), HasSubstr("is not supported"));
        EXPECT_THAT(client.lastReply(), Not(HasSubstr("proxy-secret")));
    }
}

TEST(FtpOfflineTest, ProxyThatRefusesIsAFailedConnect) {
    const RefusingPort closedProxy;
    for (const FirewallType type :
         {FirewallType::socks4, FirewallType::socks5, FirewallType::httpConnect}) {
        FtpSettings settings = loopbackSettings(21);
        settings.firewallType = type;
        settings.proxyHost = "127.0.0.1";
        settings.proxyPort = closedProxy.port();
        CurlFtpClient client;

        EXPECT_FALSE(client.connect(settings));
        EXPECT_EQ(client.lastResult(), CURLE_COULDNT_CONNECT);
        EXPECT_THAT(client.lastReply(), HasSubstr(std::to_string(closedProxy.port())));
    }
}

TEST(FtpOfflineTest, MethodsNeedAConnection) {
    CurlFtpClient client;

    EXPECT_FALSE(client.list("/", [](const FtpItem&) {}));
    EXPECT_EQ(client.lastReply(), "not connected");
    EXPECT_EQ(client.lastMethod(), "list");
    EXPECT_EQ(client.currentDir(), "");
    EXPECT_NE(client.lastResult(), 0);
}

}  // namespace
}  // namespace qff::platform
