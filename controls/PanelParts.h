#pragma once

#include "controls/Colors.h"
#include "controls/ControlSupport.h"
#include "controls/ControlTypes.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <functional>

enum TGradientDirection : std::uint8_t { gdVertical, gdHorizontal };

// A part of a gradient panel that tells its panel about every change.
class TPanelPart {
public:
    std::function<void()> OnChange;

protected:
    void Changed() const { Raise(OnChange); }
};

// The bar along one edge of a gradient panel that carries its title and window buttons.
class TPanelCaption : public TPanelPart {
public:
    enum TCaptionPosition : std::uint8_t { cpTop, cpLeft, cpRight };
    enum TCaptionButtonPosition : std::uint8_t { cbpRight, cbpLeft };
    enum TShadeType : std::uint8_t { stNormal, stNoise, stDiagShade, stHShade, stVShade };

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { if (AssignIfChanged(FVisible, Value)) Changed(); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { if (AssignIfChanged(FHeight, Value)) Changed(); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { if (AssignIfChanged(FColor, Value)) Changed(); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { if (AssignIfChanged(FColorTo, Value)) Changed(); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { if (AssignIfChanged(FGradientDirection, Value)) Changed(); }
    TCaptionPosition Position() const { return FPosition; }
    void SetPosition(TCaptionPosition Value) { if (AssignIfChanged(FPosition, Value)) Changed(); }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { if (AssignIfChanged(FFontColor, Value)) Changed(); }
    TColor CloseColor() const { return FCloseColor; }
    void SetCloseColor(TColor Value) { if (AssignIfChanged(FCloseColor, Value)) Changed(); }
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value) { if (AssignIfChanged(FCloseButton, Value)) Changed(); }
    bool MinMaxButton() const { return FMinMaxButton; }
    void SetMinMaxButton(bool Value) { if (AssignIfChanged(FMinMaxButton, Value)) Changed(); }
    TColor CloseButtonColor() const { return FCloseButtonColor; }
    void SetCloseButtonColor(TColor Value) { if (AssignIfChanged(FCloseButtonColor, Value)) Changed(); }
    TColor MinMaxButtonColor() const { return FMinMaxButtonColor; }
    void SetMinMaxButtonColor(TColor Value) { if (AssignIfChanged(FMinMaxButtonColor, Value)) Changed(); }
    TCaptionButtonPosition ButtonPosition() const { return FButtonPosition; }
    void SetButtonPosition(TCaptionButtonPosition Value) { if (AssignIfChanged(FButtonPosition, Value)) Changed(); }
    TShadeType ShadeType() const { return FShadeType; }
    void SetShadeType(TShadeType Value) { if (AssignIfChanged(FShadeType, Value)) Changed(); }
    int ShadeLight() const { return FShadeLight; }
    void SetShadeLight(int Value) { if (AssignIfChanged(FShadeLight, Value)) Changed(); }
    int ShadeGrain() const { return FShadeGrain; }
    void SetShadeGrain(int Value) { if (AssignIfChanged(FShadeGrain, Value)) Changed(); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value) { if (AssignIfChanged(FIndent, Value)) Changed(); }
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value) { if (AssignIfChanged(FTopIndent, Value)) Changed(); }
    QString Text() const { return FText; }
    void SetText(const QString& Value) { if (AssignIfChanged(FText, Value)) Changed(); }

private:
    bool FVisible = false;
    int FHeight = 20;
    TColor FColor = clHighlight;
    TColor FColorTo = clNone;
    TGradientDirection FGradientDirection = gdHorizontal;
    TCaptionPosition FPosition = cpTop;
    TColor FFontColor = clHighlightText;
    TColor FCloseColor = clBtnFace;
    bool FCloseButton = false;
    bool FMinMaxButton = false;
    TColor FCloseButtonColor = clWhite;
    TColor FMinMaxButtonColor = clWhite;
    TCaptionButtonPosition FButtonPosition = cbpRight;
    TShadeType FShadeType = stNormal;
    int FShadeLight = 200;
    int FShadeGrain = 32;
    int FIndent = 0;
    int FTopIndent = 0;
    QString FText;
};

// The strip along the bottom of a gradient panel.
class TPanelStatusBar : public TPanelPart {
public:
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { if (AssignIfChanged(FVisible, Value)) Changed(); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { if (AssignIfChanged(FHeight, Value)) Changed(); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { if (AssignIfChanged(FColor, Value)) Changed(); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { if (AssignIfChanged(FColorTo, Value)) Changed(); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { if (AssignIfChanged(FGradientDirection, Value)) Changed(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { if (AssignIfChanged(FImageIndex, Value)) Changed(); }
    QString Text() const { return FText; }
    void SetText(const QString& Value) { if (AssignIfChanged(FText, Value)) Changed(); }
    QFont Font() const { return FFont; }
    void SetFont(const QFont& Value) { if (AssignIfChanged(FFont, Value)) Changed(); }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { if (AssignIfChanged(FFontColor, Value)) Changed(); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { if (AssignIfChanged(FBorderStyle, Value)) Changed(); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { if (AssignIfChanged(FBorderColor, Value)) Changed(); }
    bool BevelInner() const { return FBevelInner; }
    void SetBevelInner(bool Value) { if (AssignIfChanged(FBevelInner, Value)) Changed(); }
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value) { if (AssignIfChanged(FTopIndent, Value)) Changed(); }

private:
    bool FVisible = false;
    int FHeight = 18;
    TColor FColor = clBtnFace;
    TColor FColorTo = clNone;
    TGradientDirection FGradientDirection = gdHorizontal;
    int FImageIndex = -1;
    QString FText;
    QFont FFont = QFont(QStringLiteral("Tahoma"));
    TColor FFontColor = clWindowText;
    TBorderStyle FBorderStyle = bsNone;
    TColor FBorderColor = 0;
    bool FBevelInner = false;
    int FTopIndent = 0;
};
