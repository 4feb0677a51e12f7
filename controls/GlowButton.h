#pragma once

#include "controls/ButtonFace.h"
#include "controls/ButtonPicture.h"
#include "controls/ControlSupport.h"
#include "controls/Colors.h"
#include "controls/AccessibleEvents.h"
#include "controls/GlowButtonAppearance.h"
#include "controls/GlyphList.h"

#include <QBasicTimer>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;


enum TGlowButtonStyle { bsButton, bsCheck };
enum TFocusType { ftBorder, ftHot, ftHotBorder, ftNone };
enum TGlowButtonState { gsNormal, gsHot, gsDown };
enum TGlowState { gsHover, gsPush, gsNone };
enum TButtonSizeState { bsGlyph, bsLabel, bsLarge };
enum TDropDownDirection { ddDown, ddRight, ddUp };
enum TShortCutHintPos { shpLeft, shpTop, shpRight, shpBottom, shpCenter };
enum TImageListType { ipActionList, ipImageList };
// The state the face is drawn for: up, disabled, pressed, or exclusive (the pressed-in member of
// a group, or a check-style button that is Down).
enum TDrawState { dsUp, dsDisabled, dsDown, dsExclusive };

using TGlowButtonDrawEvent = std::function<void(QObject* Sender, QPainter* Canvas, QRect Rect, TGlowButtonState State)>;

// An owner-drawn push button with a glass-like two-part face that fades between its normal, hot
// and pressed colours.
class TCustomGlowButton : public QWidget
{
    Q_OBJECT

public:
    // Kept inside the class: the group-box frame has a border style of its own with the same
    // value names.
    enum TBorderStyle { bsNone, bsSingle };
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    // The rich tooltip's texts; the button keeps them and offers the title as an accelerator
    // source.
    struct TOfficeHint
    {
        QString Title;
        QString Notes;
        bool ShowHelp = false;
    };

    explicit TCustomGlowButton(QWidget* Parent = nullptr);
    ~TCustomGlowButton() override;

    // The fade interval shared by every glow button of the process, in milliseconds; 0 switches
    // fading off (no fade timer is ever created).
    static int FadeInterval();
    static void SetFadeInterval(int Milliseconds);

    TGlowButtonAppearance* Appearance() { return FAppearance.get(); }
    const TGlowButtonAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(const TGlowButtonAppearance& Value) { FAppearance->Assign(Value); }

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    QString WideCaption() const { return FWideCaption; }
    void SetWideCaption(const QString& Value);
    QString Hint() const { return FHint; }
    void SetHint(const QString& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value) { FParentShowHint = Value; }
    // Whether the hint is in force: the button's own setting, or its parent's when it follows the
    // parent (a parent tells through its "ShowHint" property).
    bool EffectiveShowHint() const;
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { if (AssignIfChanged(FFontColor, Value)) update(); }

    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value) { if (AssignIfChanged(FAntiAlias, Value)) update(); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value) { if (AssignIfChanged(FBorderStyle, Value)) update(); }
    bool Rounded() const { return FRounded; }
    void SetRounded(bool Value) { if (AssignIfChanged(FRounded, Value)) update(); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { if (AssignIfChanged(FSpacing, Value)) RequestResize(); }
    int MarginHorz() const { return FMarginHorz; }
    void SetMarginHorz(int Value) { if (AssignIfChanged(FMarginHorz, Value)) RequestResize(); }
    int MarginVert() const { return FMarginVert; }
    void SetMarginVert(int Value) { if (AssignIfChanged(FMarginVert, Value)) RequestResize(); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { if (AssignIfChanged(FWordWrap, Value)) RequestResize(); }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value) { if (AssignIfChanged(FShowCaption, Value)) RequestResize(); }
    bool ShowDisabled() const { return FShowDisabled; }
    void SetShowDisabled(bool Value) { if (AssignIfChanged(FShowDisabled, Value)) update(); }
    TFocusType FocusType() const { return FFocusType; }
    void SetFocusType(TFocusType Value) { if (AssignIfChanged(FFocusType, Value)) update(); }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { if (AssignIfChanged(FTransparent, Value)) update(); }
    StringTrimming Trimming() const { return FTrimming; }
    void SetTrimming(StringTrimming Value) { if (AssignIfChanged(FTrimming, Value)) update(); }
    TButtonPosition Position() const { return FPosition; }
    void SetPosition(TButtonPosition Value) { if (AssignIfChanged(FPosition, Value)) update(); }
    bool RepeatClick() const { return FRepeatClick; }
    void SetRepeatClick(bool Value) { FRepeatClick = Value; }
    int InitRepeatPause() const { return FInitRepeatPause; }
    void SetInitRepeatPause(int Value) { FInitRepeatPause = Value; }
    int RepeatPause() const { return FRepeatPause; }
    void SetRepeatPause(int Value) { FRepeatPause = Value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    QString ShortCutHint() const { return FShortCutHint; }
    void SetShortCutHint(const QString& Value) { FShortCutHint = Value; }
    TShortCutHintPos ShortCutHintPos() const { return FShortCutHintPos; }
    void SetShortCutHintPos(TShortCutHintPos Value) { FShortCutHintPos = Value; }
    bool UseAppearance() const { return FUseAppearance; }
    void SetUseAppearance(bool Value) { FUseAppearance = Value; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { if (AssignIfChanged(FImageIndex, Value)) RequestResize(); }
    TGlyphList* Images() const { return FImages; }
    void SetImages(TGlyphList* Value);
    TGlyphList* HotImages() const { return FHotImages; }
    void SetHotImages(TGlyphList* Value);
    TGlyphList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(TGlyphList* Value);
    TImageListType ImageListType() const { return FImageListType; }
    void SetImageListType(TImageListType Value) { FImageListType = Value; }

    TButtonPicture* Picture() { return &FPicture; }
    TButtonPicture* HotPicture() { return &FHotPicture; }
    TButtonPicture* DownPicture() { return &FDownPicture; }
    TButtonPicture* DisabledPicture() { return &FDisabledPicture; }
    QStringList Notes() const { return FNotes; }
    void SetNotes(const QStringList& Value);
    QFont NotesFont() const { return FNotesFont; }
    void SetNotesFont(const QFont& Value);
    TOfficeHint& OfficeHint() { return FOfficeHint; }

    QAction* Action() const { return FAction; }
    void SetAction(QAction* Value);

    int GetVersionNr() const;
    QString Version() const;

    // Presets: sets every face colour from the given tones and switches fading off.
    void SetColorTones(TColor Normal, TColor Hot, TColor Down, TColor Border);

    bool IsDropDown() const { return FDropDownButton || FDropDownMenu; }
    void DoDropDown();
    void ShowShortCutHint();
    void HideShortCutHint();

    // Presses the button by code, as a click of the user would.
    void Click();
    // What Enter on the active button, the accelerator and a screen reader's press do: a button
    // that is all menu opens it; any other toggles when check-style, then clicks.
    void ClickOrDropDown();

    // The states the button shows, for whoever reads it without drawing it.
    TGlowButtonStyle Style() const { return FStyle; }
    int GroupIndex() const { return FGroupIndex; }
    // Pressed in: the group member that is down, or the check-style button that is checked.
    bool Down() const { return FDownChecked; }
    // Held down this moment by the mouse or a key.
    bool Pressed() const { return FDown; }
    // Showing the pointer over it.
    bool Hot() const { return FHot; }

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnDropDown;
    TGlowButtonDrawEvent OnDrawButton;

    // Size the button would give itself with AutoSize on.
    QSize sizeHint() const override;

protected:
    // Toggle and drop-down properties; TGlowButton publishes them.
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool AlwaysShowAccel() const { return FAlwaysShowAccel; }
    void SetAlwaysShowAccel(bool Value) { if (AssignIfChanged(FAlwaysShowAccel, Value)) update(); }
    void SetDown(bool Value);
    void SetGroupIndex(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value) { if (AssignIfChanged(FLayout, Value)) RequestResize(); }
    void SetStyle(TGlowButtonStyle Value);
    TButtonSizeState MaxButtonSizeState() const { return FMaxButtonSizeState; }
    void SetMaxButtonSizeState(TButtonSizeState Value) { if (AssignIfChanged(FMaxButtonSizeState, Value)) RequestResize(); }
    TButtonSizeState MinButtonSizeState() const { return FMinButtonSizeState; }
    void SetMinButtonSizeState(TButtonSizeState Value) { if (AssignIfChanged(FMinButtonSizeState, Value)) RequestResize(); }
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool Value) { if (AssignIfChanged(FDropDownButton, Value)) RequestResize(); }
    TDropDownPosition DropDownPosition() const { return FDropDownPosition; }
    void SetDropDownPosition(TDropDownPosition Value) { if (AssignIfChanged(FDropDownPosition, Value)) RequestResize(); }
    TDropDownDirection DropDownDirection() const { return FDropDownDirection; }
    void SetDropDownDirection(TDropDownDirection Value) { FDropDownDirection = Value; }
    bool DropDownSplit() const { return FDropDownSplit; }
    void SetDropDownSplit(bool Value) { if (AssignIfChanged(FDropDownSplit, Value)) update(); }
    QMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu* Value);

    // Hooks a descendant may fill in.
    virtual void RepeatTimerTick();
    virtual void AfterDraw(QPainter& Canvas) { Q_UNUSED(Canvas); }
    // A descendant may put a glyph of its own (at least 2 x 2) into Bitmap, which comes in empty;
    // it is drawn instead of the picture.
    virtual void DrawCustomBitmap(QImage& Bitmap) { Q_UNUSED(Bitmap); }
    virtual void PictureChosen(const TButtonPicture* Picture) { Q_UNUSED(Picture); }
    virtual bool WholeButtonOpensMenu() const { return false; }
    virtual bool DrawBorderTest() const { return FBorderStyle == bsSingle; }
    virtual bool FocusBorderTest() const { return FHasFocus && (FFocusType == ftBorder || FFocusType == ftHotBorder); }
    virtual void SizeRequest(int& NewWidth, int& NewHeight) { Q_UNUSED(NewWidth); Q_UNUSED(NewHeight); }

    // One step of a running fade.
    void FadeTimerTick();
    bool FadeTimerExists() const { return FTimer.isActive(); }
    int StepHover() const { return FStepHover; }
    int StepPush() const { return FStepPush; }
    TDrawState DrawState() const { return FState; }

    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void timerEvent(QTimerEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    bool HandleEvent(QEvent* Event);
    void RequestResize();
    // Brings the draw state in line with the enabled flag and the check style; every handler
    // that changes the state calls it, so painting finds the state settled.
    void SettleState();
    void ShowState()
    {
        SettleState();
        update();
    }

    // The pointer's arrival and departure; Qt reports them as enter/leave events and, while the
    // mouse is held, through the moves.
    void PointerMoved(bool Inside);
    void MouseEntered();
    void MouseLeft();
    void UpdateTracking(QPoint Local);
    void StartFadeTimer(int Interval);
    void StopFadeTimer();
    void StopRepeatTimer();
    void GroupChanged();
    void GroupNotify(int Group, TCustomGlowButton* Sender);
    bool CanFocus() const;
    bool DialogKey(QKeyEvent* Key);
    bool Accelerator();
    void SetFormModalResult();
    void FocusMoved(QWidget* Now);
    void UpdateShortcuts();
    void SyncFromAction();

    // Painting.
    void Paint(QPainter& Canvas);
    TButtonFace ChooseFace() const;
    const TButtonPicture* ChoosePicture() const;
    // The off-screen image for one paint, at the device pixel ratio painted at.
    QImage& Buffer(qreal Ratio);
    void GiveCornersBack(QPainter& Canvas) const;

    std::unique_ptr<TGlowButtonAppearance> FAppearance;
    TButtonPicture FPicture, FHotPicture, FDownPicture, FDisabledPicture;
    QStringList FNotes;
    QFont FNotesFont;
    TOfficeHint FOfficeHint;
    QPointer<TGlyphList> FImages, FHotImages, FDisabledImages;
    QPointer<QMenu> FDropDownMenu;
    QPointer<QAction> FAction;
    QImage FBuffer;
    TButtonFaceCache FFaceCache;

    QString FCaption, FWideCaption, FHint;
    bool FShowHint = false, FParentShowHint = true;
    TColor FFontColor = clBlack;
    TAntiAlias FAntiAlias = aaClearType;
    TBorderStyle FBorderStyle = bsSingle;
    bool FRounded = true;
    int FSpacing = 2, FMarginHorz = 1, FMarginVert = 1;
    bool FWordWrap = true, FShowCaption = true, FShowDisabled = true;
    TButtonLayout FLayout = blGlyphLeft;
    TFocusType FFocusType = ftBorder;
    TGlowButtonStyle FStyle = bsButton;
    int FGroupIndex = 0;
    bool FAllowAllUp = false, FAlwaysShowAccel = false;
    bool FDefault = false, FCancel = false;
    int FModalResult = 0;
    bool FTransparent = false;
    StringTrimming FTrimming = StringTrimmingNone;
    int FImageIndex = -1;
    TImageListType FImageListType = ipActionList;
    TButtonPosition FPosition = bpStandalone;
    bool FRepeatClick = false;
    int FInitRepeatPause = 400, FRepeatPause = 100;
    bool FAutoSize = false;
    QString FShortCutHint;
    TShortCutHintPos FShortCutHintPos = shpTop;
    bool FUseAppearance = false, FTabStop = false;
    TButtonSizeState FMaxButtonSizeState = bsLarge, FMinButtonSizeState = bsGlyph;
    bool FDropDownButton = false, FDropDownSplit = true;
    TDropDownPosition FDropDownPosition = dpRight;
    TDropDownDirection FDropDownDirection = ddDown;

    // Run-time state: changed by the event handlers only, read by painting.
    TDrawState FState = dsUp;
    bool FDownChecked = false;     // the Down property
    bool FDown = false;            // shown pressed right now, by the mouse or a key
    bool FMouseDown = false;       // the left button went down on this button and is still held
    bool FDragging = false;        // while the press lasts, the draw state follows the pointer
    bool FLeftDown = false;        // the pointer left while the left button was held
    bool FPointerInside = false;   // where the window system last reported the pointer
    bool FHot = false;             // the button shows the pointer over it
    bool FHasFocus = false;
    bool FActive = false;          // this button answers Enter
    bool FDroppedDown = false;     // its menu is open
    bool FCheckBeforeAction = false; // Down when the press began
    bool FKeyDownHere = false;     // Space or Enter went down on this button
    bool FPainting = false;
    TGlowState FGlowState = gsNone;
    int FStepHover = 0, FStepPush = 0, FTimeInc = 20;
    QBasicTimer FTimer, FRepeatTimer;
    int FRepeatInterval = 0;
    QList<int> FShortcutIds;
    mutable QString FListedFamily; // the caption font last looked up in the font list
    mutable bool FListedOutline = false;
    TAccessibleStateWatch FAccessibleState;
    QMetaObject::Connection FFocusConnection;

    static int FFadeInterval;
};

// The glow button as forms use it, with its toggle and drop-down properties published.
class TGlowButton : public TCustomGlowButton
{
    Q_OBJECT

public:
    explicit TGlowButton(QWidget* Parent = nullptr) : TCustomGlowButton(Parent) {}

    using TCustomGlowButton::AllowAllUp;
    using TCustomGlowButton::SetAllowAllUp;
    using TCustomGlowButton::AlwaysShowAccel;
    using TCustomGlowButton::SetAlwaysShowAccel;
    using TCustomGlowButton::SetDown;
    using TCustomGlowButton::SetGroupIndex;
    using TCustomGlowButton::Layout;
    using TCustomGlowButton::SetLayout;
    using TCustomGlowButton::SetStyle;
    using TCustomGlowButton::MaxButtonSizeState;
    using TCustomGlowButton::SetMaxButtonSizeState;
    using TCustomGlowButton::MinButtonSizeState;
    using TCustomGlowButton::SetMinButtonSizeState;
    using TCustomGlowButton::DropDownButton;
    using TCustomGlowButton::SetDropDownButton;
    using TCustomGlowButton::DropDownPosition;
    using TCustomGlowButton::SetDropDownPosition;
    using TCustomGlowButton::DropDownDirection;
    using TCustomGlowButton::SetDropDownDirection;
    using TCustomGlowButton::DropDownSplit;
    using TCustomGlowButton::SetDropDownSplit;
    using TCustomGlowButton::DropDownMenu;
    using TCustomGlowButton::SetDropDownMenu;
};
