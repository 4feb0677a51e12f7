#pragma once

#include "platform/network/InternetResult.h"

#include <cstdint>
#include <memory>

namespace platform {

struct RequestState;

// One request whose body is sent a block at a time, its length announced up front. The
// writer hands over blocks with write(); finish() ends the body and waits for the answer.
class InternetUpload {
public:
    ~InternetUpload();
    InternetUpload(const InternetUpload&) = delete;
    InternetUpload& operator=(const InternetUpload&) = delete;

    // Starts the request: connects and sends the request line and headers. Fails when the
    // server cannot be reached or does not answer in time.
    InternetResult begin();
    // Sends one block; returns when the connection has taken all of it.
    InternetResult write(const char* data, std::int64_t size);
    // Ends the body and waits for the server's answer.
    InternetResult finish();
    // The answer's status code, once finish() succeeded; 0 before.
    int statusCode() const;

private:
    friend class InternetSession;
    friend class FtpConnection;
    explicit InternetUpload(std::unique_ptr<RequestState> state);

    std::unique_ptr<RequestState> m_state;
};

} // namespace platform
