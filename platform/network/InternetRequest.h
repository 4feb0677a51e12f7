#pragma once

#include "platform/network/InternetResult.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

namespace platform {

class SessionCore;
struct RequestState;

// One open request of a session, its answer's headers already read. The body is read a block
// at a time; the request is closed when the object goes.
class InternetRequest {
public:
    ~InternetRequest();
    InternetRequest(const InternetRequest&) = delete;
    InternetRequest& operator=(const InternetRequest&) = delete;

    // The status code of the final answer.
    int statusCode() const;
    // The address after every redirect; the address as opened when there was none.
    QString finalUrl() const;
    // Content-Length of the final answer; -1 when it has none.
    std::int64_t contentLength() const;
    // Last-Modified of the final answer; all zero when it has none or it cannot be read.
    CalendarTime lastModified() const;
    // A header of the final answer by name (any letter case); empty when absent.
    QString header(const QByteArray& name) const;

    // Reads up to maxSize bytes of the body into data. bytesRead 0 with ok means the body
    // ended completely; a failure means it broke off, timed out or the wait was aborted.
    InternetResult read(char* data, std::int64_t maxSize, std::int64_t& bytesRead);

private:
    friend class InternetSession;
    friend class FtpConnection;
    explicit InternetRequest(std::unique_ptr<RequestState> state);

    std::unique_ptr<RequestState> m_state;
};

} // namespace platform
