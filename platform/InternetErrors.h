#pragma once

#include <QString>

namespace platform {

// Errors of the internet client layer are numbered from this base, so they never collide
// with the engine's own codes (0 to 7) or with HTTP status codes (300 to 599).
constexpr int InternetErrorBase = 12000;

// The error number the layer reports for a libcurl result code.
int internetErrorNumber(int curlCode);

// The library's own text for an error number of the layer; empty when the number is not one
// of the layer's.
QString internetErrorMessage(int errorNumber);

} // namespace platform
