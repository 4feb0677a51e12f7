#include "controls/OfficeButtons.h"

#include "controls/OfficeCaption.h"
#include "controls/OfficeGlyphs.h"
#include "controls/OfficeRadioGroup.h"
#include "controls/Rounding.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QUrl>

TCustomOfficeRadioButton::TCustomOfficeRadioButton(QWidget* Parent)
    : QWidget(Parent)
{
    resize(135, 20);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

TCustomOfficeRadioButton::~TCustomOfficeRadioButton() = default;

std::uint32_t TCustomOfficeRadioButton::GetVersionNr() const { return PackVersion(1, 5, 0, 9); }

QString TCustomOfficeRadioButton::Version() const
{
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

TCustomOfficeRadioGroup* TCustomOfficeRadioButton::RadioGroup() const
{
    return dynamic_cast<TCustomOfficeRadioGroup*>(parentWidget());
}

void TCustomOfficeRadioButton::SetCaption(const QString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    if (FShortcutId != 0)
        releaseShortcut(FShortcutId);
    FShortcutId = 0;
    const QChar accelerator = CaptionAccelerator(FCaption);
    if (!accelerator.isNull())
        FShortcutId = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(accelerator.unicode()))));
    update();
}

void TCustomOfficeRadioButton::SetChecked(bool Value)
{
    if (!Value) {
        if (FChecked) {
            FChecked = false;
            if (FAutoCheck)
                SetTabStop(false);
            update();
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
    if (!FClicksDisabled && RadioGroup())
        RaiseClick();
    update();
}

void TCustomOfficeRadioButton::RaiseClick()
{
    if (OnClick)
        OnClick(this);
}

bool TCustomOfficeRadioButton::RightAligned() const
{
    return FAlignment == taRightJustify || layoutDirection() == Qt::RightToLeft;
}

TCaptionOptions TCustomOfficeRadioButton::CaptionOptions() const
{
    TCaptionOptions options;
    options.WordWrap = !FEllipsis;
    options.Ellipsis = FEllipsis;
    options.URLColor = ToQColor(FURLColor);
    options.ShadowColor = ToQColor(FShadowColor);
    options.ShadowOffset = FShadowOffset;
    return options;
}

QRect TCustomOfficeRadioButton::GlyphRect() const
{
    const double scale = DeviceScale(*this);
    int side = ScaledSize(RadioGlyphSize, scale);
    if (FThemed)
        side = scale > 1.5 ? 20 : 16;
    int top = 4;
    if (FBtnVAlign == tlCenter)
        top = height() / 2 - side / 2;
    else if (FBtnVAlign == tlBottom)
        top = height() - side - (FThemed ? 0 : 2);
    const int left = RightAligned() ? width() - side - 1 : 0;
    return QRect(left, top, side, side);
}

QRect TCustomOfficeRadioButton::CaptionRect() const
{
    const int indent = ScaledSize(16, DeviceScale(*this)) + 2;
    QRect area = rect();
    if (RightAligned()) {
        area.setLeft(0);
        area.setRight(area.right() - indent);
    } else {
        area.setLeft(area.left() + indent);
    }
    area.setTop(area.top() + 4);
    return area;
}

void TCustomOfficeRadioButton::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    // The parent's pixels are already under this non-opaque widget, so the background shows.
    const QRect glyph = GlyphRect();
    if (FThemed) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = glyph;
        option.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_Sunken | QStyle::State_MouseOver | QStyle::State_HasFocus);
        option.state |= FChecked ? QStyle::State_On : QStyle::State_Off;
        if (FDown)
            option.state |= QStyle::State_Sunken;
        if (FHot)
            option.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &painter, this);
    } else {
        const TGlyphPointerState pointer = FDown ? gpPressed : FHot ? gpHot : gpNormal;
        DrawGlyph(painter, RadioGlyphBitmap(FChecked, pointer), glyph);
    }
    QRect caption = CaptionRect();
    const QColor color = ToQColor(isEnabled() ? FFontColor : FDisabledFontColor);
    const TCaptionResult size = PaintOfficeCaption(&painter, *this, FCaption, caption, FBtnVAlign,
        layoutDirection() == Qt::RightToLeft, color, CaptionOptions());
    FCtrlWidth = ScaledSize(16, DeviceScale(*this)) + 2 + size.Width;
    if (FFocused && FShowFocus)
        DrawDottedFocusRect(painter,
            QRect(QPoint(0, caption.top() - 1), QPoint(caption.left() + size.Width + 1, height() - 1)),
            ToQColor(FFontColor));
}

QString TCustomOfficeRadioButton::AnchorAt(const QPoint& Point) const
{
    if (FCaption.isEmpty())
        return QString();
    QRect caption = CaptionRect();
    PaintOfficeCaption(nullptr, *this, FCaption, caption, FBtnVAlign, layoutDirection() == Qt::RightToLeft,
        QColor(), CaptionOptions());
    return CaptionAnchorAt(font(), FCaption, caption, CaptionOptions(), Point);
}

void TCustomOfficeRadioButton::SetAnchor(const QString& Anchor)
{
    if (Anchor == FAnchor)
        return;
    if (!FAnchor.isEmpty() && OnAnchorExit)
        OnAnchorExit(this, FAnchor);
    FAnchor = Anchor;
    if (FAnchor.isEmpty()) {
        unsetCursor();
        return;
    }
    setCursor(Qt::PointingHandCursor);
    if (OnAnchorEnter)
        OnAnchorEnter(this, FAnchor);
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
    FGotClick = true;
    const QString anchor = FFocused ? AnchorAt(Event->position().toPoint()) : QString();
    if (!anchor.isEmpty()) {
        if (IsExternalAnchor(anchor))
            QDesktopServices::openUrl(QUrl(anchor));
        else if (OnAnchorClick)
            OnAnchorClick(this, anchor);
        return;
    }
    FDown = true;
    update();
}

void TCustomOfficeRadioButton::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint at = Event->position().toPoint();
    if (Event->buttons() != Qt::NoButton) {
        const bool inside = rect().contains(at);
        if (inside != FDown) {
            FDown = inside;
            update();
        }
    }
    SetAnchor(AnchorAt(at));
}

void TCustomOfficeRadioButton::mouseReleaseEvent(QMouseEvent* Event)
{
    FDown = false;
    if (rect().contains(Event->position().toPoint()) && FGotClick) {
        if (!FChecked) {
            const bool kept = FClicksDisabled;
            FClicksDisabled = true;
            SetChecked(true);
            FClicksDisabled = kept;
        }
        RaiseClick();
    }
    update();
    FGotClick = false;
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
    case Qt::Key_Space:
        if (!Event->isAutoRepeat()) {
            FDown = true;
            update();
        }
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        MoveFocus(-1);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveFocus(1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (FReturnIsTab) {
            QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(Event);
}

void TCustomOfficeRadioButton::keyReleaseEvent(QKeyEvent* Event)
{
    if (Event->key() != Qt::Key_Space || Event->isAutoRepeat() || !GroupAllowsChange()) {
        QWidget::keyReleaseEvent(Event);
        return;
    }
    FDown = false;
    if (!FChecked)
        SetChecked(true);
    RaiseClick();
    update();
}

void TCustomOfficeRadioButton::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    FCheckDown = FChecked;
    FFocused = true;
    if (TCustomOfficeRadioGroup* group = RadioGroup())
        group->ButtonFocused(this);
    if (FAutoCheck)
        SetChecked(true);
    update();
}

void TCustomOfficeRadioButton::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    FFocused = false;
    update();
}

void TCustomOfficeRadioButton::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    FHot = true;
    repaint(GlyphRect());
}

void TCustomOfficeRadioButton::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    FHot = false;
    SetAnchor(QString());
    repaint(GlyphRect());
}

bool TCustomOfficeRadioButton::event(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(Event)->shortcutId() == FShortcutId) {
        if (TabStop())
            setFocus(Qt::ShortcutFocusReason);
        SetChecked(true);
        return true;
    }
    return QWidget::event(Event);
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
