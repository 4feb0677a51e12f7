#include "controls/GlowButtonAppearance.h"

#include "controls/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

int DarkenChannel(int Channel, int Percent)
{
    if (Channel == 0)
        return std::max(Percent, 0);
    const int Result = RoundEven(Channel * std::min(100 + Percent, 100) / 100.0);
    return std::clamp(Result, 0, 255);
}

} // namespace

TColor MixColors(TColor c1, TColor c2, int p)
{
    if (p >= 100)
        return c1;
    if (p <= 0 || c1 == clNone)
        return c2;
    if (c2 == clNone)
        return c1;
    const TColor Rgb1 = ColorToRGB(c1);
    const TColor Rgb2 = ColorToRGB(c2);
    const double Weight = p / 100.0;
    auto Mix = [Weight](int a, int b) { return std::min(RoundEven(Weight * a + (1 - Weight) * b), 255); };
    return RGBColor(Mix(GetRValue(Rgb1), GetRValue(Rgb2)), Mix(GetGValue(Rgb1), GetGValue(Rgb2)),
                    Mix(GetBValue(Rgb1), GetBValue(Rgb2)));
}

TColor DarkenColor(TColor Color, int pRed, int pGreen, int pBlue)
{
    if (Color == clNone)
        return clNone;
    const TColor Rgb = ColorToRGB(Color);
    return RGBColor(DarkenChannel(GetRValue(Rgb), pRed), DarkenChannel(GetGValue(Rgb), pGreen),
                    DarkenChannel(GetBValue(Rgb), pBlue));
}

TGlowButtonAppearance::TGlowButtonAppearance()
    : FColor(clWhite), FColorTo(clWhite), FColorMirror(clSilver), FColorMirrorTo(clWhite),
      FBorderColor(clSilver), FGradient(ggVertical), FGradientMirror(ggVertical),
      FColorHot(0xF5F0E1), FColorHotTo(0xF9D2B2), FColorMirrorHot(0xF5C8AD),
      FColorMirrorHotTo(0xFFF8F4), FBorderColorHot(0xFF0000), FGradientHot(ggRadial),
      FGradientMirrorHot(ggRadial), FTextColorHot(clBlack), FBorderColorDown(0x800000),
      FGradientDown(ggRadial), FGradientMirrorDown(ggRadial), FTextColorDown(clBlack),
      FBorderColorChecked(0xFF0000), FBorderColorCheckedHot(clNone), FGradientChecked(ggRadial),
      FGradientMirrorChecked(ggVertical), FTextColorChecked(clBlack),
      FBorderColorDisabled(clGray), FGradientDisabled(ggRadial), FGradientMirrorDisabled(ggRadial),
      FTextColorDisabled(clGray), FBorderColorFocused(0xE4AD89), FSystemFont(true),
      FTextColor(clNone), FTranspHover(false), FNoBorderDefault(false)
{
    // The pressed looks are the hot colours with red and green darkened, the disabled look the
    // normal colours a shade darker.
    FColorDown = DarkenColor(FColorHot, -10, -10, 0);
    FColorDownTo = DarkenColor(FColorHotTo, -10, -10, 0);
    FColorMirrorDown = DarkenColor(FColorMirrorHot, -10, -10, 0);
    FColorMirrorDownTo = DarkenColor(FColorMirrorHotTo, -10, -10, 0);
    FColorChecked = FColorDown;
    FColorCheckedTo = FColorDownTo;
    FColorMirrorChecked = FColorMirrorDown;
    FColorMirrorCheckedTo = FColorMirrorDownTo;
    FColorDisabled = DarkenColor(FColor, -5, -5, -5);
    FColorDisabledTo = DarkenColor(FColorTo, -5, -5, -5);
    FColorMirrorDisabled = DarkenColor(FColorMirror, -5, -5, -5);
    FColorMirrorDisabledTo = DarkenColor(FColorMirrorTo, -5, -5, -5);
}

void TGlowButtonAppearance::Assign(const TGlowButtonAppearance& Source)
{
    if (&Source == this)
        return;
    auto Handler = std::move(OnChange);
    *this = Source;
    OnChange = std::move(Handler);
    Changed();
}

void TGlowButtonAppearance::Changed()
{
    Raise(OnChange, this);
}
