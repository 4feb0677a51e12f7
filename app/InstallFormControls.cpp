// The main window's controls with their positions, texts and looks.
#include "app/InstallForm.h"

#include "app/ButtonPictures.h"
#include "app/InstallFormLayout.h"
#include "app/InstallerRows.h"
#include "app/Label.h"
#include "app/Memo.h"
#include "app/SetupFiles.h"
#include "controls/GlowButton.h"
#include "controls/GradientPanel.h"
#include "controls/OfficeRadioGroup.h"
#include "transfer/WebTransfer.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <QStyledItemDelegate>

#include <map>
#include <memory>

namespace {

using namespace InstallFormLayout;

// CancelBtn keeps its design distance to the right edge of BackPanel.
constexpr int CancelBtnRightGap = DesignWidth - (CancelBtnRect.left() + CancelBtnRect.width());

// Pixel heights of Tahoma at 8, 9 and 10 points on a 96-dpi screen.
constexpr int Points8 = 11;
constexpr int Points9 = 12;
constexpr int Points10 = 13;

QFont Tahoma(int PixelSize, bool Bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(PixelSize);
    font.setBold(Bold);
    return font;
}

TLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Text, const QFont& Font)
{
    auto* label = new TLabel(Text, Parent);
    label->setObjectName(QString::fromLatin1(Name));
    label->setFont(Font);
    return label;
}

QLabel* AddLabel(QWidget* Parent, const char* Name, int Left, int Top, const QString& Text, const QFont& Font)
{
    TLabel* label = NewLabel(Parent, Name, Text, Font);
    label->move(Left, Top);
    label->adjustSize();
    return label;
}

// Sized from its width, so the text is laid out only for that width.
QLabel* AddWrappedLabel(QWidget* Parent, const char* Name, QRect Geometry, const QString& Text, bool FixedHeight)
{
    TLabel* label = NewLabel(Parent, Name, Text, Tahoma(Points9));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (FixedHeight)
        label->setGeometry(Geometry);
    else
        label->setGeometry(Geometry.left(), Geometry.top(), Geometry.width(), label->heightForWidth(Geometry.width()));
    return label;
}

QWidget* AddLine(QWidget* Parent, const char* Name, int Top)
{
    auto* line = new QWidget(Parent);
    line->setObjectName(QString::fromLatin1(Name));
    line->setGeometry(0, Top, SeparatorWidth, 1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Qt::black);
    line->setPalette(palette);
    return line;
}

TGlowButton* AddButton(QWidget* Parent, const char* Name, QRect Geometry, const QString& Caption, int Tag,
                       const TButtonPicture::TDrawing& Picture, const QFont& Font)
{
    auto* button = new TGlowButton(Parent);
    button->setObjectName(QString::fromLatin1(Name));
    button->setGeometry(Geometry);
    button->SetCaption(Caption);
    button->setFont(Font);
    button->setProperty("Tag", Tag);
    button->Picture()->LoadFromDrawing(Picture);
    // Reached with Tab; a mouse click leaves the focus where it was, so the focus frame shows
    // only for the keyboard's user.
    button->SetTabStop(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

TOfficeRadioGroup* AddRadioGroup(QWidget* Parent, const char* Name, QRect Geometry, const QString& Caption,
                                 const QStringList& Items, int Columns, int Selected)
{
    auto* group = new TOfficeRadioGroup(Parent);
    group->setObjectName(QString::fromLatin1(Name));
    group->setGeometry(Geometry);
    group->setFont(Tahoma(Points8));
    group->SetCaption(Caption);
    group->SetColumns(Columns);
    group->SetItems(Items);
    group->SetItemIndex(Selected);
    group->SetTransparent(true);
    group->setFocusPolicy(Qt::NoFocus);
    group->SetTabStop(true); // Tab lands on the selected item
    return group;
}

// The file list's entries are 13 pixels apart, a line of the 8-point font, as the system's
// list box sets them. (A style sheet would say the same, but sets up a style engine that takes
// a millisecond of the window's start.)
class TFileBoxLines : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        return {QStyledItemDelegate::sizeHint(Option, Index).width(), 13};
    }
};

// A picture shown on several buttons is drawn once for each pixel ratio.
TButtonPicture::TDrawing DrawnOnce(TButtonPicture::TDrawing Drawing)
{
    auto drawn = std::make_shared<std::map<qreal, QByteArray>>();
    return [Drawing = std::move(Drawing), drawn](qreal Ratio) {
        auto found = drawn->find(Ratio);
        if (found == drawn->end())
            found = drawn->emplace(Ratio, Drawing(Ratio)).first;
        return found->second;
    };
}

} // namespace

QFont TInstallForm::WindowFont()
{
    return Tahoma(Points8);
}

void TInstallForm::BuildControls()
{
    setObjectName(QStringLiteral("InstallForm"));
    setWindowTitle(QStringLiteral("KAPLIX install assistant - 1.13"));
    setFont(WindowFont());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(clBtnFace));
    palette.setColor(QPalette::WindowText, ToQColor(clWindowText));
    setPalette(palette);
    resize(DesignWidth, DesignHeight);

    // The controls keep the design's places on a content widget of at least the design's
    // size: a window made smaller than that (a small screen, a large scale) scrolls it instead
    // of laying controls over each other. At the design's size or larger nothing scrolls.
    FScroller = new QScrollArea(this);
    FScroller->setObjectName(QStringLiteral("Scroller"));
    FScroller->setFrameShape(QFrame::NoFrame);
    FScroller->setFocusPolicy(Qt::NoFocus);
    FScroller->setWidgetResizable(true);
    FScroller->setAccessibleName(windowTitle());
    FContent = new QWidget;
    FContent->setObjectName(QStringLiteral("Content"));
    FContent->setMinimumSize(DesignWidth, DesignHeight);
    FContent->installEventFilter(this);
    FScroller->setWidget(FContent);
    FScroller->setGeometry(rect());

    BackPanel = new TGradientPanel(FContent);
    BackPanel->setObjectName(QStringLiteral("BackPanel"));
    BackPanel->SetColor(clWhite);
    BackPanel->SetColorTo(RGBColor(235, 235, 235));
    BackPanel->SetBuffered(true);
    BackPanel->Caption().SetVisible(false);

    BottomPanel = new TGradientPanel(FContent);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));

    QWidget* back = BackPanel;
    Label6 = AddLabel(back, "Label6", 192, 15, QStringLiteral("KAPLIX install assistant"), Tahoma(19, true));
    Label6->resize(233, 23);
    Label6->setAutoFillBackground(true);
    QPalette title = Label6->palette();
    title.setColor(QPalette::Window, Qt::white);
    title.setColor(QPalette::WindowText, QColor(63, 63, 63));
    Label6->setPalette(title);
    Shape6 = AddLine(back, "Shape6", 141);
    Label5 = AddWrappedLabel(back, "Label5", QRect(25, 205, 558, 19),
                             QStringLiteral("The following installations all install the same program, but use "
                                            "different installers."),
                             true);

    const QFont rowFont = Tahoma(Points8, true);
    const QFont buttonFont = Tahoma(Points9, true);
    const TButtonPicture::TDrawing install = DrawnOnce(&InstallPicture);
    const TButtonPicture::TDrawing download = DrawnOnce(&DownloadPicture);
    for (const TInstallerRow& row : InstallerRows) {
        this->*row.TitleLabel.Field =
            AddLabel(back, row.TitleLabel.Name, RowTitleLeft, row.Top.Title, QString::fromLatin1(row.Setup->Title), rowFont);
        this->*row.StatusLabel.Field =
            AddLabel(back, row.StatusLabel.Name, RowStatusLeft, row.Top.Status, QStringLiteral("--"), font());
        this->*row.Line.Field = AddLine(back, row.Line.Name, row.Top.Line);
        this->*row.Download.Field = AddButton(back, row.Download.Name, DownloadButtonRect(row), QStringLiteral("Download"),
                                              row.Setup->DownloadTag, download, buttonFont);
        this->*row.Install.Field = AddButton(back, row.Install.Name, InstallButtonRect(row),
                                             QString::fromLatin1(row.Setup->InstallCaption), row.Setup->InstallTag, install, buttonFont);
        if (row.Recommended.Field) {
            QLabel* recommended = AddLabel(back, row.Recommended.Name, RowStatusLeft, row.Top.Recommended,
                                           QStringLiteral("Recommended"), rowFont);
            recommended->hide();
            this->*row.Recommended.Field = recommended;
        }
    }

    Label27 = AddLabel(back, "Label27", 592, 237, QStringLiteral("Upgrade "), rowFont);
    Label7 = AddWrappedLabel(back, "Label7", QRect(592, 254, 353, 0),
                             QStringLiteral("The first option (Upgrade) searches your computer for previous "
                                            "installations, which may be a time-consuming process (several "
                                            "minutes if you have a large hard drive)."),
                             false);
    Label8 = AddWrappedLabel(back, "Label8", QRect(592, 313, 370, 42),
                             QStringLiteral("The 64-bit install can only be used with 64-bit windows, but installs "
                                            "the same program."),
                             true);
    Label9 = AddWrappedLabel(back, "Label9", QRect(592, 361, 369, 0),
                             QStringLiteral("Install with databases enables you to retrieve protein sequences "
                                            "without access to the Internet based on either accession number of "
                                            "protein name. The databases will be installed in both native and "
                                            "FastA format."),
                             false);
    Label10 = AddWrappedLabel(back, "Label10", QRect(592, 433, 370, 81),
                              QStringLiteral("Note that the databases can be easily downloaded and indexed using "
                                             "the included download utility \"SeqFetch\", accessed from the "
                                             "\"Utilities\" menu. This will ensure that you have the latest version "
                                             "of the various databases."),
                              true);

    InstallToGrp = AddRadioGroup(back, "InstallToGrp", QRect(19, 522, 185, 56), QStringLiteral("Download files to"),
                                 {QStringLiteral("Current directory"), QStringLiteral("System temporary directory")},
                                 1, 0);
    VersionRadio = AddRadioGroup(back, "VersionRadio", QRect(453, 497, 190, 96),
                                 QStringLiteral("Select version to install"),
                                 VersionCaptions(), 3, 8);

    CancelBtn = AddButton(back, "CancelBtn", CancelBtnRect, QStringLiteral("Done"), 0, &DonePicture,
                          Tahoma(Points10));
    CancelBtn->SetHint(QStringLiteral("Cancel installation"));
    CancelBtn->SetShowHint(true);
    // The hint's words would tell a screen reader user that an installation is under way.
    CancelBtn->setAccessibleDescription(QStringLiteral("Closes the install assistant"));
    Label16 = AddLabel(back, "Label16", 25, 594, QStringLiteral("Install information:"), rowFont);

    for (const TInstallerRow& row : InstallerRows) {
        TGlowButton* download = row.Download.In(*this);
        TGlowButton* install = row.Install.In(*this);
        download->SetHint(QStringLiteral("Download from KAPLIX web site"));
        // The row is known here: nothing needs to read it back from the button.
        download->OnClick = [this, setup = row.Setup](QObject*) { DownloadRow(setup); };
        install->OnClick = [this, setup = row.Setup](QObject*) { InstallRow(setup); };
        // Four buttons say "Download" and three "Install": a screen reader names each with its
        // row as well, as the eye takes the row from the title beside it.
        const QString title = QString::fromLatin1(row.Setup->Title);
        download->setAccessibleName(download->Caption() + QStringLiteral(", ") + title);
        install->setAccessibleName(install->Caption() + QStringLiteral(", ") + title);
    }
    CancelBtn->OnClick = [this](QObject* Sender) { CancelBtnClick(Sender); };

    Memo = new TMemo(BottomPanel);
    Memo->setObjectName(QStringLiteral("Memo"));
    // The label above it says what it holds; screen readers do not see that label as its name.
    Memo->setAccessibleName(QStringLiteral("Install information"));
    Memo->setFont(Tahoma(Points9));
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setPlainText(QStringLiteral("Memo"));

    FileBox = new QListWidget(BottomPanel);
    FileBox->setObjectName(QStringLiteral("FileBox"));
    FileBox->setFrameShape(QFrame::NoFrame);
    FileBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FileBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FileBox->setUniformItemSizes(true);
    FileBox->setItemDelegate(new TFileBoxLines(FileBox));
    FileBox->setEnabled(false);
    FileBox->setFocusPolicy(Qt::NoFocus);
    // A disabled list box keeps its window-colour background and draws its entries in the
    // system's grey-text colour; the style's own disabled colours would fade them out.
    QPalette listColours = FileBox->palette();
    listColours.setColor(QPalette::Disabled, QPalette::Base, ToQColor(clWindow));
    listColours.setColor(QPalette::Disabled, QPalette::Text, ToQColor(clGrayText));
    FileBox->setPalette(listColours);

    SetTabOrder();
    // The window opens with the log focused, as a window whose only tab stop it is would: the
    // first Tab goes to the first Download button.
    Memo->setFocus();
}

// Tab and Shift+Tab visit the controls in reading order: each row's Download and Install
// buttons, the directory group, the version group, Done and the log.
void TInstallForm::SetTabOrder()
{
    QList<QWidget*> order;
    for (const TInstallerRow& row : InstallerRows)
        order << row.Download.In(*this) << row.Install.In(*this);
    for (TOfficeRadioGroup* group : {InstallToGrp, VersionRadio})
        for (int i = 0; i < group->Count(); ++i)
            order << group->RadioButtons(i);
    order << CancelBtn << Memo;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TInstallForm::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    FScroller->setGeometry(rect());
}

void TInstallForm::LayoutContent(const QSize& Size)
{
    const int width = Size.width();
    const int height = Size.height();
    BackPanel->setGeometry(0, 0, width, BackPanelHeight);
    BottomPanel->setGeometry(0, BackPanelHeight, width, qMax(0, height - BackPanelHeight));
    CancelBtn->move(width - CancelBtnRightGap - CancelBtn->width(), CancelBtn->y());

    const QRect inside = BottomPanel->contentsRect();
    const int boxWidth = qMin(FileBoxWidth, inside.width());
    FileBox->setGeometry(inside.right() + 1 - boxWidth, inside.top(), boxWidth, inside.height());
    Memo->setGeometry(inside.left(), inside.top(), inside.width() - boxWidth, inside.height());
}
