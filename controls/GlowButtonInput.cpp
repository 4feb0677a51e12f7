#include "controls/GlowButton.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

// How the button answers the pointer, the mouse, the keyboard and the focus.

namespace {

constexpr int HoverStep = 20;
constexpr int ReleaseStep = -10;

bool IsEnterKey(int Key)
{
    return Key == Qt::Key_Return || Key == Qt::Key_Enter;
}

bool IsActivateKey(int Key)
{
    return Key == Qt::Key_Space || IsEnterKey(Key);
}

// A focused editor that takes Enter as text keeps it from the default button.
bool WantsEnter(const QWidget* Widget)
{
    for (const QWidget* W = Widget; W; W = W->parentWidget()) {
        if (W->inherits("QPlainTextEdit") || W->inherits("QTextEdit"))
            return !W->property("readOnly").toBool();
        if (W->isWindow())
            break;
    }
    return false;
}

} // namespace

// Pointer

void TCustomGlowButton::PointerMoved(bool Inside)
{
    if (Inside == FPointerInside)
        return;
    FPointerInside = Inside;
    if (Inside)
        MouseEntered();
    else
        MouseLeft();
}

void TCustomGlowButton::MouseEntered()
{
    Raise(OnMouseEnter, this);
    if (FHot)
        return;
    FHot = true;
    FDown = FLeftDown;
    StartFadeTimer(FFadeInterval);
    if (!FDown && FGlowState != gsPush) {
        FTimeInc = HoverStep;
        FGlowState = gsHover;
    }
    update();
}

void TCustomGlowButton::MouseLeft()
{
    Raise(OnMouseLeave, this);
    if (!FHot)
        return;
    FHot = false;
    if (FDown && FMouseDown) {
        FDown = false;
        FTimeInc = -HoverStep;
        FGlowState = gsHover;
        update();
        FLeftDown = true;
    } else {
        FDown = false;
        FStepHover = 100;
        FTimeInc = -HoverStep;
        FGlowState = gsHover;
        update();
    }
    StartFadeTimer(FFadeInterval);
}

// The pointer may have come or gone while the mouse was held: the button asks the window what lies
// under it.
void TCustomGlowButton::UpdateTracking(QPoint Local)
{
    if (!isEnabled())
        return;
    QWidget* Top = window();
    const QWidget* Under = Top == this ? (rect().contains(Local) ? this : nullptr) : Top->childAt(mapTo(Top, Local));
    PointerMoved(Under == this);
}

void TCustomGlowButton::enterEvent(QEnterEvent* Event)
{
    PointerMoved(true);
    QWidget::enterEvent(Event);
}

void TCustomGlowButton::leaveEvent(QEvent* Event)
{
    PointerMoved(false);
    QWidget::leaveEvent(Event);
}

// Mouse

void TCustomGlowButton::mousePressEvent(QMouseEvent* Event)
{
    FCheckBeforeAction = FDownChecked;
    const QPointingDevice* Device = Event->pointingDevice();
    const bool Touch = Device && Device->type() != QInputDevice::DeviceType::Mouse;
    if (Touch)
        PointerMoved(true);
    if (Event->button() == Qt::LeftButton) {
        if (FRepeatClick) {
            FRepeatInterval = FInitRepeatPause;
            FRepeatTimer.start(std::max(1, FInitRepeatPause), this);
        }
        FDown = true;
        FMouseDown = true;
        // A tab stop that is to be reached by the keyboard only keeps the focus where it is.
        if (FTabStop && (focusPolicy() & Qt::ClickFocus))
            setFocus(Qt::MouseFocusReason);
        StartFadeTimer(FFadeInterval);
        FTimeInc = HoverStep;
        FGlowState = gsPush;
        const bool InArrow = FDropDownPosition == dpRight
                                 ? Event->position().x() >= width() - std::lround(14 * logicalDpiX() / 96.0)
                                 : Event->position().y() >= height() - std::lround(14 * logicalDpiY() / 96.0);
        if (FDropDownButton && (FDropDownMenu || OnDropDown) && (!FDropDownSplit || WholeButtonOpensMenu() || InArrow)) {
            DoDropDown();
        } else {
            if (!FDownChecked || FStyle == bsCheck) {
                FState = dsDown;
                ShowState();
            }
            FDragging = true;
        }
    }
    if (Touch && FFadeInterval > 0)
        StartFadeTimer(20);
    Event->accept();
}

void TCustomGlowButton::mouseDoubleClickEvent(QMouseEvent* Event)
{
    // A double click is a second single click.
    mousePressEvent(Event);
}

void TCustomGlowButton::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint At = Event->position().toPoint();
    const bool Inside = rect().contains(At);
    if (FMouseDown)
        PointerMoved(Inside);
    if (FDragging) {
        TDrawState NewState = FDownChecked ? dsExclusive : (Inside ? dsDown : dsUp);
        if (FStyle == bsCheck && FDownChecked)
            NewState = dsDown;
        if (NewState != FState) {
            FState = NewState;
            ShowState();
        }
    } else if (!FPointerInside) {
        UpdateTracking(At);
    }
    Event->accept();
}

void TCustomGlowButton::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(Event);
        return;
    }
    const QPoint At = Event->position().toPoint();
    const bool Inside = At.x() >= 0 && At.x() < width() && At.y() >= 0 && At.y() < height();
    // Only a press that began on this button ends in a click.
    const bool Clicked = FMouseDown;
    FTimeInc = ReleaseStep;
    FStepPush = 100;
    FGlowState = Inside ? gsHover : gsNone;
    FHot = Inside;
    FMouseDown = false;
    FLeftDown = false;
    if (FStyle == bsCheck && Inside && (!FAction || FCheckBeforeAction == FDownChecked))
        SetDown(!FDownChecked);

    if (FDragging) {
        FDragging = false;
        const bool ActionHandlesGroup = FAction && (FAction->isCheckable() || FAction->actionGroup());
        if (FGroupIndex != 0) {
            if (FStyle == bsCheck || ActionHandlesGroup) {
                // The check toggle above already did the work.
            } else if (Inside) {
                SetDown(!FDownChecked);
                if (FDownChecked)
                    update();
            } else {
                if (FDownChecked)
                    FState = dsExclusive;
                update();
            }
        } else {
            FState = dsUp;
            if (FStyle == bsCheck && !FAction && !Inside && FDownChecked) {
                SetDown(false);
                update();
            }
            if (Inside && FState != dsDown && FState != dsExclusive)
                update();
        }
    }
    SettleState();
    UpdateTracking(At);

    if (!FDroppedDown) {
        StopRepeatTimer();
        if (FStyle == bsButton) {
            FDown = false;
            update();
        }
        if (Clicked && Inside)
            Click();
    }
    update();
    Event->accept();
}

// Keyboard

void TCustomGlowButton::keyPressEvent(QKeyEvent* Event)
{
    const int Key = Event->key();
    if (IsActivateKey(Key)) {
        if (!Event->isAutoRepeat())
            FKeyDownHere = true;
        if (FGroupIndex == 0)
            FDown = true;
        update();
        // The character the key types: Space and Enter click at once; a group member clicks
        // when the key comes up, once it has changed its state.
        if (FGroupIndex == 0)
            Click();
        else
            SetFormModalResult();
        Event->accept();
        return;
    }
    if (Key == Qt::Key_F4 && Event->modifiers() == Qt::NoModifier) {
        DoDropDown();
        Event->accept();
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TCustomGlowButton::keyReleaseEvent(QKeyEvent* Event)
{
    if (!IsActivateKey(Event->key()) || Event->isAutoRepeat() || !FKeyDownHere) {
        QWidget::keyReleaseEvent(Event);
        return;
    }
    FKeyDownHere = false;
    if (FGroupIndex != 0) {
        if (FState == dsDown || FState == dsExclusive) {
            FState = dsUp;
            FDown = false;
        } else {
            FState = dsExclusive;
        }
        FDownChecked = !FDownChecked;
        GroupChanged();
        Click();
    } else {
        FDown = false;
        FState = dsUp;
    }
    ShowState();
    Event->accept();
}

bool TCustomGlowButton::CanFocus() const
{
    return isVisible() && isEnabled();
}

bool TCustomGlowButton::DialogKey(QKeyEvent* Key)
{
    const bool Enter = IsEnterKey(Key->key());
    if (!((Enter && FActive) || (Key->key() == Qt::Key_Escape && FCancel)))
        return false;
    if (Key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (!CanFocus())
        return false;
    if (FGroupIndex == 0)
        FState = dsUp;
    if (Enter && FGroupIndex > 0) {
        FState = FState == dsExclusive ? dsUp : dsExclusive;
        FDownChecked = FState == dsExclusive;
        FDown = FDownChecked;
        GroupChanged();
        update();
    }
    SettleState();
    ClickOrDropDown();
    return true;
}

bool TCustomGlowButton::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress || !Watched->isWidgetType())
        return false;
    auto* Key = static_cast<QKeyEvent*>(Event);
    if (!IsEnterKey(Key->key()) && Key->key() != Qt::Key_Escape)
        return false;
    auto* Target = static_cast<QWidget*>(Watched);
    // Only the first delivery, to the focused control (or the window when nothing has focus).
    QWidget* Focused = QApplication::focusWidget();
    if (Target->window() != window() || Target != (Focused ? Focused : Target->window()))
        return false;
    if (IsEnterKey(Key->key()) && WantsEnter(Target))
        return false;
    if (!DialogKey(Key))
        return false;
    Key->accept();
    return true;
}

void TCustomGlowButton::UpdateShortcuts()
{
    for (int Id : std::as_const(FShortcutIds))
        releaseShortcut(Id);
    FShortcutIds.clear();
    const QString Sources[] = {FCaption, FWideCaption, FHint, FOfficeHint.Title};
    QList<QKeySequence> Taken;
    for (const QString& Text : Sources) {
        const QKeySequence Mnemonic = QKeySequence::mnemonic(Text);
        if (Mnemonic.isEmpty() || Taken.contains(Mnemonic))
            continue;
        Taken.append(Mnemonic);
        FShortcutIds.append(grabShortcut(Mnemonic));
    }
}

// Alt and the letter after an ampersand in the caption, the wide caption, the hint or the office
// hint's title.
bool TCustomGlowButton::Accelerator()
{
    if (!CanFocus())
        return false;
    ClickOrDropDown();
    return true;
}

// Focus

void TCustomGlowButton::focusInEvent(QFocusEvent* Event)
{
    FHasFocus = true;
    update();
    QWidget::focusInEvent(Event);
}

void TCustomGlowButton::focusOutEvent(QFocusEvent* Event)
{
    FHasFocus = false;
    if (FGroupIndex == 0) {
        FDown = false;
        FState = dsUp;
    }
    ShowState();
    QWidget::focusOutEvent(Event);
}

void TCustomGlowButton::FocusMoved(QWidget* Now)
{
    if (!Now || Now->window() != window())
        return;
    if (qobject_cast<TCustomGlowButton*>(Now))
        FActive = Now == this;
    else
        FActive = FDefault;
}

// Other notifications

void TCustomGlowButton::changeEvent(QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::EnabledChange:
        FDown = false;
        FState = dsDisabled;
        ShowState();
        break;
    case QEvent::FontChange:
        RequestResize();
        break;
    default:
        break;
    }
    QWidget::changeEvent(Event);
}

bool TCustomGlowButton::event(QEvent* Event)
{
    // Whatever the mouse, the keyboard or the focus did to the pressed, checked and hot states
    // is told to assistive technology once the event has been handled. The handler may have
    // closed the window and so the button.
    if (QAccessible::isActive() && Event->type() != QEvent::DeferredDelete && Event->type() != QEvent::Paint) {
        const QPointer<TCustomGlowButton> self(this);
        const bool handled = HandleEvent(Event);
        if (self)
            FAccessibleState.Report(this);
        return handled;
    }
    return HandleEvent(Event);
}

bool TCustomGlowButton::HandleEvent(QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::ToolTip: {
        auto* Help = static_cast<QHelpEvent*>(Event);
        if (!FHint.isEmpty() && EffectiveShowHint()) {
            QToolTip::showText(Help->globalPos(), FHint, this);
        } else {
            QToolTip::hideText();
            Event->ignore();
        }
        return true;
    }
    case QEvent::Shortcut:
        if (Accelerator())
            return true;
        break;
    default:
        break;
    }
    return QWidget::event(Event);
}
