#include "transfer/TransferAnimation.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace {

const QColor FolderFace(250, 206, 72);
const QColor FolderBack(222, 170, 40);
const QColor FolderEdge(150, 106, 16);
const QColor SheetEdge(120, 120, 120);

void DrawGlobe(QPainter& Painter, QPointF Centre, qreal Radius)
{
    Painter.save();
    QRadialGradient ocean(Centre - QPointF(Radius / 3, Radius / 3), Radius * 1.4);
    ocean.setColorAt(0, QColor(120, 180, 255));
    ocean.setColorAt(1, QColor(20, 70, 170));
    QPainterPath disc;
    disc.addEllipse(Centre, Radius, Radius);
    Painter.setPen(QPen(QColor(10, 40, 110), 1));
    Painter.setBrush(ocean);
    Painter.drawPath(disc);

    Painter.setClipPath(disc);
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(60, 160, 70));
    Painter.drawEllipse(QRectF(Centre.x() - Radius * 0.7, Centre.y() - Radius * 0.6, Radius * 0.7, Radius * 0.9));
    Painter.drawEllipse(QRectF(Centre.x() + Radius * 0.1, Centre.y() - Radius * 0.1, Radius * 0.6, Radius * 0.8));
    Painter.setPen(QPen(QColor(200, 225, 255, 150), 1));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawEllipse(Centre, Radius * 0.45, Radius);
    Painter.drawLine(QPointF(Centre.x(), Centre.y() - Radius), QPointF(Centre.x(), Centre.y() + Radius));
    Painter.drawLine(QPointF(Centre.x() - Radius, Centre.y()), QPointF(Centre.x() + Radius, Centre.y()));
    Painter.restore();
}

void DrawClosedFolder(QPainter& Painter, const QRectF& Box)
{
    Painter.save();
    Painter.setPen(QPen(FolderEdge, 1));
    Painter.setBrush(FolderBack);
    Painter.drawRect(QRectF(Box.left(), Box.top(), Box.width() * 0.4, Box.height() * 0.2));
    Painter.setBrush(FolderFace);
    Painter.drawRect(QRectF(Box.left(), Box.top() + Box.height() * 0.15, Box.width(), Box.height() * 0.85));
    Painter.restore();
}

void DrawSheet(QPainter& Painter, const QRectF& Box)
{
    Painter.save();
    Painter.setPen(QPen(SheetEdge, 1));
    Painter.setBrush(Qt::white);
    Painter.drawRect(Box);
    Painter.setPen(QPen(QColor(170, 170, 170), 1));
    for (qreal y = Box.top() + 4; y < Box.bottom() - 2; y += 3)
        Painter.drawLine(QPointF(Box.left() + 2, y), QPointF(Box.right() - 2, y));
    Painter.restore();
}

void DrawOpenFolder(QPainter& Painter, const QRectF& Box, bool WithPapers)
{
    Painter.save();
    Painter.setPen(QPen(FolderEdge, 1));
    Painter.setBrush(FolderBack);
    Painter.drawRect(QRectF(Box.left(), Box.top() + Box.height() * 0.1, Box.width() * 0.9, Box.height() * 0.9));
    if (WithPapers) {
        DrawSheet(Painter, QRectF(Box.left() + Box.width() * 0.15, Box.top(), Box.width() * 0.5, Box.height() * 0.6));
        DrawSheet(Painter, QRectF(Box.left() + Box.width() * 0.3, Box.top() + 4, Box.width() * 0.5, Box.height() * 0.6));
    }
    // The front flap leans forward: a parallelogram over the lower part.
    QPainterPath flap;
    flap.moveTo(Box.left() + Box.width() * 0.1, Box.top() + Box.height() * 0.4);
    flap.lineTo(Box.right(), Box.top() + Box.height() * 0.4);
    flap.lineTo(Box.right() - Box.width() * 0.1, Box.bottom());
    flap.lineTo(Box.left(), Box.bottom());
    flap.closeSubpath();
    Painter.setBrush(FolderFace);
    Painter.drawPath(flap);
    Painter.restore();
}

// Where the flying sheet is at Progress (0 to 1) of its arc from From to To.
QPointF FlightPosition(qreal Progress, QPointF From, QPointF To, qreal Lift)
{
    const QPointF straight = From + (To - From) * Progress;
    return {straight.x(), straight.y() - Lift * std::sin(std::numbers::pi * Progress)};
}

void DrawFlyingSheet(QPainter& Painter, TAnimationClip Clip, int Frame, QPointF From, QPointF To)
{
    const int last = TTransferAnimation::ClipInfo(Clip).FrameCount - 1;
    const QPointF at = FlightPosition(qreal(Frame) / last, From, To, 22);
    DrawSheet(Painter, QRectF(at.x() - 7, at.y() - 9, 14, 18));
}

} // namespace

TAnimationClipInfo TTransferAnimation::ClipInfo(TAnimationClip Clip)
{
    switch (Clip) {
    case acDownload:
        return {31, 15};
    case acUpload:
        return {26, 10};
    case acFileCopy:
        break;
    }
    return {24, 12};
}

void TTransferAnimation::DrawFrame(QPainter& Painter, TAnimationClip Clip, int Frame)
{
    Frame %= ClipInfo(Clip).FrameCount;
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing);
    switch (Clip) {
    case acDownload:
        DrawGlobe(Painter, {34, 32}, 24);
        DrawClosedFolder(Painter, {210, 12, 54, 40});
        DrawFlyingSheet(Painter, Clip, Frame, {62, 30}, {226, 30});
        break;
    case acUpload:
        DrawOpenFolder(Painter, {8, 12, 56, 42}, true);
        DrawClosedFolder(Painter, {208, 12, 56, 42});
        DrawGlobe(Painter, {236, 36}, 12);
        DrawFlyingSheet(Painter, Clip, Frame, {44, 22}, {226, 26});
        break;
    case acFileCopy:
        DrawOpenFolder(Painter, {8, 12, 56, 42}, true);
        DrawOpenFolder(Painter, {208, 12, 56, 42}, false);
        DrawFlyingSheet(Painter, Clip, Frame, {44, 22}, {232, 26});
        break;
    }
    Painter.restore();
}

TTransferAnimation::TTransferAnimation(QWidget* Parent)
    : QWidget(Parent)
{
    setFixedSize(ClipWidth, ClipHeight);
    FTimer.setTimerType(Qt::PreciseTimer);
    connect(&FTimer, &QTimer::timeout, this, &TTransferAnimation::NextFrame);
    SetClip(acDownload);
}

void TTransferAnimation::SetClip(TAnimationClip Clip)
{
    FClip = Clip;
    FFrame = 0;
    FTimer.setInterval(qRound(1000.0 / ClipInfo(Clip).FramesPerSecond));
    update();
}

void TTransferAnimation::Play()
{
    FTimer.start();
}

void TTransferAnimation::Stop()
{
    FTimer.stop();
}

void TTransferAnimation::NextFrame()
{
    FFrame = (FFrame + 1) % ClipInfo(FClip).FrameCount;
    update();
}

void TTransferAnimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawFrame(painter, FClip, FFrame);
}
