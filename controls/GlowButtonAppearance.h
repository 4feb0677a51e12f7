#pragma once

#include "controls/Colors.h"

#include <functional>

// How one part of the button face runs between its two colours.
enum TGDIPGradient { ggRadial, ggVertical, ggDiagonalForward, ggDiagonalBackward };

// Blends c1 over c2 by p percent (100 gives c1, 0 gives c2); clNone on either side gives the other.
TColor MixColors(TColor c1, TColor c2, int p);
// Moves each channel by its percentage: negative values darken (-10 keeps 90 %); a channel at
// 0 takes max(p, 0).
TColor DarkenColor(TColor Color, int pRed, int pGreen, int pBlue);

// The colours, gradient kinds and text colours of every state of a glow button. Each setter
// stores its value and raises OnChange, on which the owning button repaints.
class TGlowButtonAppearance
{
public:
    TGlowButtonAppearance();

    void Assign(const TGlowButtonAppearance& Source);

    std::function<void(TGlowButtonAppearance* Sender)> OnChange;

    // Normal state.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { Set(FColor, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Set(FColorTo, Value); }
    TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor Value) { Set(FColorMirror, Value); }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor Value) { Set(FColorMirrorTo, Value); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Set(FBorderColor, Value); }
    TGDIPGradient Gradient() const { return FGradient; }
    void SetGradient(TGDIPGradient Value) { Set(FGradient, Value); }
    TGDIPGradient GradientMirror() const { return FGradientMirror; }
    void SetGradientMirror(TGDIPGradient Value) { Set(FGradientMirror, Value); }

    // Hot state: the pointer is over the button.
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor Value) { Set(FColorHot, Value); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor Value) { Set(FColorHotTo, Value); }
    TColor ColorMirrorHot() const { return FColorMirrorHot; }
    void SetColorMirrorHot(TColor Value) { Set(FColorMirrorHot, Value); }
    TColor ColorMirrorHotTo() const { return FColorMirrorHotTo; }
    void SetColorMirrorHotTo(TColor Value) { Set(FColorMirrorHotTo, Value); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor Value) { Set(FBorderColorHot, Value); }
    TGDIPGradient GradientHot() const { return FGradientHot; }
    void SetGradientHot(TGDIPGradient Value) { Set(FGradientHot, Value); }
    TGDIPGradient GradientMirrorHot() const { return FGradientMirrorHot; }
    void SetGradientMirrorHot(TGDIPGradient Value) { Set(FGradientMirrorHot, Value); }
    TColor TextColorHot() const { return FTextColorHot; }
    void SetTextColorHot(TColor Value) { Set(FTextColorHot, Value); }

    // Down state: pressed right now.
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor Value) { Set(FColorDown, Value); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor Value) { Set(FColorDownTo, Value); }
    TColor ColorMirrorDown() const { return FColorMirrorDown; }
    void SetColorMirrorDown(TColor Value) { Set(FColorMirrorDown, Value); }
    TColor ColorMirrorDownTo() const { return FColorMirrorDownTo; }
    void SetColorMirrorDownTo(TColor Value) { Set(FColorMirrorDownTo, Value); }
    TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor Value) { Set(FBorderColorDown, Value); }
    TGDIPGradient GradientDown() const { return FGradientDown; }
    void SetGradientDown(TGDIPGradient Value) { Set(FGradientDown, Value); }
    TGDIPGradient GradientMirrorDown() const { return FGradientMirrorDown; }
    void SetGradientMirrorDown(TGDIPGradient Value) { Set(FGradientMirrorDown, Value); }
    TColor TextColorDown() const { return FTextColorDown; }
    void SetTextColorDown(TColor Value) { Set(FTextColorDown, Value); }

    // Checked state: a down member of a group or a checked check-style button.
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor Value) { Set(FColorChecked, Value); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor Value) { Set(FColorCheckedTo, Value); }
    TColor ColorMirrorChecked() const { return FColorMirrorChecked; }
    void SetColorMirrorChecked(TColor Value) { Set(FColorMirrorChecked, Value); }
    TColor ColorMirrorCheckedTo() const { return FColorMirrorCheckedTo; }
    void SetColorMirrorCheckedTo(TColor Value) { Set(FColorMirrorCheckedTo, Value); }
    TColor BorderColorChecked() const { return FBorderColorChecked; }
    void SetBorderColorChecked(TColor Value) { Set(FBorderColorChecked, Value); }
    TColor BorderColorCheckedHot() const { return FBorderColorCheckedHot; }
    void SetBorderColorCheckedHot(TColor Value) { Set(FBorderColorCheckedHot, Value); }
    TGDIPGradient GradientChecked() const { return FGradientChecked; }
    void SetGradientChecked(TGDIPGradient Value) { Set(FGradientChecked, Value); }
    TGDIPGradient GradientMirrorChecked() const { return FGradientMirrorChecked; }
    void SetGradientMirrorChecked(TGDIPGradient Value) { Set(FGradientMirrorChecked, Value); }
    TColor TextColorChecked() const { return FTextColorChecked; }
    void SetTextColorChecked(TColor Value) { Set(FTextColorChecked, Value); }

    // Disabled state.
    TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor Value) { Set(FColorDisabled, Value); }
    TColor ColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor Value) { Set(FColorDisabledTo, Value); }
    TColor ColorMirrorDisabled() const { return FColorMirrorDisabled; }
    void SetColorMirrorDisabled(TColor Value) { Set(FColorMirrorDisabled, Value); }
    TColor ColorMirrorDisabledTo() const { return FColorMirrorDisabledTo; }
    void SetColorMirrorDisabledTo(TColor Value) { Set(FColorMirrorDisabledTo, Value); }
    TColor BorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(TColor Value) { Set(FBorderColorDisabled, Value); }
    TGDIPGradient GradientDisabled() const { return FGradientDisabled; }
    void SetGradientDisabled(TGDIPGradient Value) { Set(FGradientDisabled, Value); }
    TGDIPGradient GradientMirrorDisabled() const { return FGradientMirrorDisabled; }
    void SetGradientMirrorDisabled(TGDIPGradient Value) { Set(FGradientMirrorDisabled, Value); }
    TColor TextColorDisabled() const { return FTextColorDisabled; }
    void SetTextColorDisabled(TColor Value) { Set(FTextColorDisabled, Value); }

    // Every state.
    TColor BorderColorFocused() const { return FBorderColorFocused; }
    void SetBorderColorFocused(TColor Value) { Set(FBorderColorFocused, Value); }
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value) { Set(FSystemFont, Value); }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { Set(FTextColor, Value); }
    bool TranspHover() const { return FTranspHover; }
    void SetTranspHover(bool Value) { Set(FTranspHover, Value); }
    bool NoBorderDefault() const { return FNoBorderDefault; }
    void SetNoBorderDefault(bool Value) { Set(FNoBorderDefault, Value); }

private:
    template <typename T>
    void Set(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    void Changed();

    TColor FColor, FColorTo, FColorMirror, FColorMirrorTo, FBorderColor;
    TGDIPGradient FGradient, FGradientMirror;
    TColor FColorHot, FColorHotTo, FColorMirrorHot, FColorMirrorHotTo, FBorderColorHot;
    TGDIPGradient FGradientHot, FGradientMirrorHot;
    TColor FTextColorHot;
    TColor FColorDown, FColorDownTo, FColorMirrorDown, FColorMirrorDownTo, FBorderColorDown;
    TGDIPGradient FGradientDown, FGradientMirrorDown;
    TColor FTextColorDown;
    TColor FColorChecked, FColorCheckedTo, FColorMirrorChecked, FColorMirrorCheckedTo;
    TColor FBorderColorChecked, FBorderColorCheckedHot;
    TGDIPGradient FGradientChecked, FGradientMirrorChecked;
    TColor FTextColorChecked;
    TColor FColorDisabled, FColorDisabledTo, FColorMirrorDisabled, FColorMirrorDisabledTo;
    TColor FBorderColorDisabled;
    TGDIPGradient FGradientDisabled, FGradientMirrorDisabled;
    TColor FTextColorDisabled;
    TColor FBorderColorFocused;
    bool FSystemFont;
    TColor FTextColor;
    bool FTranspHover;
    bool FNoBorderDefault;
};
