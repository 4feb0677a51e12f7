#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// The small modal dialog that asks for the user name and password an HTTP server wants.
// Laid out in fixed pixels; OK is the default button (Enter), Cancel the cancel button (Esc),
// and the close box counts as Cancel.
class TWtLoginForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int BannerWidth = 320;
    static constexpr int BannerHeight = 60;

    explicit TWtLoginForm(QWidget* Parent = nullptr);

    // The banner: a blue gradient with a pair of keys at its left.
    static QImage DrawBanner();

    QLabel* Image1;
    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QPushButton* Button1;
    QPushButton* Button2;
};

// Asks for a user name and password in a modal login dialog with the given caption. On OK
// the answers are stored and the result is true; any other way of closing leaves User and
// Password unchanged and gives false. The edits always start empty.
bool ShowLoginDialog(const QString& Caption, QString& User, QString& Password);
