#include "controls/OfficeCaptionButton.h"

#include "controls/AccessibleInterfaces.h"
#include "controls/CaptionLinks.h"
#include "controls/OfficeCaption.h"
#include "controls/OfficeGlyphs.h"
#include "controls/Rounding.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPointer>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOptionButton>

TOfficeCaptionButton::TOfficeCaptionButton(QWidget* Parent)
    : QWidget(Parent)
{
    setMouseTracking(true);
    InstallControlsAccessibility();
}

TOfficeCaptionButton::~TOfficeCaptionButton() = default;

std::uint32_t TOfficeCaptionButton::GetVersionNr() const { return PackVersion(1, 5, 0, 9); }

QString TOfficeCaptionButton::Version() const
{
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TOfficeCaptionButton::SetCaption(const QString& Value)
{
    if (!AssignIfChanged(FCaption, Value))
        return;
    if (FShortcutId != 0)
        releaseShortcut(FShortcutId);
    FShortcutId = 0;
    const QChar accelerator = CaptionAccelerator(FCaption);
    if (!accelerator.isNull())
        FShortcutId = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(accelerator.unicode()))));
    CaptionChanged();
    update();
    RaiseAccessibleNameChanged(this);
}

void TOfficeCaptionButton::Click()
{
    Raise(OnClick, this);
}

bool TOfficeCaptionButton::RightAligned() const
{
    return FAlignment == taRightJustify || layoutDirection() == Qt::RightToLeft;
}

TCaptionOptions TOfficeCaptionButton::CaptionOptions() const
{
    TCaptionOptions options;
    options.WordWrap = !FEllipsis;
    options.Ellipsis = FEllipsis;
    options.URLColor = ToQColor(FURLColor);
    options.ShadowColor = ToQColor(FShadowColor);
    options.ShadowOffset = FShadowOffset;
    return options;
}

QRect TOfficeCaptionButton::GlyphRect() const
{
    const double scale = DeviceScale(*this);
    int side = ScaledSize(12, scale);
    if (FThemed)
        side = scale > 1.5 ? 20 : 16;
    int top = GlyphTop(side);
    if (FBtnVAlign == tlCenter)
        top = height() / 2 - side / 2;
    else if (FBtnVAlign == tlBottom)
        top = height() - side - GlyphBottomMargin();
    const int left = RightAligned() ? width() - side - 1 : 0;
    return QRect(left, top, side, side);
}

QRect TOfficeCaptionButton::CaptionRect() const
{
    const int indent = CaptionIndent();
    QRect area = rect();
    if (RightAligned()) {
        area.setLeft(0);
        area.setRight(area.right() - indent);
    } else {
        area.setLeft(area.left() + indent);
    }
    area.setTop(CaptionTop());
    return area;
}

TCaptionResult TOfficeCaptionButton::PlaceCaption(QPainter* Painter, QRect& Caption) const
{
    Caption = CaptionRect();
    const QColor color = ToQColor(isEnabled() ? FFontColor : FDisabledFontColor);
    return PaintOfficeCaption(Painter, *this, FCaption, Caption, FBtnVAlign, layoutDirection() == Qt::RightToLeft,
        color, CaptionOptions());
}

int TOfficeCaptionButton::MeasureCtrlWidth()
{
    QRect caption;
    FCtrlWidth = CaptionIndent() + PlaceCaption(nullptr, caption).Width;
    return FCtrlWidth;
}

void TOfficeCaptionButton::paintEvent(QPaintEvent*)
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
        option.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange | QStyle::State_Sunken | QStyle::State_MouseOver | QStyle::State_HasFocus);
        option.state |= ThemedGlyphState();
        if (FDown)
            option.state |= QStyle::State_Sunken;
        if (FHot)
            option.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(ThemedGlyph(), &option, &painter, this);
    } else {
        const TGlyphPointerState pointer = FDown ? gpPressed : FHot ? gpHot : gpNormal;
        DrawGlyph(painter, GlyphBitmap(pointer, GlyphPixels(painter, glyph.width())), glyph);
    }
    QRect caption;
    const TCaptionResult size = PlaceCaption(&painter, caption);
    FCtrlWidth = CaptionIndent() + size.Width;
    if (FFocused && FShowFocus)
        DrawDottedFocusRect(painter, FocusRect(caption, size), ToQColor(FFontColor));
}

QString TOfficeCaptionButton::AnchorAt(const QPoint& Point) const
{
    if (FCaption.isEmpty())
        return QString();
    QRect caption;
    PlaceCaption(nullptr, caption);
    return CaptionAnchorAt(font(), FCaption, caption, CaptionOptions(), Point);
}

void TOfficeCaptionButton::PressAt(const QPoint& Point, bool FollowLinks)
{
    FGotClick = true;
    const QString anchor = FollowLinks ? AnchorAt(Point) : QString();
    if (!anchor.isEmpty()) {
        FollowAnchor(*this, anchor, OnAnchorClick);
        return;
    }
    FDown = true;
    update();
}

void TOfficeCaptionButton::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint at = Event->position().toPoint();
    if (Event->buttons() & PressButtons()) {
        const bool inside = rect().contains(at);
        if (inside != FDown) {
            FDown = inside;
            update();
        }
    }
    TrackAnchor(*this, FAnchor, AnchorAt(at), OnAnchorExit, OnAnchorEnter);
}

void TOfficeCaptionButton::mouseReleaseEvent(QMouseEvent* Event)
{
    if (!(Event->button() & PressButtons())) {
        QWidget::mouseReleaseEvent(Event);
        return;
    }
    FDown = false;
    if (rect().contains(Event->position().toPoint()) && FGotClick)
        ClickedByMouse();
    update();
    FGotClick = false;
}

void TOfficeCaptionButton::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Space) {
        if (!Event->isAutoRepeat()) {
            FDown = true;
            update();
        }
        return;
    }
    if ((Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) && FReturnIsTab) {
        QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TOfficeCaptionButton::keyReleaseEvent(QKeyEvent* Event)
{
    if (Event->key() != Qt::Key_Space || Event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(Event);
        return;
    }
    FDown = false;
    ClickedBySpace();
    update();
}

void TOfficeCaptionButton::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    FFocused = true;
    update();
}

void TOfficeCaptionButton::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    FFocused = false;
    update();
}

void TOfficeCaptionButton::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    FHot = true;
    repaint(GlyphRect());
}

void TOfficeCaptionButton::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    FHot = false;
    TrackAnchor(*this, FAnchor, QString(), OnAnchorExit, OnAnchorEnter);
    repaint(GlyphRect());
}

bool TOfficeCaptionButton::event(QEvent* Event)
{
    if (!QAccessible::isActive() || Event->type() == QEvent::DeferredDelete || Event->type() == QEvent::Paint)
        return HandleEvent(Event);
    // The handler may have closed the window and so the control.
    const QPointer<TOfficeCaptionButton> self(this);
    const bool handled = HandleEvent(Event);
    if (self)
        ReportAccessibleState();
    return handled;
}

bool TOfficeCaptionButton::HandleEvent(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(Event)->shortcutId() == FShortcutId) {
        ClickedByAccelerator();
        return true;
    }
    return QWidget::event(Event);
}
