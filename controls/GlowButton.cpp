#include "controls/GlowButton.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTimerEvent>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

int TCustomGlowButton::FFadeInterval = 20;

namespace {

constexpr int HoverStep = 20;
constexpr int ReleaseStep = -10;
constexpr int VersionNumber = 0x0204070A; // 2.4.7.10

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

TCustomGlowButton::TCustomGlowButton(QWidget* Parent)
    : QWidget(Parent), FAppearance(std::make_unique<TGlowButtonAppearance>()), FNotesFont(QStringLiteral("Tahoma"))
{
    FNotesFont.setPointSize(8);
    FAppearance->OnChange = [this](TGlowButtonAppearance*) { update(); };
    FPicture.OnChange = [this](TButtonPicture*) { RequestResize(); };
    FDisabledPicture.OnChange = [this](TButtonPicture*) { RequestResize(); };
    setFocusPolicy(Qt::NoFocus);
    resize(100, 41);
    FActive = FDefault;
    if (qApp) {
        // Enter and Escape are offered to every button of the window before the focused
        // control sees them.
        qApp->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* Now) { FocusMoved(Now); });
    }
}

TCustomGlowButton::~TCustomGlowButton() = default;

int TCustomGlowButton::FadeInterval()
{
    return FFadeInterval;
}

void TCustomGlowButton::SetFadeInterval(int Milliseconds)
{
    FFadeInterval = std::max(0, Milliseconds);
}

// Properties

void TCustomGlowButton::SetCaption(const QString& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    UpdateShortcuts();
    RequestResize();
}

void TCustomGlowButton::SetWideCaption(const QString& Value)
{
    if (FWideCaption == Value)
        return;
    FWideCaption = Value;
    UpdateShortcuts();
    RequestResize();
}

void TCustomGlowButton::SetHint(const QString& Value)
{
    FHint = Value;
    UpdateShortcuts();
}

void TCustomGlowButton::SetShowHint(bool Value)
{
    FShowHint = Value;
    FParentShowHint = false;
}

bool TCustomGlowButton::EffectiveShowHint() const
{
    if (!FParentShowHint)
        return FShowHint;
    for (const QWidget* Parent = parentWidget(); Parent; Parent = Parent->parentWidget()) {
        if (auto* Glow = qobject_cast<const TCustomGlowButton*>(Parent))
            return Glow->EffectiveShowHint();
        const QVariant Value = Parent->property("ShowHint");
        if (Value.isValid())
            return Value.toBool();
    }
    return FShowHint;
}

void TCustomGlowButton::SetDefault(bool Value)
{
    FDefault = Value;
    if (!qobject_cast<TCustomGlowButton*>(window()->focusWidget()))
        FActive = Value;
}

void TCustomGlowButton::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    RequestResize();
}

void TCustomGlowButton::SetTabStop(bool Value)
{
    FTabStop = Value;
    setFocusPolicy(Value ? Qt::StrongFocus : Qt::NoFocus);
}

void TCustomGlowButton::SetImages(TGlyphList* Value)
{
    FImages = Value;
    RequestResize();
}

void TCustomGlowButton::SetHotImages(TGlyphList* Value)
{
    FHotImages = Value;
    update();
}

void TCustomGlowButton::SetDisabledImages(TGlyphList* Value)
{
    FDisabledImages = Value;
    update();
}

void TCustomGlowButton::SetNotes(const QStringList& Value)
{
    FNotes = Value;
    RequestResize();
}

void TCustomGlowButton::SetNotesFont(const QFont& Value)
{
    FNotesFont = Value;
    RequestResize();
}

void TCustomGlowButton::SetAllowAllUp(bool Value)
{
    FAllowAllUp = Value;
}

void TCustomGlowButton::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    update();
}

void TCustomGlowButton::SetStyle(TGlowButtonStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    update();
}

void TCustomGlowButton::SetDropDownMenu(QMenu* Value)
{
    FDropDownMenu = Value;
    update();
}

void TCustomGlowButton::SetAction(QAction* Value)
{
    if (FAction)
        disconnect(FAction, nullptr, this, nullptr);
    FAction = Value;
    if (FAction) {
        connect(FAction, &QAction::changed, this, &TCustomGlowButton::SyncFromAction);
        SyncFromAction();
    }
}

void TCustomGlowButton::SyncFromAction()
{
    if (!FAction)
        return;
    setEnabled(FAction->isEnabled());
    if (FAction->isCheckable())
        SetDown(FAction->isChecked());
}

int TCustomGlowButton::GetVersionNr() const
{
    return VersionNumber;
}

QString TCustomGlowButton::Version() const
{
    const int Nr = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4")
        .arg((Nr >> 24) & 0xFF)
        .arg((Nr >> 16) & 0xFF)
        .arg((Nr >> 8) & 0xFF)
        .arg(Nr & 0xFF);
}

void TCustomGlowButton::SetColorTones(TColor Normal, TColor Hot, TColor Down, TColor Border)
{
    SetFadeInterval(0);
    TGlowButtonAppearance Tones;
    Tones.Assign(*FAppearance);
    Tones.SetColor(Normal);
    Tones.SetColorTo(Normal);
    Tones.SetColorMirror(Normal);
    Tones.SetColorMirrorTo(Normal);
    Tones.SetColorHot(Hot);
    Tones.SetColorHotTo(Hot);
    Tones.SetColorMirrorHot(Hot);
    Tones.SetColorMirrorHotTo(Hot);
    for (auto Set : {&TGlowButtonAppearance::SetColorDown, &TGlowButtonAppearance::SetColorDownTo,
                     &TGlowButtonAppearance::SetColorMirrorDown, &TGlowButtonAppearance::SetColorMirrorDownTo,
                     &TGlowButtonAppearance::SetColorChecked, &TGlowButtonAppearance::SetColorCheckedTo,
                     &TGlowButtonAppearance::SetColorMirrorChecked, &TGlowButtonAppearance::SetColorMirrorCheckedTo})
        (Tones.*Set)(Down);
    for (auto Set : {&TGlowButtonAppearance::SetBorderColor, &TGlowButtonAppearance::SetBorderColorHot,
                     &TGlowButtonAppearance::SetBorderColorDown, &TGlowButtonAppearance::SetBorderColorChecked})
        (Tones.*Set)(Border);
    FAppearance->Assign(Tones);
}

void TCustomGlowButton::ShowShortCutHint()
{
    if (FShortCutHint.isEmpty())
        return;
    QPoint At;
    switch (FShortCutHintPos) {
    case shpLeft: At = QPoint(0, height() / 2); break;
    case shpTop: At = QPoint(width() / 2, 0); break;
    case shpRight: At = QPoint(width(), height() / 2); break;
    case shpBottom: At = QPoint(width() / 2, height()); break;
    case shpCenter: At = rect().center(); break;
    }
    QToolTip::showText(mapToGlobal(At), FShortCutHint, this);
}

void TCustomGlowButton::HideShortCutHint()
{
    QToolTip::hideText();
}

// Clicks and menus

void TCustomGlowButton::SetFormModalResult()
{
    auto* Dialog = qobject_cast<QDialog*>(window());
    if (!Dialog)
        return;
    Dialog->setResult(FModalResult);
    if (FModalResult != 0 && Dialog->isModal() && Dialog->isVisible())
        Dialog->done(FModalResult);
}

void TCustomGlowButton::Click()
{
    SetFormModalResult();
    if (OnClick)
        OnClick(this);
    else if (FAction)
        FAction->trigger();
}

void TCustomGlowButton::ClickOrDropDown()
{
    if (FDropDownButton && FDropDownMenu && (WholeButtonOpensMenu() || !FDropDownSplit)) {
        DoDropDown();
        return;
    }
    if (FStyle == bsCheck) {
        SetDown(!FDownChecked);
        FState = 2;
        update();
    }
    Click();
}

void TCustomGlowButton::DoDropDown()
{
    if (OnDropDown)
        OnDropDown(this);
    if (!FDropDownMenu)
        return;
    QPoint At;
    switch (FDropDownDirection) {
    case ddDown: At = QPoint(0, height()); break;
    case ddRight: At = QPoint(width(), 0); break;
    case ddUp: At = QPoint(0, -FDropDownMenu->sizeHint().height()); break;
    }
    FDroppedDown = true;
    connect(FDropDownMenu, &QMenu::aboutToHide, this, [this] {
        FDroppedDown = false;
        FDown = false;
        FMouseDown = false;
        FDragging = false;
        FState = 0;
        update();
    }, Qt::SingleShotConnection);
    update();
    FDropDownMenu->popup(mapToGlobal(At));
}

// Down state and groups

void TCustomGlowButton::SetDown(bool Value)
{
    if (FGroupIndex == 0 && FStyle == bsButton)
        Value = false;
    if (FStyle == bsCheck) {
        FDownChecked = Value;
        FState = Value ? 2 : 0;
        update();
        return;
    }
    if (Value == FDownChecked)
        return;
    // A pressed member of a group is released only by another member going down.
    if (FDownChecked && !FAllowAllUp)
        return;
    FDownChecked = Value;
    FState = Value ? 4 : 0;
    update();
    if (Value)
        GroupChanged();
}

void TCustomGlowButton::GroupChanged()
{
    QWidget* Parent = parentWidget();
    if (!Parent)
        return;
    const auto Siblings = Parent->findChildren<TCustomGlowButton*>(Qt::FindDirectChildrenOnly);
    for (TCustomGlowButton* Sibling : Siblings)
        Sibling->GroupNotify(FGroupIndex, this);
}

void TCustomGlowButton::GroupNotify(int Group, TCustomGlowButton* Sender)
{
    if (Sender == this || Group != FGroupIndex || !FDownChecked || !Sender->FDownChecked)
        return;
    FDownChecked = false;
    FState = 0;
    update();
}

// Fades and timers

void TCustomGlowButton::StartFadeTimer(int Interval)
{
    if (!FTimer.isActive() && Interval > 0)
        FTimer.start(Interval, this);
}

void TCustomGlowButton::StopFadeTimer()
{
    FTimer.stop();
}

void TCustomGlowButton::StopRepeatTimer()
{
    FRepeatTimer.stop();
}

void TCustomGlowButton::FadeTimerTick()
{
    // Advances one fade; true when it ran past its end, which frees the timer.
    auto Advance = [this](int& Step) {
        Step += FTimeInc;
        if ((Step > 100 && FTimeInc > 0) || (Step < 0 && FTimeInc < 0)) {
            Step = std::clamp(Step, 0, 100);
            FGlowState = gsNone;
            StopFadeTimer();
            return true;
        }
        update();
        return false;
    };
    switch (FGlowState) {
    case gsHover:
        Advance(FStepHover);
        break;
    case gsPush:
        if (Advance(FStepPush) && FTimeInc < 0 && FStyle == bsButton) {
            FDown = false;
            FLeftDown = false;
            MouseLeft();
        }
        break;
    case gsNone:
        // Nothing is fading any more (a release outside ends the fade this way): the timer goes,
        // and the look settles on the state's own colours.
        StopFadeTimer();
        update();
        break;
    }
}

void TCustomGlowButton::RepeatTimerTick()
{
    if (FRepeatInterval != FRepeatPause) {
        FRepeatInterval = FRepeatPause;
        FRepeatTimer.start(std::max(1, FRepeatPause), this);
    }
    if (FDown && FMouseDown) {
        try {
            Click();
        } catch (...) {
            StopRepeatTimer();
            throw;
        }
    }
}

void TCustomGlowButton::timerEvent(QTimerEvent* Event)
{
    if (Event->timerId() == FTimer.timerId())
        FadeTimerTick();
    else if (Event->timerId() == FRepeatTimer.timerId())
        RepeatTimerTick();
    else
        QWidget::timerEvent(Event);
}

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
    if (OnMouseEnter)
        OnMouseEnter(this);
    if (FMouseEnter)
        return;
    FHot = true;
    FDown = FLeftDown;
    StartFadeTimer(FFadeInterval);
    if (!FDown && FGlowState != gsPush) {
        FTimeInc = HoverStep;
        FGlowState = gsHover;
    }
    update();
    FMouseInControl = true;
    FMouseEnter = true;
    FHasMouse = true;
}

void TCustomGlowButton::MouseLeft()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
    if (!FMouseEnter)
        return;
    FHasMouse = FMouseEnter = FMouseInControl = FHot = false;
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

void TCustomGlowButton::UpdateTracking(QPoint Local)
{
    if (!isEnabled())
        return;
    QWidget* Top = window();
    const QWidget* Under = Top == this ? (rect().contains(Local) ? this : nullptr) : Top->childAt(mapTo(Top, Local));
    const bool NotOver = Under != this;
    if (NotOver == FMouseInControl)
        return;
    FMouseInControl = NotOver;
    PointerMoved(!NotOver);
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
        FPressedHere = true;
        if (FRepeatClick) {
            FRepeatInterval = FInitRepeatPause;
            FRepeatTimer.start(std::max(1, FInitRepeatPause), this);
        }
        FDown = true;
        FMouseDown = true;
        if (FTabStop)
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
            if (!FDownChecked) {
                FState = 2;
                update();
            }
            if (FStyle == bsCheck) {
                FState = 2;
                update();
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
        int NewState = FDownChecked ? 4 : (Inside ? 2 : 0);
        if (FStyle == bsCheck && FDownChecked)
            NewState = 2;
        if (NewState != FState) {
            FState = NewState;
            update();
        }
    } else if (!FMouseInControl) {
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
    FTimeInc = ReleaseStep;
    FStepPush = 100;
    if (Inside) {
        FGlowState = gsHover;
        FHot = FHasMouse = FMouseEnter = true;
    } else {
        FGlowState = gsNone;
        FHasMouse = FMouseDown = FMouseEnter = FHot = FInButton = false;
    }
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
                    FState = 4;
                update();
            }
        } else {
            FState = 0;
            FMouseInControl = false;
            if (FStyle == bsCheck && !FAction && !Inside && FDownChecked) {
                SetDown(false);
                FMouseInControl = true;
                update();
            }
            if (Inside && FState != 2 && FState != 4)
                update();
        }
    }
    UpdateTracking(At);

    const bool Clicked = FPressedHere;
    FPressedHere = false;
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
        // The character the key types: Space and Enter click at once.
        SetFormModalResult();
        if (OnClick && FGroupIndex == 0)
            OnClick(this);
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
        if (FState == 2 || FState == 4) {
            FState = 0;
            FDown = false;
        } else {
            FState = 4;
        }
        FDownChecked = !FDownChecked;
        GroupChanged();
        if (OnClick)
            OnClick(this);
    } else {
        FDown = false;
        FState = 0;
    }
    update();
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
        FState = 0;
    if (Enter && FGroupIndex > 0) {
        FState = FState == 4 ? 0 : 4;
        FDownChecked = FState == 4;
        FDown = FDownChecked;
        GroupChanged();
        update();
    }
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

bool TCustomGlowButton::Accelerator(QKeyEvent* Key)
{
    Q_UNUSED(Key);
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
        FState = 0;
    }
    update();
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
        FState = 1;
        update();
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
        if (Accelerator(nullptr))
            return true;
        break;
    default:
        break;
    }
    return QWidget::event(Event);
}
