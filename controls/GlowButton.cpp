#include "controls/GlowButton.h"

#include "controls/AccessibleInterfaces.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimerEvent>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

int TCustomGlowButton::FFadeInterval = 20;

namespace {

constexpr int VersionNumber = 0x0204070A; // 2.4.7.10

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
        FFocusConnection =
            connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* Now) { FocusMoved(Now); });
    }
    // A button created inside a disabled parent starts disabled.
    SettleState();
    InstallControlsAccessibility();
}

TCustomGlowButton::~TCustomGlowButton()
{
    // A focused button gives the focus up in QWidget's destructor, when it is no glow button any
    // more: it must not hear of that change itself.
    disconnect(FFocusConnection);
}

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
    if (!AssignIfChanged(FCaption, Value))
        return;
    UpdateShortcuts();
    RaiseAccessibleNameChanged(this);
    RequestResize();
}

void TCustomGlowButton::SetWideCaption(const QString& Value)
{
    if (!AssignIfChanged(FWideCaption, Value))
        return;
    UpdateShortcuts();
    RequestResize();
}

void TCustomGlowButton::SetHint(const QString& Value)
{
    if (!AssignIfChanged(FHint, Value))
        return;
    UpdateShortcuts();
    RaiseAccessibleDescriptionChanged(this);
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
    if (!AssignIfChanged(FAutoSize, Value))
        return;
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
    if (!AssignIfChanged(FGroupIndex, Value))
        return;
    update();
}

void TCustomGlowButton::SetStyle(TGlowButtonStyle Value)
{
    if (!AssignIfChanged(FStyle, Value))
        return;
    ShowState();
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
        FState = dsDown;
        ShowState();
    }
    Click();
}

void TCustomGlowButton::DoDropDown()
{
    Raise(OnDropDown, this);
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
        FState = dsUp;
        ShowState();
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
        FState = Value ? dsDown : dsUp;
        ShowState();
        FAccessibleState.Report(this);
        return;
    }
    if (Value == FDownChecked)
        return;
    // A pressed member of a group is released only by another member going down.
    if (FDownChecked && !FAllowAllUp)
        return;
    FDownChecked = Value;
    FState = Value ? dsExclusive : dsUp;
    ShowState();
    FAccessibleState.Report(this);
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
    FState = dsUp;
    ShowState();
    FAccessibleState.Report(this);
}

void TCustomGlowButton::SettleState()
{
    if (!isEnabled()) {
        FState = dsDisabled;
        FDragging = false;
    } else if (FState == dsDisabled) {
        FState = FDownChecked && FGroupIndex != 0 ? dsExclusive : dsUp;
    }
    if (FStyle == bsCheck && FDownChecked)
        FState = dsDown;
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

