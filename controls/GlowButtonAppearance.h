#pragma once

#include "controls/Colors.h"
#include "controls/ControlSupport.h"

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
    void SetColor(TColor Value) { if (AssignIfChanged(FColor, Value)) Changed(); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { if (AssignIfChanged(FColorTo, Value)) Changed(); }
    TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor Value) { if (AssignIfChanged(FColorMirror, Value)) Changed(); }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor Value) { if (AssignIfChanged(FColorMirrorTo, Value)) Changed(); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { if (AssignIfChanged(FBorderColor, Value)) Changed(); }
    TGDIPGradient Gradient() const { return FGradient; }
    void SetGradient(TGDIPGradient Value) { if (AssignIfChanged(FGradient, Value)) Changed(); }
    TGDIPGradient GradientMirror() const { return FGradientMirror; }
    void SetGradientMirror(TGDIPGradient Value) { if (AssignIfChanged(FGradientMirror, Value)) Changed(); }

    // Hot state: the pointer is over the button.
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor Value) { if (AssignIfChanged(FColorHot, Value)) Changed(); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor Value) { if (AssignIfChanged(FColorHotTo, Value)) Changed(); }
    TColor ColorMirrorHot() const { return FColorMirrorHot; }
    void SetColorMirrorHot(TColor Value) { if (AssignIfChanged(FColorMirrorHot, Value)) Changed(); }
    TColor ColorMirrorHotTo() const { return FColorMirrorHotTo; }
    void SetColorMirrorHotTo(TColor Value) { if (AssignIfChanged(FColorMirrorHotTo, Value)) Changed(); }
    TColor BorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor Value) { if (AssignIfChanged(FBorderColorHot, Value)) Changed(); }
    TGDIPGradient GradientHot() const { return FGradientHot; }
    void SetGradientHot(TGDIPGradient Value) { if (AssignIfChanged(FGradientHot, Value)) Changed(); }
    TGDIPGradient GradientMirrorHot() const { return FGradientMirrorHot; }
    void SetGradientMirrorHot(TGDIPGradient Value) { if (AssignIfChanged(FGradientMirrorHot, Value)) Changed(); }
    TColor TextColorHot() const { return FTextColorHot; }
    void SetTextColorHot(TColor Value) { if (AssignIfChanged(FTextColorHot, Value)) Changed(); }

    // Down state: pressed right now.
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor Value) { if (AssignIfChanged(FColorDown, Value)) Changed(); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor Value) { if (AssignIfChanged(FColorDownTo, Value)) Changed(); }
    TColor ColorMirrorDown() const { return FColorMirrorDown; }
    void SetColorMirrorDown(TColor Value) { if (AssignIfChanged(FColorMirrorDown, Value)) Changed(); }
    TColor ColorMirrorDownTo() const { return FColorMirrorDownTo; }
    void SetColorMirrorDownTo(TColor Value) { if (AssignIfChanged(FColorMirrorDownTo, Value)) Changed(); }
    TColor BorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor Value) { if (AssignIfChanged(FBorderColorDown, Value)) Changed(); }
    TGDIPGradient GradientDown() const { return FGradientDown; }
    void SetGradientDown(TGDIPGradient Value) { if (AssignIfChanged(FGradientDown, Value)) Changed(); }
    TGDIPGradient GradientMirrorDown() const { return FGradientMirrorDown; }
    void SetGradientMirrorDown(TGDIPGradient Value) { if (AssignIfChanged(FGradientMirrorDown, Value)) Changed(); }
    TColor TextColorDown() const { return FTextColorDown; }
    void SetTextColorDown(TColor Value) { if (AssignIfChanged(FTextColorDown, Value)) Changed(); }

    // Checked state: a down member of a group or a checked check-style button.
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor Value) { if (AssignIfChanged(FColorChecked, Value)) Changed(); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor Value) { if (AssignIfChanged(FColorCheckedTo, Value)) Changed(); }
    TColor ColorMirrorChecked() const { return FColorMirrorChecked; }
    void SetColorMirrorChecked(TColor Value) { if (AssignIfChanged(FColorMirrorChecked, Value)) Changed(); }
    TColor ColorMirrorCheckedTo() const { return FColorMirrorCheckedTo; }
    void SetColorMirrorCheckedTo(TColor Value) { if (AssignIfChanged(FColorMirrorCheckedTo, Value)) Changed(); }
    TColor BorderColorChecked() const { return FBorderColorChecked; }
    void SetBorderColorChecked(TColor Value) { if (AssignIfChanged(FBorderColorChecked, Value)) Changed(); }
    TColor BorderColorCheckedHot() const { return FBorderColorCheckedHot; }
    void SetBorderColorCheckedHot(TColor Value) { if (AssignIfChanged(FBorderColorCheckedHot, Value)) Changed(); }
    TGDIPGradient GradientChecked() const { return FGradientChecked; }
    void SetGradientChecked(TGDIPGradient Value) { if (AssignIfChanged(FGradientChecked, Value)) Changed(); }
    TGDIPGradient GradientMirrorChecked() const { return FGradientMirrorChecked; }
    void SetGradientMirrorChecked(TGDIPGradient Value) { if (AssignIfChanged(FGradientMirrorChecked, Value)) Changed(); }
    TColor TextColorChecked() const { return FTextColorChecked; }
    void SetTextColorChecked(TColor Value) { if (AssignIfChanged(FTextColorChecked, Value)) Changed(); }

    // Disabled state.
    TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor Value) { if (AssignIfChanged(FColorDisabled, Value)) Changed(); }
    TColor ColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor Value) { if (AssignIfChanged(FColorDisabledTo, Value)) Changed(); }
    TColor ColorMirrorDisabled() const { return FColorMirrorDisabled; }
    void SetColorMirrorDisabled(TColor Value) { if (AssignIfChanged(FColorMirrorDisabled, Value)) Changed(); }
    TColor ColorMirrorDisabledTo() const { return FColorMirrorDisabledTo; }
    void SetColorMirrorDisabledTo(TColor Value) { if (AssignIfChanged(FColorMirrorDisabledTo, Value)) Changed(); }
    TColor BorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(TColor Value) { if (AssignIfChanged(FBorderColorDisabled, Value)) Changed(); }
    TGDIPGradient GradientDisabled() const { return FGradientDisabled; }
    void SetGradientDisabled(TGDIPGradient Value) { if (AssignIfChanged(FGradientDisabled, Value)) Changed(); }
    TGDIPGradient GradientMirrorDisabled() const { return FGradientMirrorDisabled; }
    void SetGradientMirrorDisabled(TGDIPGradient Value) { if (AssignIfChanged(FGradientMirrorDisabled, Value)) Changed(); }
    TColor TextColorDisabled() const { return FTextColorDisabled; }
    void SetTextColorDisabled(TColor Value) { if (AssignIfChanged(FTextColorDisabled, Value)) Changed(); }

    // Every state.
    TColor BorderColorFocused() const { return FBorderColorFocused; }
    void SetBorderColorFocused(TColor Value) { if (AssignIfChanged(FBorderColorFocused, Value)) Changed(); }
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value) { if (AssignIfChanged(FSystemFont, Value)) Changed(); }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { if (AssignIfChanged(FTextColor, Value)) Changed(); }
    bool TranspHover() const { return FTranspHover; }
    void SetTranspHover(bool Value) { if (AssignIfChanged(FTranspHover, Value)) Changed(); }
    bool NoBorderDefault() const { return FNoBorderDefault; }
    void SetNoBorderDefault(bool Value) { if (AssignIfChanged(FNoBorderDefault, Value)) Changed(); }

private:
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
