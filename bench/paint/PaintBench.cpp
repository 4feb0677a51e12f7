// Paints a 180 x 28 glow button in each of its states into an image many times, and a push
// button of the same size in the Fusion style, and prints the cost of one paint of each.
// The last line reads "ratio R", R being the glow button's cost over the push button's.

#include "controls/GlowButton.h"
#include "platform/desktop/Fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleFactory>

#include <cstdio>
#include <functional>

namespace {

constexpr int Rounds = 2000;

// Nanoseconds per paint, best of three runs to keep other load out of the figure.
double CostPerPaint(QWidget& Widget)
{
    QImage Target(Widget.size(), QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 100; ++i)
        Widget.render(&Target);
    double Best = 1e300;
    for (int Run = 0; Run < 3; ++Run) {
        QElapsedTimer Timer;
        Timer.start();
        for (int i = 0; i < Rounds; ++i)
            Widget.render(&Target);
        Best = std::min(Best, double(Timer.nsecsElapsed()) / Rounds);
    }
    return Best;
}

void Send(QWidget& Widget, QEvent&& Event)
{
    QApplication::sendEvent(&Widget, &Event);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    platform::ensureDesignFonts();
    QFont Font(QStringLiteral("Tahoma"));
    Font.setPointSize(8);
    QApplication::setFont(Font);
    // Final colours at once: a running fade would only add timer ticks, not paint work.
    TCustomGlowButton::SetFadeInterval(0);

    struct TState
    {
        const char* Name;
        std::function<void(TGlowButton&)> Enter;
    };
    const QPointF Inside(5, 5);
    const TState States[] = {
        {"normal", [](TGlowButton&) {}},
        {"hot", [&](TGlowButton& B) { Send(B, QEnterEvent(Inside, Inside, Inside)); }},
        {"down",
         [&](TGlowButton& B) {
             Send(B, QEnterEvent(Inside, Inside, Inside));
             Send(B, QMouseEvent(QEvent::MouseButtonPress, Inside, Inside, Qt::LeftButton, Qt::LeftButton, {}));
         }},
        {"disabled", [](TGlowButton& B) { B.setEnabled(false); }},
        {"checked",
         [](TGlowButton& B) {
             B.SetGroupIndex(1);
             B.SetDown(true);
         }},
    };

    double GlowTotal = 0;
    for (const TState& State : States) {
        TGlowButton Button;
        Button.SetCaption(QStringLiteral("Download"));
        Button.resize(180, 28);
        State.Enter(Button);
        const double Cost = CostPerPaint(Button);
        GlowTotal += Cost;
        std::printf("glow button %-9s %8.1f us per paint\n", State.Name, Cost / 1000);
    }
    const double Glow = GlowTotal / std::size(States);

    // During a fade the colours change on every paint, so nothing kept from the last paint helps.
    TGlowButton Fading;
    Fading.SetCaption(QStringLiteral("Download"));
    Fading.resize(180, 28);
    Send(Fading, QEnterEvent(Inside, Inside, Inside));
    int Step = 0;
    Fading.OnDrawButton = [&](QObject*, QPainter*, QRect, TGlowButtonState) {
        Fading.Appearance()->SetColorHot(MixColors(0xF5F0E1, 0xFFFFFF, ++Step % 100));
    };
    const double FadingCost = CostPerPaint(Fading);
    std::printf("glow button fading    %8.1f us per paint (colours new on every paint)\n", FadingCost / 1000);

    QPushButton Plain(QStringLiteral("Download"));
    Plain.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    Plain.resize(180, 28);
    const double PlainCost = CostPerPaint(Plain);

    std::printf("glow button average    %8.1f us per paint\n", Glow / 1000);
    std::printf("push button (Fusion)   %8.1f us per paint\n", PlainCost / 1000);
    std::printf("ratio while fading %.2f\n", FadingCost / PlainCost);
    std::printf("ratio %.2f\n", Glow / PlainCost);
    return 0;
}
