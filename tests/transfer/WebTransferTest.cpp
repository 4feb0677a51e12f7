#include "tests/support/CaseName.h"

#include "transfer/WebTransfer.h"

#include <gtest/gtest.h>

#include <ostream>

#include <vector>

namespace {

TEST(TWebTransfer, FreshEngineHasTheDefaults)
{
    TWebTransfer engine;
    EXPECT_EQ(engine.Agent, QStringLiteral("WebTransfer"));
    for (bool on : {engine.ShowDialog, engine.ShowDialogOnTop, engine.ShowServer, engine.ShowFileName,
                    engine.DlgShowCancel})
        EXPECT_TRUE(on);
    for (bool off : {engine.AlwaysOnTop, engine.AutoURLDecode, engine.CreateUniqueFilenames, engine.DlgShowCloseBtn,
                     engine.FTPPassive, engine.HTTPKeepAliveAuthentication, engine.ShowOpenFile,
                     engine.ShowOpenFolder, engine.ShowCompletion, engine.ShowElapsedTime, engine.ShowTime,
                     engine.FormClosed()})
        EXPECT_FALSE(off);
    EXPECT_EQ(engine.Timeout, 0);
    EXPECT_EQ(engine.FTPMode, fmBINARY);
    EXPECT_EQ(engine.Items().Count(), 0);
    EXPECT_TRUE(engine.Proxy.isEmpty());
    EXPECT_TRUE(engine.LogfileName.isEmpty());
    EXPECT_EQ(engine.ProgressForm(), nullptr);
}

TEST(TWebTransfer, DialogTextsHaveTheirDefaults)
{
    TWebTransfer e;
    const std::vector<std::pair<QString, const char*>> texts = {
        {e.DlgCaption, "Downloading"}, {e.DlgDwnload, "Downloading"}, {e.DlgUpload, "Uploading"},
        {e.DlgCopying, "Copying"}, {e.DlgCompleted, "completed"}, {e.DlgFileLabel, "File :"},
        {e.DlgFileOfLabel, "of"}, {e.DlgFromServerLabel, "from"}, {e.DlgToServerLabel, "to"},
        {e.DlgProgressLabel, "Progress :"}, {e.DlgRateLabel, "Transfer rate :"},
        {e.DlgTimeLabel, "Estimated time left :"}, {e.DlgElapsedTimeLabel, "Elapsed time :"},
        {e.DlgCancel, "Cancel"}, {e.DlgClose, "Close"}, {e.DlgOpenFile, "Open file"},
        {e.DlgOpenFolder, "Open folder"}, {e.DlgTimeSec, "sec"}, {e.DlgTimeMin, "minutes"},
    };
    for (const auto& [value, expected] : texts)
        EXPECT_EQ(value, QString::fromLatin1(expected));
}

TEST(TWebTransfer, VersionComesFromThePackedNumberAndIgnoresWrites)
{
    TWebTransfer engine;
    EXPECT_EQ(TWebTransfer::VersionNumber, 33817857u);
    EXPECT_EQ(engine.Version(), QStringLiteral("2.4.5.1"));
    engine.SetVersion(QStringLiteral("9.9.9.9"));
    EXPECT_EQ(engine.Version(), QStringLiteral("2.4.5.1"));
}

struct ProxyCase {
    const char* name;
    const char* user;
    const char* password;
    const char* url;
    const char* expected;
    friend void PrintTo(const ProxyCase& c, std::ostream* os) { *os << c.name; }
};

class ProxyCredentials : public testing::TestWithParam<ProxyCase> {};

TEST_P(ProxyCredentials, GoOnlyIntoPlainHttpUrlsWhenBothAreSet)
{
    TWebTransfer engine;
    engine.ProxyUserID = QString::fromLatin1(GetParam().user);
    engine.ProxyPassword = QString::fromLatin1(GetParam().password);
    EXPECT_EQ(engine.AddProxyCredentials(QString::fromLatin1(GetParam().url)), QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Examples, ProxyCredentials, testing::Values(
    ProxyCase{"Http", "pu", "pp", "http://server/f.zip", "http://pu:pp@server/f.zip"},
    ProxyCase{"SchemeInAnyCase", "pu", "pp", "HTTP://server/f.zip", "http://pu:pp@server/f.zip"},
    ProxyCase{"Https", "pu", "pp", "https://server/f.zip", "https://server/f.zip"},
    ProxyCase{"Ftp", "pu", "pp", "ftp://server/f.zip", "ftp://server/f.zip"},
    ProxyCase{"NoPassword", "pu", "", "http://server/f.zip", "http://server/f.zip"},
    ProxyCase{"NoUser", "", "pp", "http://server/f.zip", "http://server/f.zip"}),
    caseName);

} // namespace
