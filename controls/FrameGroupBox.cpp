#include "controls/FrameGroupBox.h"

#include "controls/AccessibleInterfaces.h"
#include "controls/CaptionRenderer.h"
#include "controls/OfficeCheckBox.h"
#include "controls/OfficeGlyphs.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>

namespace {

const int CaptionMargin = 8;

// Outline of an inclusive rectangle, one pixel wide.
void FrameRectangle(QPainter& Painter, const QRect& Rect, const QColor& Color)
{
    if (Rect.width() <= 0 || Rect.height() <= 0)
        return;
    Painter.fillRect(QRect(Rect.left(), Rect.top(), Rect.width(), 1), Color);
    Painter.fillRect(QRect(Rect.left(), Rect.bottom(), Rect.width(), 1), Color);
    Painter.fillRect(QRect(Rect.left(), Rect.top(), 1, Rect.height()), Color);
    Painter.fillRect(QRect(Rect.right(), Rect.top(), 1, Rect.height()), Color);
}

void RoundedFrame(QPainter& Painter, const QRect& Rect, const QColor& Color)
{
    if (Rect.width() <= 0 || Rect.height() <= 0)
        return;
    Painter.save();
    Painter.setPen(Color);
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRoundedRect(Rect.adjusted(0, 0, -1, -1), 3, 3);
    Painter.restore();
}

} // namespace

TGroupBoxCheck::TGroupBoxCheck(TCustomFrameGroupBox* GroupBox)
    : FGroupBox(GroupBox)
{
}

void TGroupBoxCheck::SetState(TCheckBoxState Value)
{
    if (!AssignIfChanged(FState, Value))
        return;
    FGroupBox->CheckBoxStateChanged();
}

void TGroupBoxCheck::SetThemed(bool Value)
{
    if (!AssignIfChanged(FThemed, Value))
        return;
    Changed();
}

void TGroupBoxCheck::SetPosition(TCheckBoxPos Value)
{
    if (!AssignIfChanged(FPosition, Value))
        return;
    Changed();
}

void TGroupBoxCheck::SetVisible(bool Value)
{
    if (!AssignIfChanged(FVisible, Value))
        return;
    Changed();
}

void TGroupBoxCheck::Changed() { FGroupBox->LookChanged(); }

TCustomFrameGroupBox::TCustomFrameGroupBox(QWidget* Parent)
    : QWidget(Parent)
    , FCheckBox(std::make_unique<TGroupBoxCheck>(this))
{
    setMouseTracking(true);
    resize(185, 105);
    InstallControlsAccessibility();
}

TCustomFrameGroupBox::~TCustomFrameGroupBox() = default;

void TCustomFrameGroupBox::LookChanged()
{
    const QRect area = ChildArea();
    setContentsMargins(area.left(), area.top(), qMax(0, width() - area.right() - 1),
        qMax(0, height() - area.bottom() - 1));
    update();
}

void TCustomFrameGroupBox::SetCaption(const QString& Value)
{
    if (!AssignIfChanged(FCaption, Value))
        return;
    LookChanged();
    ChildrenChanged(); // children placed below the caption move when it appears or goes
    RaiseAccessibleNameChanged(this);
}

void TCustomFrameGroupBox::SetTransparent(bool Value)
{
    if (!AssignIfChanged(FTransparent, Value))
        return;
    update();
}

void TCustomFrameGroupBox::SetBorderColor(TColor Value)
{
    if (!AssignIfChanged(FBorderColor, Value))
        return;
    update();
}

void TCustomFrameGroupBox::SetImageIndex(int Value)
{
    if (!AssignIfChanged(FImageIndex, Value))
        return;
    LookChanged();
}

void TCustomFrameGroupBox::SetImages(const QList<QPixmap>& Value)
{
    FImages = Value;
    LookChanged();
}

void TCustomFrameGroupBox::SetBorderStyle(TBorderStyle Value)
{
    if (!AssignIfChanged(FBorderStyle, Value))
        return;
    LookChanged();
}

void TCustomFrameGroupBox::SetCaptionPosition(TCaptionPosition Value)
{
    if (!AssignIfChanged(FCaptionPosition, Value))
        return;
    LookChanged();
}

void TCustomFrameGroupBox::SetRoundEdges(bool Value)
{
    if (!AssignIfChanged(FRoundEdges, Value))
        return;
    update();
}

void TCustomFrameGroupBox::SetDisabledFontColor(TColor Value)
{
    FDisabledFontColor = Value;
    update();
    ChildrenChanged();
}

void TCustomFrameGroupBox::SetFontColor(TColor Value)
{
    if (!AssignIfChanged(FFontColor, Value))
        return;
    update();
}

void TCustomFrameGroupBox::SetCtl3D(bool Value)
{
    if (!AssignIfChanged(FCtl3D, Value))
        return;
    LookChanged();
}

std::uint32_t TCustomFrameGroupBox::GetVersionNr() const { return PackVersion(1, 1, 1, 1); }

QString TCustomFrameGroupBox::Version() const
{
    const std::uint32_t v = GetVersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

QSize TCustomFrameGroupBox::CaptionTextSize() const
{
    if (FCaption.isEmpty())
        return QSize(0, 0);
    const TCaptionResult size = MeasureCaption(font(), FCaption, QRect(0, 0, 1000, 100));
    return QSize(size.Width, size.Height);
}

QSize TCustomFrameGroupBox::ImageSize() const
{
    if (FImageIndex < 0 || FImageIndex >= FImages.size())
        return QSize(0, 0);
    const QPixmap& image = FImages[FImageIndex];
    return image.size() / image.devicePixelRatio();
}

int TCustomFrameGroupBox::CheckBoxSide() const
{
    if (!FCheckBox->Visible())
        return 0;
    return FCheckBox->Themed() ? 16 : 14;
}

bool TCustomFrameGroupBox::HasCaptionBand() const
{
    return !FCaption.isEmpty() || FCheckBox->Visible() || !ImageSize().isEmpty();
}

QRect TCustomFrameGroupBox::CaptionBandRect() const
{
    const QSize text = CaptionTextSize();
    const QSize image = ImageSize();
    const int g = !text.isEmpty() && !image.isEmpty() ? 3 : 0;
    const int e = CheckBoxSide();
    const int f = FCheckBox->Visible() && (!text.isEmpty() || !image.isEmpty()) ? 3 : 0;
    const int H = qMax(qMax(text.height(), image.height()), e) + 2;
    const int W = text.width() + e + f + image.width() + g;
    int x = CaptionMargin;
    switch (FCaptionPosition) {
    case cpTopRight:
    case cpBottomRight:
        x = width() - CaptionMargin - W;
        break;
    case cpTopCenter:
    case cpBottomCenter:
        x = (width() - W) / 2;
        break;
    case cpTopLeft:
    case cpBottomLeft:
        break;
    }
    const bool top = FCaptionPosition == cpTopLeft || FCaptionPosition == cpTopRight || FCaptionPosition == cpTopCenter;
    return QRect(x, top ? 0 : height() - H, W, H);
}

QRect TCustomFrameGroupBox::CheckBoxRect() const
{
    const int e = CheckBoxSide();
    if (e == 0)
        return QRect();
    const QRect band = CaptionBandRect();
    const int top = band.top() + (band.height() - e) / 2;
    if (FCheckBox->Position() == TGroupBoxCheck::cpRight)
        return QRect(band.right() + 1 - e, top, e, e);
    return QRect(band.left(), top, e, e);
}

QRect TCustomFrameGroupBox::TextRect() const
{
    QRect band = CaptionBandRect();
    const int e = CheckBoxSide();
    if (e == 0)
        return band;
    const int f = !CaptionTextSize().isEmpty() || !ImageSize().isEmpty() ? 3 : 0;
    if (FCheckBox->Position() == TGroupBoxCheck::cpRight)
        band.setRight(band.right() - e - f);
    else
        band.setLeft(band.left() + e + f);
    return band;
}

int TCustomFrameGroupBox::FrameWidth() const
{
    switch (FBorderStyle) {
    case bsSingle:
        return FCtl3D ? 2 : 1;
    case bsDouble:
        return FCtl3D ? 4 : 2;
    case bsNone:
        break;
    }
    return 1;
}

int TCustomFrameGroupBox::CaptionHeight() const
{
    return qMax(CaptionBandRect().height(), FrameWidth());
}

QRect TCustomFrameGroupBox::FrameRect() const
{
    QRect frame = rect();
    if (!HasCaptionBand())
        return frame;
    const int half = CaptionHeight() / 2;
    const bool top = FCaptionPosition == cpTopLeft || FCaptionPosition == cpTopRight || FCaptionPosition == cpTopCenter;
    if (top)
        frame.setTop(frame.top() + half);
    else
        frame.setBottom(frame.bottom() - (FBorderStyle == bsDouble ? half - 1 : half));
    return frame;
}

QRect TCustomFrameGroupBox::ChildArea() const
{
    const int frame = FrameWidth();
    const int caption = CaptionHeight();
    const bool top = FCaptionPosition == cpTopLeft || FCaptionPosition == cpTopRight || FCaptionPosition == cpTopCenter;
    QRect area = rect().adjusted(frame, top ? caption : frame, -frame, top ? -frame : -caption);
    return area.adjusted(1, 1, -1, -1);
}

void TCustomFrameGroupBox::PaintParentBackground(QPainter&) {}

void TCustomFrameGroupBox::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    if (FTransparent)
        PaintParentBackground(painter);
    else
        painter.fillRect(rect(), palette().color(backgroundRole()));
    PaintCheckBox(painter);
    QRect text = TextRect();
    const QSize image = ImageSize();
    if (!image.isEmpty()) {
        QPixmap picture = FImages[FImageIndex];
        if (!isEnabled())
            picture = style()->generatedIconPixmap(QIcon::Disabled, picture, nullptr);
        painter.drawPixmap(text.left(), text.top(), picture);
        text.setLeft(text.left() + image.width() + 3);
    }
    if (!FCaption.isEmpty()) {
        const QSize size = CaptionTextSize();
        const QRect line(text.left(), text.top() + (text.height() - size.height()) / 2, qMax(0, text.width()), size.height());
        RenderCaption(&painter, font(), ToQColor(isEnabled() ? FFontColor : FDisabledFontColor), FCaption, line);
    }
    PaintFrame(painter);
}

void TCustomFrameGroupBox::PaintCheckBox(QPainter& Painter)
{
    const QRect square = CheckBoxRect();
    if (square.isEmpty())
        return;
    if (FCheckBox->Themed()) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = square;
        option.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_NoChange | QStyle::State_Sunken | QStyle::State_MouseOver);
        option.state |= FCheckBox->State() == cbChecked ? QStyle::State_On
            : FCheckBox->State() == cbGrayed             ? QStyle::State_NoChange
                                                         : QStyle::State_Off;
        if (FCheckBox->Down())
            option.state |= QStyle::State_Sunken;
        if (FCheckBox->Hot())
            option.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &Painter, this);
        return;
    }
    const TGlyphPointerState pointer = FCheckBox->Down() ? gpPressed : FCheckBox->Hot() ? gpHot : gpNormal;
    DrawGlyph(Painter, CheckGlyphBitmap(FCheckBox->State(), pointer, GlyphPixels(Painter, CheckGlyphSize)),
        QRect(square.left(), square.top(), CheckGlyphSize, CheckGlyphSize));
}

void TCustomFrameGroupBox::PaintFrame(QPainter& Painter)
{
    if (FBorderStyle == bsNone)
        return;
    Painter.save();
    if (HasCaptionBand()) {
        // The frame line stops at the caption band, one pixel beyond it on either side.
        QRegion outside(rect());
        outside -= CaptionBandRect().adjusted(-1, 0, 1, 0);
        Painter.setClipRegion(outside);
    }
    const QRect frame = FrameRect();
    const QColor color = ToQColor(FBorderColor);
    const auto outline = [&](const QRect& Rect) {
        if (FRoundEdges)
            RoundedFrame(Painter, Rect, color);
        else
            FrameRectangle(Painter, Rect, color);
    };
    outline(frame);
    if (FBorderStyle == bsDouble)
        outline(frame.adjusted(2, 2, -2, -2));
    Painter.restore();
}

void TCustomFrameGroupBox::CheckBoxStateChanged()
{
    update(CheckBoxRect());
    FAccessibleState.Report(this);
    ApplyCheckBoxAction();
    DoCheckBoxClick();
}

void TCustomFrameGroupBox::ApplyCheckBoxAction()
{
    if (!isEnabled() || !FCheckBox->Visible() || FCheckBox->State() == cbGrayed || FCheckBox->Action() == caNone)
        return;
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    switch (FCheckBox->Action()) {
    case caDisable:
    case caControlsDisable:
        for (QWidget* child : children)
            child->setEnabled(FCheckBox->Checked());
        break;
    case caCheckAll:
        for (QWidget* child : children)
            if (auto* box = dynamic_cast<TCustomOfficeCheckBox*>(child))
                box->CheckStateMessage(FCheckBox->Checked() ? 1 : 0);
        break;
    case caNone:
        break;
    }
}

void TCustomFrameGroupBox::DoCheckBoxClick()
{
    Raise(OnCheckBoxClick, this);
}

void TCustomFrameGroupBox::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::FontChange)
        LookChanged();
    if (Event->type() == QEvent::EnabledChange && FCheckBox->Action() == caDisable && FCheckBox->Visible()) {
        FCheckBox->FState = isEnabled() ? cbChecked : cbUnchecked;
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setEnabled(isEnabled());
        update();
    }
}

void TCustomFrameGroupBox::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    LookChanged();
}

void TCustomFrameGroupBox::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    if (!FActionApplied && FCheckBox->Visible())
        ApplyCheckBoxAction();
    FActionApplied = true;
}

void TCustomFrameGroupBox::SetCheckBoxPointer(bool Hot, bool Down)
{
    if (Hot == FCheckBox->FHot && Down == FCheckBox->FDown)
        return;
    FCheckBox->FHot = Hot;
    FCheckBox->FDown = Down;
    update(CheckBoxRect());
}

void TCustomFrameGroupBox::mousePressEvent(QMouseEvent* Event)
{
    const QRect square = CheckBoxRect();
    if (!square.isEmpty() && square.contains(Event->position().toPoint()) && Event->button() == Qt::LeftButton) {
        FCheckBoxCaptured = true;
        SetCheckBoxPointer(true, true);
        return;
    }
    QWidget::mousePressEvent(Event);
}

void TCustomFrameGroupBox::mouseMoveEvent(QMouseEvent* Event)
{
    const QRect square = CheckBoxRect();
    const bool hot = !square.isEmpty() && square.contains(Event->position().toPoint());
    SetCheckBoxPointer(hot, FCheckBoxCaptured ? hot : FCheckBox->FDown);
    QWidget::mouseMoveEvent(Event);
}

void TCustomFrameGroupBox::mouseReleaseEvent(QMouseEvent* Event)
{
    if (!FCheckBoxCaptured || Event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(Event);
        return;
    }
    FCheckBoxCaptured = false;
    const QRect square = CheckBoxRect();
    const bool over = !square.isEmpty() && square.contains(Event->position().toPoint());
    SetCheckBoxPointer(over, false);
    if (!over)
        return;
    if (FCheckBox->AllowGrayed()) {
        // Indexed by the current state: unchecked -> grayed -> checked -> unchecked.
        static constexpr TCheckBoxState Next[] = {cbGrayed, cbUnchecked, cbChecked};
        FCheckBox->SetState(Next[FCheckBox->State()]);
    } else {
        FCheckBox->SetState(FCheckBox->Checked() ? cbUnchecked : cbChecked);
    }
}

void TCustomFrameGroupBox::leaveEvent(QEvent* Event)
{
    SetCheckBoxPointer(false, false);
    QWidget::leaveEvent(Event);
}

bool TCustomFrameGroupBox::event(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(Event);
        const QRect square = CheckBoxRect();
        if (!square.isEmpty() && square.contains(help->pos()) && !FCheckBox->Hint().isEmpty()) {
            QToolTip::showText(help->globalPos(), FCheckBox->Hint(), this, square);
            return true;
        }
    }
    return QWidget::event(Event);
}
