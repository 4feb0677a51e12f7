#pragma once

#include "controls/Colors.h"
#include "controls/ControlSupport.h"
#include "controls/ControlTypes.h"
#include "controls/AccessibleEvents.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

enum TCaptionPosition : std::uint8_t {
    cpTopLeft, cpTopRight, cpTopCenter, cpBottomLeft, cpBottomRight, cpBottomCenter
};
enum TCheckBoxAction : std::uint8_t { caNone, caDisable, caCheckAll, caControlsDisable };

class TCustomFrameGroupBox;

// The check box a group box can carry in its caption, and what it does to the group's children.
class TGroupBoxCheck {
public:
    enum TCheckBoxPos : std::uint8_t { cpLeft, cpRight };

    explicit TGroupBoxCheck(TCustomFrameGroupBox* GroupBox);

    QString Hint() const { return FHint; }
    void SetHint(const QString& Value) { FHint = Value; }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    bool Themed() const { return FThemed; }
    void SetThemed(bool Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TCheckBoxAction Action() const { return FAction; }
    void SetAction(TCheckBoxAction Value) { FAction = Value; }
    TCheckBoxPos Position() const { return FPosition; }
    void SetPosition(TCheckBoxPos Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Hot() const { return FHot; }
    bool Down() const { return FDown; }

private:
    friend class TCustomFrameGroupBox;
    void Changed();

    QString FHint;
    TCheckBoxState FState = cbUnchecked;
    bool FThemed = true;
    bool FAllowGrayed = false;
    TCheckBoxAction FAction = caDisable;
    TCheckBoxPos FPosition = cpLeft;
    bool FVisible = false;
    bool FHot = false;
    bool FDown = false;
    TCustomFrameGroupBox* FGroupBox;
};

// A frame with its caption set into the border, drawn over the parent's background. The caption
// band holds an optional check box, an optional image and the caption text.
class TCustomFrameGroupBox : public QWidget {
    Q_OBJECT

public:
    explicit TCustomFrameGroupBox(QWidget* Parent = nullptr);
    ~TCustomFrameGroupBox() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    QList<QPixmap> Images() const { return FImages; }
    void SetImages(const QList<QPixmap>& Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TCaptionPosition CaptionPosition() const { return FCaptionPosition; }
    void SetCaptionPosition(TCaptionPosition Value);
    bool RoundEdges() const { return FRoundEdges; }
    void SetRoundEdges(bool Value);
    TGroupBoxCheck& CheckBox() { return *FCheckBox; }
    const TGroupBoxCheck& CheckBox() const { return *FCheckBox; }
    TColor DisabledFontColor() const { return FDisabledFontColor; }
    virtual void SetDisabledFontColor(TColor Value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    // The 3-D look: wider frames.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);

    virtual std::uint32_t GetVersionNr() const;
    QString Version() const;

    // Geometry of the caption band and frame, in the control's coordinates.
    bool HasCaptionBand() const;
    QRect CaptionBandRect() const;
    QRect CheckBoxRect() const;
    QRect TextRect() const;
    int FrameWidth() const;
    int CaptionHeight() const;
    QRect FrameRect() const;
    // The area offered to docked children.
    QRect ChildArea() const;

    std::function<void(QObject* Sender)> OnCheckBoxClick;

protected:
    // A non-opaque widget is composed over its parent's pixels, so the parent's background is
    // already in place; derived controls may add to it.
    virtual void PaintParentBackground(QPainter& Painter);
    virtual void ChildrenChanged() {}
    virtual void ApplyCheckBoxAction();
    virtual void DoCheckBoxClick();

    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    bool event(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    friend class TGroupBoxCheck;
    void CheckBoxStateChanged();
    void LookChanged();
    QSize CaptionTextSize() const;
    QSize ImageSize() const;
    int CheckBoxSide() const;
    void PaintCheckBox(QPainter& Painter);
    void PaintFrame(QPainter& Painter);
    void SetCheckBoxPointer(bool Hot, bool Down);

    QString FCaption;
    bool FTransparent = true;
    TColor FBorderColor = RGBColor(192, 192, 192);
    int FImageIndex = -1;
    QList<QPixmap> FImages;
    TBorderStyle FBorderStyle = bsSingle;
    TCaptionPosition FCaptionPosition = cpTopLeft;
    bool FRoundEdges = false;
    std::unique_ptr<TGroupBoxCheck> FCheckBox;
    TColor FDisabledFontColor = RGBColor(128, 128, 128);
    TColor FFontColor = clWindowText;
    bool FCtl3D = false;
    bool FCheckBoxCaptured = false;
    bool FActionApplied = false;
    TAccessibleStateWatch FAccessibleState;
};

class TFrameGroupBox : public TCustomFrameGroupBox {
public:
    using TCustomFrameGroupBox::TCustomFrameGroupBox;
};
