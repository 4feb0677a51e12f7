#pragma once

#include <QString>

// The internet layer's own message for an error number it reported (at most 255
// characters); empty when the number is not one of its errors.
QString InternetErrorText(int Code);
