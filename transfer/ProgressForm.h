#pragma once

#include "transfer/PathLabel.h"
#include "transfer/TransferAnimation.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>

// Which parts a progress window has and how its frame behaves.
struct TProgressFormOptions {
    bool ShowFileName = true;
    bool ShowTime = false;
    bool ShowElapsedTime = false;
    bool ShowCancel = true;
    bool ShowOpenFile = false;
    bool ShowOpenFolder = false;
    bool StayOnTop = true;
    bool ShowCloseBtn = false;
};

// The transfer engine's progress window: an animation, a bar, up to five text lines and a
// button row, laid out in fixed pixels. It frees itself once it has closed. The engine fills
// in the texts and decides, through OnCloseQuery, whether the window may close.
class TProgressForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int FormWidth = 300;
    static constexpr int ButtonWidth = 75;
    static constexpr int ButtonHeight = 25;

    explicit TProgressForm(const TProgressFormOptions& Options);

    // Asked whenever the window is to close; unassigned means yes.
    std::function<bool()> OnCloseQuery;
    // The window has closed and is about to free itself.
    std::function<void()> OnClose;

    TTransferAnimation* Anim;
    QProgressBar* Progress;
    TPathLabel* FileLbl;
    QLabel* SizeLbl;
    QLabel* RateLbl;
    QLabel* TimeLbl;
    QLabel* ElapsedTimeLbl;
    QPushButton* CancelBtn;
    QPushButton* BtnShowFile = nullptr;   // only when asked for
    QPushButton* BtnShowFolder = nullptr; // only when asked for

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    bool event(QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    void PaintPending();
    // Clicks Cancel (Close once the run is over) when the dialog shows it enabled.
    bool ClickCancel();

    // Changes are painted at most once a frame: a run of small files changes the texts and
    // the bar for every file, far more often than a screen shows them.
    QElapsedTimer FLastPaint;
    QTimer FPaintDelay;
};
