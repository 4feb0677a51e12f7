#include "controls/OfficeCheckBox.h"

#include "controls/OfficeCaption.h"
#include "controls/OfficeGlyphs.h"
#include "controls/Rounding.h"

#include <QFontMetrics>
#include <QMouseEvent>

TCustomOfficeCheckBox::TCustomOfficeCheckBox(QWidget* Parent)
    : TOfficeCaptionButton(Parent)
{
    resize(120, 20);
    setFocusPolicy(Qt::StrongFocus);
}

TCustomOfficeCheckBox::~TCustomOfficeCheckBox() = default;

void TCustomOfficeCheckBox::SetChecked(bool Value)
{
    if (Value == Checked())
        return;
    SetState(Value ? cbChecked : cbUnchecked);
}

void TCustomOfficeCheckBox::SetState(TCheckBoxState Value)
{
    if (!AssignIfChanged(FState, Value))
        return;
    update();
    ReportAccessibleState();
}

void TCustomOfficeCheckBox::SetAutoSize(bool Value)
{
    if (!AssignIfChanged(FAutoSize, Value))
        return;
    ApplyAutoSize();
}

void TCustomOfficeCheckBox::Toggle()
{
    if (FReadOnly)
        return;
    if (!FAllowGrayed) {
        SetChecked(!Checked());
        return;
    }
    switch (FState) {
    case cbUnchecked:
        SetState(cbGrayed);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    }
}

void TCustomOfficeCheckBox::UserClick()
{
    Toggle();
    Click();
}

void TCustomOfficeCheckBox::CheckStateMessage(int Value)
{
    switch (Value) {
    case 0:
    case 1:
        SetChecked(Value == 1);
        Click();
        break;
    case 2:
        SetState(cbGrayed);
        break;
    default:
        break;
    }
}

QStyle::State TCustomOfficeCheckBox::ThemedGlyphState() const
{
    return FState == cbChecked ? QStyle::State_On : FState == cbGrayed ? QStyle::State_NoChange : QStyle::State_Off;
}

QImage TCustomOfficeCheckBox::GlyphBitmap(TGlyphPointerState Pointer, int Pixels) const
{
    return CheckGlyphBitmap(FState, Pointer, Pixels);
}

int TCustomOfficeCheckBox::GlyphTop(int Side) const { return (QFontMetrics(font()).height() - Side) / 2 + 4; }

int TCustomOfficeCheckBox::CaptionIndent() const { return (ScaledSize(12, DeviceScale(*this)) - 8) + 12; }

int TCustomOfficeCheckBox::CaptionTop() const
{
    if (!Ellipsis())
        return 4;
    // An ellipsis keeps the caption on one line, placed as a 16-pixel glyph would be.
    if (ButtonVertAlign() == tlTop)
        return (QFontMetrics(font()).height() - 16) / 2 + 4;
    if (ButtonVertAlign() == tlCenter)
        return height() / 2 - 8;
    return height() - 16;
}

QRect TCustomOfficeCheckBox::FocusRect(const QRect& Caption, const TCaptionResult& Size) const
{
    if (!TabStop()) // a box the Tab key passes over shows no focus frame
        return QRect();
    return QRect(QPoint(Caption.left(), Caption.top()), QPoint(Caption.left() + Size.Width + 3, Caption.top() + Size.Height));
}

void TCustomOfficeCheckBox::ApplyAutoSize()
{
    if (!FAutoSize)
        return;
    resize(MeasureCtrlWidth() + 4, height());
}

void TCustomOfficeCheckBox::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(Event);
        return;
    }
    // Only a box that already had the focus follows a link of its caption.
    const bool focused = hasFocus();
    if (!focused && focusPolicy() != Qt::NoFocus && isEnabled())
        setFocus(Qt::MouseFocusReason);
    PressAt(Event->position().toPoint(), focused);
}

void TCustomOfficeCheckBox::ClickedByMouse()
{
    if (hasFocus())
        UserClick();
}

void TCustomOfficeCheckBox::ClickedByAccelerator()
{
    UserClick();
    if (TabStop())
        setFocus(Qt::ShortcutFocusReason);
}

void TCustomOfficeCheckBox::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    ApplyAutoSize();
}

void TCustomOfficeCheckBox::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::FontChange)
        ApplyAutoSize();
}
