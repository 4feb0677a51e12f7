#pragma once

#include <QString>

// Base64 (RFC 4648, no line breaks) of the text's bytes for a Basic authorization header:
// one byte per character when every character is within U+0000..U+00FF, otherwise UTF-8,
// so no two different texts give the same header.
QString Base64Encode(const QString& Text);
