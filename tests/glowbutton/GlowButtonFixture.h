#pragma once

#include "controls/GlowButton.h"
#include "platform/desktop/Fonts.h"
#include "tests/glowbutton/PixelHelpers.h"
#include "tests/support/Snapshot.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A glow button whose fade can be stepped by hand.
class TProbeButton : public TGlowButton
{
public:
    using TGlowButton::TGlowButton;
    using TCustomGlowButton::DrawState;
    using TCustomGlowButton::FadeTimerExists;
    using TCustomGlowButton::FadeTimerTick;
    using TCustomGlowButton::StepHover;
    using TCustomGlowButton::StepPush;
};

// A form with a red background holding one 180 x 28 glow button at (10, 10). Fades are off
// unless a test switches them on; the shared interval is restored afterwards.
class GlowButtonTest : public testing::Test
{
protected:
    static constexpr TColor FormColour = 0x0000FF;
    static constexpr QPoint Offset{10, 10};

    void SetUp() override
    {
        ASSERT_TRUE(platform::ensureDesignFonts());
        SavedInterval = TCustomGlowButton::FadeInterval();
        TCustomGlowButton::SetFadeInterval(0);
        Form = std::make_unique<QWidget>();
        QPalette Palette = Form->palette();
        Palette.setColor(QPalette::Window, Qt::red);
        Form->setPalette(Palette);
        Form->setAutoFillBackground(true);
        QFont Font(QStringLiteral("Tahoma"));
        Font.setPointSize(8);
        Form->setFont(Font);
        Form->resize(400, 120);
        Button = AddButton(QStringLiteral("Download"), QRect(Offset, QSize(180, 28)));
        Form->show();
    }

    void TearDown() override
    {
        Form.reset();
        TCustomGlowButton::SetFadeInterval(SavedInterval);
    }

    TProbeButton* AddButton(const QString& Caption, const QRect& Geometry)
    {
        auto* Added = new TProbeButton(Form.get());
        Added->SetCaption(Caption);
        Added->setGeometry(Geometry);
        Added->OnClick = [this](QObject* Sender) { Clicks.push_back(Sender); };
        Added->show();
        return Added;
    }

public:
    static void Enter(QWidget* Widget)
    {
        const QPointF At(5, 5);
        QEnterEvent Event(At, At, Widget->mapToGlobal(At));
        QApplication::sendEvent(Widget, &Event);
    }
    static void Leave(QWidget* Widget)
    {
        QEvent Event(QEvent::Leave);
        QApplication::sendEvent(Widget, &Event);
    }
    static void Mouse(QWidget* Widget, QEvent::Type Type, QPoint At, Qt::MouseButtons Held)
    {
        const Qt::MouseButton Button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent Event(Type, QPointF(At), QPointF(Widget->mapToGlobal(At)), Button, Held, Qt::NoModifier);
        QApplication::sendEvent(Widget, &Event);
    }
    static void Press(QWidget* Widget, QPoint At = QPoint(20, 10))
    {
        Mouse(Widget, QEvent::MouseButtonPress, At, Qt::LeftButton);
    }
    static void MoveHeld(QWidget* Widget, QPoint At) { Mouse(Widget, QEvent::MouseMove, At, Qt::LeftButton); }
    static void Release(QWidget* Widget, QPoint At = QPoint(20, 10))
    {
        Mouse(Widget, QEvent::MouseButtonRelease, At, Qt::NoButton);
    }
    // The pointer comes in and clicks, as a user's click does.
    static void UserClick(QWidget* Widget)
    {
        Enter(Widget);
        Press(Widget);
        Release(Widget);
    }

protected:
    int ClicksOf(QObject* Sender) const { return int(std::count(Clicks.begin(), Clicks.end(), Sender)); }

    std::unique_ptr<QWidget> Form;
    TProbeButton* Button = nullptr;
    std::vector<QObject*> Clicks;
    int SavedInterval = 20;
};

// Two tab-stop buttons after a line edit, in a window that has the keyboard.
class KeyboardButtons : public GlowButtonTest
{
protected:
    void SetUp() override
    {
        GlowButtonTest::SetUp();
        Edit = new QLineEdit(Form.get());
        Edit->setGeometry(10, 60, 180, 24);
        Edit->show();
        Other = AddButton(QStringLiteral("Cancel"), QRect(200, 10, 180, 28));
        // Qt orders only controls that can take the focus.
        Button->SetTabStop(true);
        Other->SetTabStop(true);
        QWidget::setTabOrder(Edit, Button);
        QWidget::setTabOrder(Button, Other);
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Edit->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Edit->hasFocus(); }, 5000));
    }

    QLineEdit* Edit = nullptr;
    TProbeButton* Other = nullptr;
};
