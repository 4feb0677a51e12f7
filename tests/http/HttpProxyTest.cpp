#include "tests/support/CaseName.h"

#include "tests/support/DownloadFixture.h"

#include <optional>
#include <ostream>

namespace {

// Sets (or, without a value, removes) an environment variable for the length of a scope,
// then puts back what was there.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<QByteArray>& value) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_saved = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedVariable()
    {
        if (m_saved)
            qputenv(m_name, *m_saved);
        else
            qunsetenv(m_name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    std::optional<QByteArray> m_saved;
};

struct ProxyCase {
    const char* name;
    bool namedProxy;          // the engine's Proxy names the proxy server
    bool environmentProxy;    // http_proxy names the proxy server
    const char* noProxy;      // no_proxy and NO_PROXY
    bool throughProxy;        // where the request must land
    friend void PrintTo(const ProxyCase& c, std::ostream* os) { *os << c.name; }
};

class HttpProxy : public DownloadFixture, public testing::WithParamInterface<ProxyCase> {
protected:
    void SetUp() override
    {
        served.write(QStringLiteral("setup.exe"), "from the origin");
        ASSERT_TRUE(origin.isRunning());
        ASSERT_TRUE(proxy.isRunning());
    }

    NginxServer origin{served.path()};
    ScriptedHttpServer proxy;
};

TEST_P(HttpProxy, NamedProxyTakesEveryRequestTheEnvironmentOnlyWhenNoneIsNamed)
{
    const ProxyCase& c = GetParam();
    const QByteArray proxyAddress = QStringLiteral("127.0.0.1:%1").arg(proxy.port()).toLatin1();
    ScopedVariable noProxyLower("no_proxy", c.noProxy);
    ScopedVariable noProxyUpper("NO_PROXY", c.noProxy);
    ScopedVariable httpProxy("http_proxy", c.environmentProxy ? std::optional("http://" + proxyAddress) : std::nullopt);
    if (c.namedProxy)
        run.Proxy = QString::fromLatin1(proxyAddress);
    const QString url = origin.url(QStringLiteral("/setup.exe"));
    TWebTransferItem* job = addJob(url);

    run.Execute();

    EXPECT_TRUE(job->Success());
    const auto requests = proxy.requests();
    if (c.throughProxy) {
        ASSERT_EQ(requests.size(), 1);
        EXPECT_EQ(requests[0].target, url);
        EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("proxied"));
    } else {
        EXPECT_TRUE(requests.isEmpty());
        EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("from the origin"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Routes, HttpProxy,
    testing::Values(ProxyCase{"NamedProxyIgnoresTheBypassList", true, false, "127.0.0.1", true},
                    ProxyCase{"NamedProxyIgnoresAWildcardBypass", true, false, "*", true},
                    ProxyCase{"EnvironmentProxyWhenNoneIsNamed", false, true, "", true},
                    ProxyCase{"EnvironmentBypassWhenNoneIsNamed", false, true, "127.0.0.1", false}),
    caseName);

} // namespace
