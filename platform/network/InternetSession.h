#pragma once

#include "platform/network/InternetRequest.h"
#include "platform/network/InternetResult.h"
#include "platform/network/InternetUpload.h"

#include <QFlags>
#include <QString>

#include <functional>
#include <memory>

namespace platform {

class SessionCore;
class FtpConnection;

// Called again and again while the layer waits for the network. It keeps the user interface
// alive; returning false aborts the wait (the call then fails).
using IdleCallback = std::function<bool()>;

enum class OpenFlag : quint32 {
    NoCacheWrite = 0x04000000,
    KeepConnection = 0x00400000,
    Reload = 0x80000000,
};
Q_DECLARE_FLAGS(OpenFlags, OpenFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(OpenFlags)

// One internet session: the agent name, the proxy (named, or the system's configuration when
// empty), the time-outs and the connection cache its requests share. Requests may outlive it.
class InternetSession {
public:
    // Used while no time-out is set, so no wait lasts forever.
    static constexpr int DefaultTimeoutMs = 60000;

    explicit InternetSession(const QString& agent, const QString& proxy = {});
    ~InternetSession();
    InternetSession(InternetSession&&) noexcept;
    InternetSession& operator=(InternetSession&&) noexcept;
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    QString agent() const;
    QString proxy() const;

    int connectTimeout() const;
    void setConnectTimeout(int milliseconds);
    int sendTimeout() const;
    void setSendTimeout(int milliseconds);
    int receiveTimeout() const;
    void setReceiveTimeout(int milliseconds);
    // Milliseconds of silence from the peer after which any wait of the session, HTTP or
    // FTP, fails: the largest of the three time-outs.
    std::int64_t silenceLimit() const;

    // The longest wait in milliseconds for an answer's status line and headers from the start
    // of openUrl, however steadily they trickle in; 0 (the default) for none.
    int responseHeadTimeout() const;
    void setResponseHeadTimeout(int milliseconds);
    // A body of an opened address that brings less than bytesPerSecond on average over
    // seconds fails its read; either 0 (the default) for no floor. The time our own reader
    // holds the transfer back does not count.
    int lowSpeedLimit() const;
    int lowSpeedTime() const;
    void setLowSpeedLimit(int bytesPerSecond, int seconds);
    // Both fail a request as a time-out with InternetResult::tooSlow set and a message that
    // names the limit.

    // Credentials for the proxy alone; they never reach the origin server.
    void setProxyCredentials(const QString& user, const QString& password);
    void setIdleCallback(IdleCallback callback);
    // Certificate authorities (a PEM file) trusted instead of the system's; empty for the
    // system's. Certificates are always verified.
    void setCertificateAuthorities(const QString& pemFile);

    // Opens an address and waits until the final answer's status line and headers arrived
    // (redirects are followed). headers is extra header text, lines separated by CR LF.
    // Gives no request on failure, with the reason. A connection is kept open for the
    // session's later requests to the same server, whatever the flags, and closes with the
    // session: credentials go in each request's own headers, never with the connection.
    // A connection only stays once its answer came in whole, so with KeepConnection a 401
    // also waits briefly for a short page, which stays readable: the credentials then go over
    // the connection the 401 came over even when it is closed unread.
    Opened<InternetRequest> openUrl(const QString& url, const QString& headers, OpenFlags flags);

    enum class UploadVerb { Post, Put };
    // Prepares a request that sends a body of exactly length bytes, raw, with no other
    // headers; begin() on it makes the connection. Gives no request when the address cannot
    // be used, with the reason.
    Opened<InternetUpload> openUpload(const QString& url, UploadVerb verb, std::int64_t length);

    // Connects to an FTP server and logs in: as user with password when both are given,
    // anonymously otherwise. Passive or active data connections. Gives no connection on
    // failure (server unreachable, login refused), with the reason.
    Opened<FtpConnection> connectFtp(const QString& host, int port, const QString& user, const QString& password,
                                     bool passive);

private:
    std::shared_ptr<SessionCore> m_core;
};

} // namespace platform
