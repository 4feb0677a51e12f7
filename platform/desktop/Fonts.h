#pragma once

#include <QString>

namespace platform {

// Makes the designs' fonts (Tahoma, MS Sans Serif) available to the application when the
// system's font configuration does not offer them, from the copies Wine ships; only fonts
// with outlines are taken, and MS Sans Serif is drawn in Tahoma when there is no outline copy
// of it. Call after the application object exists. Returns false when Tahoma is still
// missing afterwards.
bool ensureDesignFonts();

} // namespace platform
