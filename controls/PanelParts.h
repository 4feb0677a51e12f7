#pragma once

#include "controls/Colors.h"
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
    template <typename T> void Set(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        if (OnChange)
            OnChange();
    }
};

// The bar along one edge of a gradient panel that carries its title and window buttons.
class TPanelCaption : public TPanelPart {
public:
    enum TCaptionPosition : std::uint8_t { cpTop, cpLeft, cpRight };
    enum TCaptionButtonPosition : std::uint8_t { cbpRight, cbpLeft };
    enum TShadeType : std::uint8_t { stNormal, stNoise, stDiagShade, stHShade, stVShade };

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { Set(FVisible, Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { Set(FHeight, Value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { Set(FColor, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Set(FColorTo, Value); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { Set(FGradientDirection, Value); }
    TCaptionPosition Position() const { return FPosition; }
    void SetPosition(TCaptionPosition Value) { Set(FPosition, Value); }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { Set(FFontColor, Value); }
    TColor CloseColor() const { return FCloseColor; }
    void SetCloseColor(TColor Value) { Set(FCloseColor, Value); }
    bool CloseButton() const { return FCloseButton; }
    void SetCloseButton(bool Value) { Set(FCloseButton, Value); }
    bool MinMaxButton() const { return FMinMaxButton; }
    void SetMinMaxButton(bool Value) { Set(FMinMaxButton, Value); }
    TColor CloseButtonColor() const { return FCloseButtonColor; }
    void SetCloseButtonColor(TColor Value) { Set(FCloseButtonColor, Value); }
    TColor MinMaxButtonColor() const { return FMinMaxButtonColor; }
    void SetMinMaxButtonColor(TColor Value) { Set(FMinMaxButtonColor, Value); }
    TCaptionButtonPosition ButtonPosition() const { return FButtonPosition; }
    void SetButtonPosition(TCaptionButtonPosition Value) { Set(FButtonPosition, Value); }
    TShadeType ShadeType() const { return FShadeType; }
    void SetShadeType(TShadeType Value) { Set(FShadeType, Value); }
    int ShadeLight() const { return FShadeLight; }
    void SetShadeLight(int Value) { Set(FShadeLight, Value); }
    int ShadeGrain() const { return FShadeGrain; }
    void SetShadeGrain(int Value) { Set(FShadeGrain, Value); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value) { Set(FIndent, Value); }
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value) { Set(FTopIndent, Value); }
    QString Text() const { return FText; }
    void SetText(const QString& Value) { Set(FText, Value); }

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
    void SetVisible(bool Value) { Set(FVisible, Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { Set(FHeight, Value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { Set(FColor, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Set(FColorTo, Value); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { Set(FGradientDirection, Value); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { Set(FImageIndex, Value); }
    QString Text() const { return FText; }
    void SetText(const QString& Value) { Set(FText, Value); }
    QFont Font() const { return FFont; }
    void SetFont(const QFont& Value) { Set(FFont, Value); }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { Set(FFontColor, Value); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { Set(FBorderStyle, Value); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Set(FBorderColor, Value); }
    bool BevelInner() const { return FBevelInner; }
    void SetBevelInner(bool Value) { Set(FBevelInner, Value); }
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value) { Set(FTopIndent, Value); }

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
