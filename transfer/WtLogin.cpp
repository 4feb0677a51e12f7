#include "transfer/WtLogin.h"

#include "controls/SystemColors.h"
#include "transfer/WindowMetrics.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>

#include <cstdint>

namespace {

// Outer size of the window in the design, frame and caption included.
constexpr int DesignOuterWidth = 328;
constexpr int DesignOuterHeight = 223;

// Entries of the system colour table.
constexpr int ColorWindowText = 8;
constexpr int ColorBtnFace = 15;

QColor SystemColor(int Index)
{
    const std::uint32_t bgr = platform::systemColor(Index);
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// Password edits here show every character as "*", whatever the style would draw.
class TAsteriskPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* ReturnData) const override
    {
        if (Hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
    }
};

void DrawKey(QPainter& Painter, QPointF Bow, qreal Angle)
{
    Painter.save();
    Painter.translate(Bow);
    Painter.rotate(Angle);
    QPainterPath key;
    key.addEllipse(QPointF(0, 0), 9, 9);
    key.addRect(QRectF(8, -2.5, 34, 5));
    key.addRect(QRectF(30, 2, 4, 6));
    key.addRect(QRectF(37, 2, 4, 8));
    key.setFillRule(Qt::WindingFill);
    QPainterPath hole;
    hole.addEllipse(QPointF(-2, 0), 3.5, 3.5);
    Painter.setPen(QPen(QColor(120, 90, 10), 1));
    Painter.setBrush(QColor(236, 196, 64));
    Painter.drawPath(key.simplified().subtracted(hole));
    Painter.restore();
}

QLabel* MakeLabel(QWidget* Parent, const char* Name, const QString& Text, QPoint At)
{
    auto* label = new QLabel(Text, Parent);
    label->setObjectName(QString::fromLatin1(Name));
    label->move(At);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* Parent, const char* Name, QPoint At)
{
    auto* edit = new QLineEdit(Parent);
    edit->setObjectName(QString::fromLatin1(Name));
    edit->setGeometry(At.x(), At.y(), 193, 21);
    return edit;
}

QPushButton* MakeButton(QWidget* Parent, const char* Name, const QString& Text, QPoint At)
{
    auto* button = new QPushButton(Text, Parent);
    button->setObjectName(QString::fromLatin1(Name));
    button->setGeometry(At.x(), At.y(), 75, 25);
    return button;
}

} // namespace

QImage TWtLoginForm::DrawBanner()
{
    QImage banner(BannerWidth, BannerHeight, QImage::Format_RGB32);
    QPainter painter(&banner);
    QLinearGradient sky(0, 0, BannerWidth, 0);
    sky.setColorAt(0, QColor(10, 36, 106));
    sky.setColorAt(1, QColor(166, 202, 240));
    painter.fillRect(banner.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawKey(painter, {20, 22}, 15);
    DrawKey(painter, {28, 40}, -10);
    return banner;
}

TWtLoginForm::TWtLoginForm(QWidget* Parent)
    : QDialog(Parent)
{
    setObjectName(QStringLiteral("WtLoginForm"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, SystemColor(ColorBtnFace));
    colours.setColor(QPalette::WindowText, SystemColor(ColorWindowText));
    setPalette(colours);
    setAutoFillBackground(true);

    // The window manager draws the sizeable frame and the caption around the client area.
    const int clientWidth = DesignOuterWidth - 2 * SizeableFrameBorder;
    const int clientHeight = DesignOuterHeight - 2 * SizeableFrameBorder - SystemCaptionHeight();
    resize(clientWidth, clientHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap::fromImage(DrawBanner()));
    Image1->setGeometry(0, 0, BannerWidth, BannerHeight);

    Label1 = MakeLabel(this, "Label1", QStringLiteral("&User name: "), {16, 80});
    Edit1 = MakeEdit(this, "Edit1", {104, 80});
    Label1->setBuddy(Edit1);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("&Password:"), {16, 112});
    Edit2 = MakeEdit(this, "Edit2", {104, 112});
    Label2->setBuddy(Edit2);
    auto* asterisks = new TAsteriskPasswordStyle;
    asterisks->setParent(this);
    Edit2->setStyle(asterisks);
    Edit2->setEchoMode(QLineEdit::Password);

    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), {144, 152});
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Cancel"), {224, 152});
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Button2);
    Edit1->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QPoint centre = screen->availableGeometry().center();
        move(centre.x() - DesignOuterWidth / 2, centre.y() - DesignOuterHeight / 2);
    }
}

bool ShowLoginDialog(const QString& Caption, QString& User, QString& Password)
{
    // Owned here, so it is gone before we return whichever way it was closed.
    TWtLoginForm form;
    form.setWindowTitle(Caption);
    if (form.exec() != QDialog::Accepted)
        return false;
    User = form.Edit1->text();
    Password = form.Edit2->text();
    return true;
}
