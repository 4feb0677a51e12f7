#include "transfer/ProgressForm.h"

#include "transfer/WindowMetrics.h"

#include <QGuiApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

namespace {

// About one frame of a 60 Hz screen.
constexpr int PaintIntervalMs = 16;

// Text lines sit at the left margin, fixed in place whichever lines above them are hidden.
// Their size is fixed too: a new text then asks the window for no new layout, which a run of
// small files would otherwise do several times for every file.
void PlaceLine(QLabel* Label, int Top, bool Visible)
{
    // Plain text: a name from a server is shown as it is, and no new text is scanned for markup.
    Label->setTextFormat(Qt::PlainText);
    Label->move(10, Top);
    Label->setFixedSize(TProgressForm::FormWidth - 20, Label->fontMetrics().height());
    Label->setVisible(Visible);
}

QPushButton* MakeButton(QWidget* Parent, int Left, int Top)
{
    auto* button = new QPushButton(Parent);
    button->setGeometry(Left, Top, TProgressForm::ButtonWidth, TProgressForm::ButtonHeight);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TProgressForm::TProgressForm(const TProgressFormOptions& Options)
{
    setAttribute(Qt::WA_DeleteOnClose);
    FPaintDelay.setSingleShot(true);
    connect(&FPaintDelay, &QTimer::timeout, this, &TProgressForm::PaintPending);
    Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint;
    if (Options.StayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    if (!Options.ShowCloseBtn)
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    setWindowFlags(flags);

    const int timeLinesRoom = (Options.ShowTime ? 20 : 0) + (Options.ShowElapsedTime ? 20 : 0);
    // Where the lines below the file line start.
    const int linesTop = Options.ShowFileName ? 80 : 60;
    const int buttonRow = (Options.ShowFileName ? 140 : 120) + timeLinesRoom;
    // The window is the caption, the time lines and 188 pixels high; the window manager draws
    // the caption and the frame, so the client area is what remains.
    const int clientHeight = timeLinesRoom + 188 - (Options.ShowCancel ? 0 : 20);
    setFixedSize(FormWidth, clientHeight);

    Anim = new TTransferAnimation(this);
    Anim->move(10, 0);

    Progress = new QProgressBar(this);
    Progress->setGeometry(10, 60, FormWidth - 20, 12);
    Progress->setRange(0, 100);
    Progress->setValue(0);
    Progress->setTextVisible(false);

    FileLbl = new TPathLabel(this);
    PlaceLine(FileLbl, 80, Options.ShowFileName);
    SizeLbl = new QLabel(this);
    PlaceLine(SizeLbl, linesTop + 20, true);
    RateLbl = new QLabel(this);
    PlaceLine(RateLbl, linesTop + 40, true);
    TimeLbl = new QLabel(this);
    PlaceLine(TimeLbl, linesTop + 60, Options.ShowTime);
    ElapsedTimeLbl = new QLabel(this);
    PlaceLine(ElapsedTimeLbl, linesTop + 80, Options.ShowElapsedTime);
    // Names by which a test or an accessibility tool finds each part.
    Anim->setObjectName(QStringLiteral("Anim"));
    Progress->setObjectName(QStringLiteral("Progress"));
    FileLbl->setObjectName(QStringLiteral("FileLbl"));
    SizeLbl->setObjectName(QStringLiteral("SizeLbl"));
    RateLbl->setObjectName(QStringLiteral("RateLbl"));
    TimeLbl->setObjectName(QStringLiteral("TimeLbl"));
    ElapsedTimeLbl->setObjectName(QStringLiteral("ElapsedTimeLbl"));

    const int rightButton = FormWidth - ButtonWidth - 10;
    const int nextLeft = FormWidth - 2 * ButtonWidth - 20;
    CancelBtn = MakeButton(this, rightButton, buttonRow);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setVisible(Options.ShowCancel);
    if (Options.ShowOpenFolder) {
        BtnShowFolder = MakeButton(this, nextLeft, buttonRow);
        BtnShowFolder->setObjectName(QStringLiteral("BtnShowFolder"));
        BtnShowFolder->setEnabled(false);
    }
    if (Options.ShowOpenFile) {
        BtnShowFile = MakeButton(this, BtnShowFolder ? nextLeft - ButtonWidth - 10 : nextLeft, buttonRow);
        BtnShowFile->setObjectName(QStringLiteral("BtnShowFile"));
        BtnShowFile->setEnabled(false);
    }

    // Centred on the screen, frame and caption included.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int outerHeight = SystemCaptionHeight() + clientHeight;
        move(area.center().x() - FormWidth / 2, area.center().y() - outerHeight / 2);
    }
}

// Escape does what the Cancel button does (Close, once the run is over), as in a dialog box.
void TProgressForm::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier && ClickCancel())
        return;
    QWidget::keyPressEvent(Event);
}

bool TProgressForm::ClickCancel()
{
    if (CancelBtn->isHidden() || !CancelBtn->isEnabled())
        return false;
    CancelBtn->click();
    return true;
}

bool TProgressForm::event(QEvent* Event)
{
    if (Event->type() == QEvent::UpdateRequest) {
        // A request while one waits for its frame is taken in by it.
        if (FPaintDelay.isActive())
            return true;
        const qint64 since = FLastPaint.isValid() ? FLastPaint.elapsed() : PaintIntervalMs;
        if (since < PaintIntervalMs) {
            FPaintDelay.start(static_cast<int>(PaintIntervalMs - since));
            return true;
        }
        FLastPaint.start();
    }
    return QWidget::event(Event);
}

void TProgressForm::PaintPending()
{
    FLastPaint.start();
    QEvent request(QEvent::UpdateRequest);
    QWidget::event(&request);
}

void TProgressForm::closeEvent(QCloseEvent* Event)
{
    // The window system's close request (Alt+F4) is the user's Escape: the button does what it
    // does, with its events, and then the window goes if it may (the button's own close is
    // not taken while this one is under way).
    if (Event->spontaneous())
        ClickCancel();
    if (OnCloseQuery && !OnCloseQuery()) {
        Event->ignore();
        return;
    }
    Event->accept();
    if (OnClose)
        OnClose();
}
