#include "controls/OfficeButtons.h"

#include "controls/OfficeCaption.h"
#include "controls/OfficeGlyphs.h"
#include "controls/OfficeRadioGroup.h"
#include "controls/Rounding.h"

#include <QKeyEvent>
#include <QMouseEvent>

TCustomOfficeRadioButton::TCustomOfficeRadioButton(QWidget* Parent)
    : TOfficeCaptionButton(Parent)
{
    resize(135, 20);
    setFocusPolicy(Qt::ClickFocus);
}

TCustomOfficeRadioButton::~TCustomOfficeRadioButton() = default;

TCustomOfficeRadioGroup* TCustomOfficeRadioButton::RadioGroup() const
{
    return dynamic_cast<TCustomOfficeRadioGroup*>(parentWidget());
}

void TCustomOfficeRadioButton::SetChecked(bool Value)
{
    if (!Value) {
        if (FChecked) {
            FChecked = false;
            if (FAutoCheck)
                SetTabStop(false);
            update();
            ReportAccessibleState();
        }
        return;
    }
    FChecked = true;
    if (FClicksDisabled)
        FGotClick = false;
    if (FAutoCheck)
        SetTabStop(true);
    if (QWidget* parent = parentWidget()) {
        for (QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            auto* other = dynamic_cast<TCustomOfficeRadioButton*>(sibling);
            if (other && other != this && other->FGroupIndex == FGroupIndex)
                other->SetChecked(false);
        }
    }
    ReportAccessibleState();
    if (!FClicksDisabled && RadioGroup())
        RaiseClick();
    update();
}

void TCustomOfficeRadioButton::RaiseClick() { Click(); }

QStyle::State TCustomOfficeRadioButton::ThemedGlyphState() const
{
    return FChecked ? QStyle::State_On : QStyle::State_Off;
}

QImage TCustomOfficeRadioButton::GlyphBitmap(TGlyphPointerState Pointer, int Pixels) const
{
    return RadioGlyphBitmap(FChecked, Pointer, Pixels);
}

int TCustomOfficeRadioButton::GlyphTop(int) const { return 4; }

int TCustomOfficeRadioButton::GlyphBottomMargin() const { return Themed() ? 0 : 2; }

int TCustomOfficeRadioButton::CaptionIndent() const { return ScaledSize(16, DeviceScale(*this)) + 2; }

QRect TCustomOfficeRadioButton::FocusRect(const QRect& Caption, const TCaptionResult& Size) const
{
    return QRect(QPoint(0, Caption.top() - 1), QPoint(Caption.left() + Size.Width + 1, height() - 1));
}

bool TCustomOfficeRadioButton::GroupAllowsChange() const
{
    const TCustomOfficeRadioGroup* group = RadioGroup();
    return !group || group->AllowsChange();
}

void TCustomOfficeRadioButton::mousePressEvent(QMouseEvent* Event)
{
    if (focusPolicy() != Qt::NoFocus && isEnabled()) {
        if (TCustomOfficeRadioGroup* group = RadioGroup())
            group->ButtonFocused(this);
        setFocus(Qt::MouseFocusReason);
    }
    // The state before this press, so that a later click on an already focused item is not
    // reported as a change when nothing changed.
    FCheckDown = FChecked;
    PressAt(Event->position().toPoint(), Focused());
}

void TCustomOfficeRadioButton::ClickedByMouse()
{
    if (!FChecked) {
        const bool kept = FClicksDisabled;
        FClicksDisabled = true;
        SetChecked(true);
        FClicksDisabled = kept;
    }
    RaiseClick();
}

void TCustomOfficeRadioButton::mouseReleaseEvent(QMouseEvent* Event)
{
    TOfficeCaptionButton::mouseReleaseEvent(Event);
    TCustomOfficeRadioGroup* group = RadioGroup();
    auto* item = dynamic_cast<TOfficeGroupButton*>(this);
    if (group && item && FChecked != FCheckDown && group->OnRadioButtonClick) {
        group->SetItemIndex(int(group->FButtons.indexOf(item)));
        group->DoRadioButtonClick();
    }
}

void TCustomOfficeRadioButton::mouseDoubleClickEvent(QMouseEvent* Event)
{
    mousePressEvent(Event);
    if (TCustomOfficeRadioGroup* group = RadioGroup())
        group->ButtonDoubleClicked();
}

void TCustomOfficeRadioButton::MoveFocus(int Step)
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    QList<TCustomOfficeRadioButton*> buttons;
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (auto* button = dynamic_cast<TCustomOfficeRadioButton*>(child); button && button->isVisible() && button->isEnabled())
            buttons.append(button);
    const qsizetype at = buttons.indexOf(this);
    if (at < 0 || buttons.size() < 2)
        return;
    const qsizetype next = (at + Step + buttons.size()) % buttons.size();
    buttons[next]->setFocus(Qt::OtherFocusReason);
}

void TCustomOfficeRadioButton::keyPressEvent(QKeyEvent* Event)
{
    int key = Event->key();
    if (TCustomOfficeRadioGroup* group = RadioGroup()) {
        group->PushKeyDown(key, Event->modifiers());
        if (!Event->text().isEmpty()) {
            QChar typed = Event->text().front();
            group->PushKey(typed);
        }
        if ((key == Qt::Key_Space || key == Qt::Key_Backspace) && !group->AllowsChange())
            return;
    }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        MoveFocus(-1);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveFocus(1);
        return;
    default:
        TOfficeCaptionButton::keyPressEvent(Event);
    }
}

void TCustomOfficeRadioButton::keyReleaseEvent(QKeyEvent* Event)
{
    if (GroupAllowsChange())
        TOfficeCaptionButton::keyReleaseEvent(Event);
    else
        QWidget::keyReleaseEvent(Event);
}

void TCustomOfficeRadioButton::ClickedBySpace()
{
    if (!FChecked)
        SetChecked(true);
    RaiseClick();
}

void TCustomOfficeRadioButton::ClickedByAccelerator()
{
    if (TabStop())
        setFocus(Qt::ShortcutFocusReason);
    SetChecked(true);
}

void TCustomOfficeRadioButton::focusInEvent(QFocusEvent* Event)
{
    TOfficeCaptionButton::focusInEvent(Event);
    FCheckDown = FChecked;
    if (TCustomOfficeRadioGroup* group = RadioGroup())
        group->ButtonFocused(this);
    if (FAutoCheck)
        SetChecked(true);
}

TOfficeGroupButton::TOfficeGroupButton(TCustomOfficeRadioGroup* RadioGroup)
    : TOfficeRadioButton(RadioGroup)
    , FGroup(RadioGroup)
{
}

TOfficeGroupButton* TOfficeGroupButton::InternalCreate(TCustomOfficeRadioGroup* RadioGroup)
{
    auto* button = new TOfficeGroupButton(RadioGroup);
    RadioGroup->FButtons.append(button);
    button->setEnabled(RadioGroup->isEnabled());
    button->OnClick = [RadioGroup](QObject* Sender) { RadioGroup->ItemClicked(Sender); };
    button->show();
    return button;
}

TOfficeGroupButton::~TOfficeGroupButton() { FGroup->RemoveButton(this); }

void TOfficeGroupButton::RaiseClick()
{
    if (FInClick) // a click handler that checks the button again must not recurse
        return;
    FInClick = true;
    TOfficeRadioButton::RaiseClick();
    FInClick = false;
}
