#pragma once

#include <QColor>

#include <cstdint>

// A colour value as the controls store it: 0x00BBGGRR for an explicit colour, 0xFF0000nn for
// entry nn of the system colour table, clNone for no colour at all.
using TColor = std::uint32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;

constexpr TColor SystemColorBase = 0xFF000000;
constexpr TColor clScrollBar = SystemColorBase | 0;
constexpr TColor clActiveCaption = SystemColorBase | 2;
constexpr TColor clWindow = SystemColorBase | 5;
constexpr TColor clWindowFrame = SystemColorBase | 6;
constexpr TColor clWindowText = SystemColorBase | 8;
constexpr TColor clCaptionText = SystemColorBase | 9;
constexpr TColor clHighlight = SystemColorBase | 13;
constexpr TColor clHighlightText = SystemColorBase | 14;
constexpr TColor clBtnFace = SystemColorBase | 15;
constexpr TColor clBtnShadow = SystemColorBase | 16;
constexpr TColor clGrayText = SystemColorBase | 17;
constexpr TColor clBtnText = SystemColorBase | 18;
constexpr TColor clBtnHighlight = SystemColorBase | 20;
constexpr TColor cl3DDkShadow = SystemColorBase | 21;
constexpr TColor cl3DLight = SystemColorBase | 22;
constexpr TColor clInfoText = SystemColorBase | 23;
constexpr TColor clInfoBk = SystemColorBase | 24;
constexpr TColor clHotLight = SystemColorBase | 26;

constexpr TColor RGBColor(int Red, int Green, int Blue)
{
    return TColor(Red & 0xFF) | (TColor(Green & 0xFF) << 8) | (TColor(Blue & 0xFF) << 16);
}
constexpr int GetRValue(TColor Color) { return Color & 0xFF; }
constexpr int GetGValue(TColor Color) { return (Color >> 8) & 0xFF; }
constexpr int GetBValue(TColor Color) { return (Color >> 16) & 0xFF; }

// The explicit RGB value of a colour, system colours looked up; clNone stays clNone.
TColor ColorToRGB(TColor Color);
// The opaque QColor of a colour; clNone gives a fully transparent colour.
QColor ToQColor(TColor Color);
