#include "controls/Colors.h"

#include "controls/SystemColors.h"

TColor ColorToRGB(TColor Color)
{
    if (Color == clNone)
        return clNone;
    if ((Color & 0xFF000000) == SystemColorBase)
        return platform::systemColor(static_cast<int>(Color & 0xFF));
    return Color & 0x00FFFFFF;
}

QColor ToQColor(TColor Color)
{
    if (Color == clNone)
        return QColor(0, 0, 0, 0);
    const TColor rgb = ColorToRGB(Color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
