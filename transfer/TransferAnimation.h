#pragma once

#include "transfer/WebTransferTypes.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>

class QPainter;

struct TAnimationClipInfo {
    int FrameCount;
    int FramesPerSecond;
};

// A small animation control: plays one looping clip of 272 x 60 pixels whose frames are drawn
// here. What lies outside the pictures stays transparent, so the dialog's face shows through.
class TTransferAnimation : public QWidget {
    Q_OBJECT

public:
    static constexpr int ClipWidth = 272;
    static constexpr int ClipHeight = 60;

    static TAnimationClipInfo ClipInfo(TAnimationClip Clip);
    // Draws frame Frame (0-based, taken modulo the clip's frame count) of a clip into a
    // 272 x 60 area at the painter's origin.
    static void DrawFrame(QPainter& Painter, TAnimationClip Clip, int Frame);

    explicit TTransferAnimation(QWidget* Parent = nullptr);

    TAnimationClip Clip() const { return FClip; }
    // Switches to another clip from its first frame; a playing control goes on playing.
    void SetClip(TAnimationClip Clip);
    int Frame() const { return FFrame; }
    bool Playing() const { return FTimer.isActive(); }
    void Play();
    void Stop();

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    void NextFrame();

    TAnimationClip FClip = acDownload;
    int FFrame = 0;
    QTimer FTimer;
};
