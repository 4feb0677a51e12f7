#include "controls/OfficeCheckBox.h"

#include "controls/OfficeCaption.h"
#include "controls/OfficeGlyphs.h"
#include "controls/Rounding.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QUrl>

TCustomOfficeCheckBox::TCustomOfficeCheckBox(QWidget* Parent)
    : QWidget(Parent)
{
    resize(120, 20);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

TCustomOfficeCheckBox::~TCustomOfficeCheckBox() = default;

std::uint32_t TCustomOfficeCheckBox::GetVersionNr() const { return PackVersion(1, 5, 0, 9); }

QString TCustomOfficeCheckBox::Version() const
{
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

void TCustomOfficeCheckBox::SetCaption(const QString& Value)
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
    ApplyAutoSize();
    update();
}

void TCustomOfficeCheckBox::SetChecked(bool Value)
{
    if (Value == Checked())
        return;
    SetState(Value ? cbChecked : cbUnchecked);
}

void TCustomOfficeCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == FState)
        return;
    FState = Value;
    update();
}

void TCustomOfficeCheckBox::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
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

void TCustomOfficeCheckBox::Click()
{
    if (OnClick)
        OnClick(this);
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

bool TCustomOfficeCheckBox::RightAligned() const
{
    return FAlignment == taRightJustify || layoutDirection() == Qt::RightToLeft;
}

TCaptionOptions TCustomOfficeCheckBox::CaptionOptions() const
{
    TCaptionOptions options;
    options.WordWrap = !FEllipsis;
    options.Ellipsis = FEllipsis;
    options.URLColor = ToQColor(FURLColor);
    options.ShadowColor = ToQColor(FShadowColor);
    options.ShadowOffset = FShadowOffset;
    return options;
}

QRect TCustomOfficeCheckBox::GlyphRect() const
{
    const double scale = DeviceScale(*this);
    int side = ScaledSize(12, scale);
    if (FThemed)
        side = scale > 1.5 ? 20 : 16;
    const int textHeight = QFontMetrics(font()).height();
    int top = (textHeight - side) / 2 + 4;
    if (FBtnVAlign == tlCenter)
        top = height() / 2 - side / 2;
    else if (FBtnVAlign == tlBottom)
        top = height() - side;
    const int left = RightAligned() ? width() - side - 1 : 0;
    return QRect(left, top, side, side);
}

QRect TCustomOfficeCheckBox::CaptionRect() const
{
    const int indent = (ScaledSize(12, DeviceScale(*this)) - 8) + 12;
    QRect area = rect();
    if (RightAligned()) {
        area.setLeft(0);
        area.setRight(area.right() - indent);
    } else {
        area.setLeft(area.left() + indent);
    }
    int top = 4;
    if (FEllipsis) {
        if (FBtnVAlign == tlTop)
            top = (QFontMetrics(font()).height() - 16) / 2 + 4;
        else if (FBtnVAlign == tlCenter)
            top = height() / 2 - 8;
        else
            top = height() - 16;
    }
    area.setTop(top);
    return area;
}

TCaptionResult TCustomOfficeCheckBox::PlaceCaption(QPainter* Painter, QRect& Caption) const
{
    Caption = CaptionRect();
    const QColor color = ToQColor(isEnabled() ? FFontColor : FDisabledFontColor);
    return PaintOfficeCaption(Painter, *this, FCaption, Caption, FBtnVAlign, layoutDirection() == Qt::RightToLeft,
        color, CaptionOptions());
}

void TCustomOfficeCheckBox::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    const QRect glyph = GlyphRect();
    if (FThemed) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = glyph;
        option.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange | QStyle::State_Sunken | QStyle::State_MouseOver | QStyle::State_HasFocus);
        option.state |= FState == cbChecked ? QStyle::State_On : FState == cbGrayed ? QStyle::State_NoChange : QStyle::State_Off;
        if (FDown)
            option.state |= QStyle::State_Sunken;
        if (FHot)
            option.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    } else {
        const TGlyphPointerState pointer = FDown ? gpPressed : FHot ? gpHot : gpNormal;
        DrawGlyph(painter, CheckGlyphBitmap(FState, pointer), glyph);
    }
    QRect caption;
    const TCaptionResult size = PlaceCaption(&painter, caption);
    FCtrlWidth = (ScaledSize(12, DeviceScale(*this)) - 8) + size.Width + 12;
    if (FFocused && FShowFocus && TabStop())
        DrawDottedFocusRect(painter,
            QRect(QPoint(caption.left(), caption.top()), QPoint(caption.left() + size.Width + 3, caption.top() + size.Height)),
            ToQColor(FFontColor));
}

void TCustomOfficeCheckBox::ApplyAutoSize()
{
    if (!FAutoSize)
        return;
    QRect caption;
    const TCaptionResult size = PlaceCaption(nullptr, caption);
    FCtrlWidth = (ScaledSize(12, DeviceScale(*this)) - 8) + size.Width + 12;
    resize(FCtrlWidth + 4, height());
}

QString TCustomOfficeCheckBox::AnchorAt(const QPoint& Point) const
{
    if (FCaption.isEmpty())
        return QString();
    QRect caption;
    PlaceCaption(nullptr, caption);
    return CaptionAnchorAt(font(), FCaption, caption, CaptionOptions(), Point);
}

void TCustomOfficeCheckBox::SetAnchor(const QString& Anchor)
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

void TCustomOfficeCheckBox::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(Event);
        return;
    }
    FGotClick = true;
    if (hasFocus()) {
        const QString anchor = AnchorAt(Event->position().toPoint());
        if (!anchor.isEmpty()) {
            if (IsExternalAnchor(anchor))
                QDesktopServices::openUrl(QUrl(anchor));
            else if (OnAnchorClick)
                OnAnchorClick(this, anchor);
            return;
        }
    } else if (focusPolicy() != Qt::NoFocus && isEnabled()) {
        setFocus(Qt::MouseFocusReason);
    }
    FDown = true;
    update();
}

void TCustomOfficeCheckBox::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint at = Event->position().toPoint();
    if (Event->buttons() & Qt::LeftButton) {
        const bool inside = rect().contains(at);
        if (inside != FDown) {
            FDown = inside;
            update();
        }
    }
    SetAnchor(AnchorAt(at));
}

void TCustomOfficeCheckBox::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(Event);
        return;
    }
    FDown = false;
    if (rect().contains(Event->position().toPoint()) && hasFocus() && FGotClick) {
        Toggle();
        Click();
    }
    update();
    FGotClick = false;
}

void TCustomOfficeCheckBox::keyPressEvent(QKeyEvent* Event)
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

void TCustomOfficeCheckBox::keyReleaseEvent(QKeyEvent* Event)
{
    if (Event->key() != Qt::Key_Space || Event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(Event);
        return;
    }
    FDown = false;
    Toggle();
    Click();
    update();
}

void TCustomOfficeCheckBox::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    FFocused = true;
    update();
}

void TCustomOfficeCheckBox::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    FFocused = false;
    update();
}

void TCustomOfficeCheckBox::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    FHot = true;
    repaint(GlyphRect());
}

void TCustomOfficeCheckBox::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    FHot = false;
    SetAnchor(QString());
    repaint(GlyphRect());
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

bool TCustomOfficeCheckBox::event(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(Event)->shortcutId() == FShortcutId) {
        Toggle();
        Click();
        if (TabStop())
            setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::event(Event);
}
