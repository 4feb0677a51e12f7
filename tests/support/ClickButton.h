#pragma once

#include <QPushButton>
#include <QString>
#include <QTest>
#include <QWidget>

// Clicks the push button with the given caption inside a window, with the mouse as a user
// would; false when there is no window or no such button in it.
inline bool clickButton(QWidget* window, const QString& caption)
{
    if (!window)
        return false;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == caption) {
            QTest::mouseClick(button, Qt::LeftButton);
            return true;
        }
    }
    return false;
}
