#include "tests/support/CaseName.h"
#include "tests/support/Pixels.h"
#include "tests/support/WaitFor.h"

#include "transfer/TransferAnimation.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage RenderFrame(TAnimationClip Clip, int Frame)
{
    QImage image(TTransferAnimation::ClipWidth, TTransferAnimation::ClipHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    TTransferAnimation::DrawFrame(painter, Clip, Frame);
    return image;
}

struct ClipCase {
    const char* Name;
    TAnimationClip Clip;
    int FrameCount;
    int FramesPerSecond;
};

class TransferAnimationClip : public testing::TestWithParam<ClipCase> {};

TEST_P(TransferAnimationClip, HasItsFrameCountAndRate)
{
    const ClipCase& c = GetParam();
    const TAnimationClipInfo info = TTransferAnimation::ClipInfo(c.Clip);
    EXPECT_EQ(info.FrameCount, c.FrameCount);
    EXPECT_EQ(info.FramesPerSecond, c.FramesPerSecond);
}

TEST_P(TransferAnimationClip, ASheetFliesBetweenTheTwoPicturesOverATransparentGround)
{
    const ClipCase& c = GetParam();
    const QImage first = RenderFrame(c.Clip, 0);
    const QImage middle = RenderFrame(c.Clip, c.FrameCount / 2);
    const QImage last = RenderFrame(c.Clip, c.FrameCount - 1);

    for (const QImage* frame : {&first, &middle, &last}) {
        EXPECT_GT(pixelAt(*frame, 34, 40).alpha(), 0) << "the picture at the left";
        EXPECT_GT(pixelAt(*frame, 236, 40).alpha(), 0) << "the picture at the right";
        EXPECT_EQ(pixelAt(*frame, 140, 58).alpha(), 0) << "the ground stays transparent";
    }
    // Half-way the sheet is at the top of its arc, in the middle; at the ends it is not.
    const QPoint arcTop(140, 8);
    EXPECT_EQ(pixelAt(first, arcTop).alpha(), 0);
    EXPECT_EQ(pixelAt(middle, arcTop).alpha(), 255);
    EXPECT_GT(qGray(pixelAt(middle, arcTop).rgb()), 180) << "a light sheet";
    EXPECT_EQ(pixelAt(last, arcTop).alpha(), 0);
    EXPECT_NE(first, middle);
    EXPECT_EQ(RenderFrame(c.Clip, c.FrameCount), first) << "the clip loops";
}

INSTANTIATE_TEST_SUITE_P(Clips, TransferAnimationClip,
                         testing::Values(ClipCase{"Download", acDownload, 31, 15},
                                         ClipCase{"Upload", acUpload, 26, 10},
                                         ClipCase{"FileCopy", acFileCopy, 24, 12}),
                         caseName);

TEST(TransferAnimation, DownloadClipShowsABlueGlobeAndAYellowFolder)
{
    const QImage frame = RenderFrame(acDownload, 0);
    const QColor globe = pixelAt(frame, 34, 44);
    EXPECT_GT(globe.blue(), globe.red());
    const QColor folder = pixelAt(frame, 250, 40);
    EXPECT_GT(folder.red(), 200);
    EXPECT_GT(folder.green(), 150);
    EXPECT_LT(folder.blue(), 120);
}

TEST(TransferAnimation, PlaysInALoopAndStops)
{
    TTransferAnimation anim;
    EXPECT_EQ(anim.size(), QSize(272, 60));
    EXPECT_EQ(anim.Clip(), acDownload);
    EXPECT_FALSE(anim.Playing());

    anim.Play();
    ASSERT_TRUE(waitFor([&] { return anim.Frame() > 0; }));
    ASSERT_TRUE(waitFor([&] { return anim.Frame() == 0; })) << "wraps after the last frame";

    anim.Stop();
    const int stoppedAt = anim.Frame();
    EXPECT_FALSE(waitFor([&] { return anim.Frame() != stoppedAt; }, 300));
}

TEST(TransferAnimation, SwitchingClipsStartsTheNewClipFromItsFirstFrame)
{
    TTransferAnimation anim;
    anim.Play();
    ASSERT_TRUE(waitFor([&] { return anim.Frame() > 2; }));
    anim.SetClip(acUpload);
    EXPECT_EQ(anim.Clip(), acUpload);
    EXPECT_LE(anim.Frame(), 1);
    EXPECT_TRUE(anim.Playing());
    ASSERT_TRUE(waitFor([&] { return anim.Frame() == 25; })) << "the upload clip has 26 frames";
    ASSERT_TRUE(waitFor([&] { return anim.Frame() == 0; }));
}

} // namespace
