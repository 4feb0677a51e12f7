#pragma once

#include "controls/FrameGroupBox.h"
#include "controls/OfficeButtons.h"

#include <QList>
#include <QStringList>

#include <functional>

// A framed group of office radio buttons, one per item, laid out in columns; the selected item
// is ItemIndex (-1 for none).
class TCustomOfficeRadioGroup : public TFrameGroupBox {
public:
    explicit TCustomOfficeRadioGroup(QWidget* Parent = nullptr);
    ~TCustomOfficeRadioGroup() override;

    QStringList Items() const { return FItems; }
    void SetItems(const QStringList& Value);
    void AddItem(const QString& Value);
    void ClearItems() { SetItems(QStringList()); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { if (AssignIfChanged(FAlignment, Value)) LayoutButtons(); }
    TTextLayout ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TTextLayout Value) { if (AssignIfChanged(FBtnVAlign, Value)) LayoutButtons(); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { if (AssignIfChanged(FEllipsis, Value)) LayoutButtons(); }
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value) { if (AssignIfChanged(FShadowOffset, Value)) LayoutButtons(); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value) { if (AssignIfChanged(FShadowColor, Value)) LayoutButtons(); }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value) { if (AssignIfChanged(FShowFocus, Value)) LayoutButtons(); }
    bool Themed() const { return FThemed; }
    void SetThemed(bool Value) { if (AssignIfChanged(FThemed, Value)) LayoutButtons(); }
    int ControlIndent() const { return FControlIndent; }
    void SetControlIndent(int Value) { if (AssignIfChanged(FControlIndent, Value)) LayoutButtons(); }

    // A group that is a tab stop is entered with Tab on its selected item (on its first item that
    // can take the focus while none is selected); the arrow keys then move inside it.
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);

    int Count() const { return int(FButtons.size()); }
    // The item button of an index, or nullptr outside the items.
    TOfficeGroupButton* GetRadioButton(int Index) const;
    TOfficeGroupButton* RadioButtons(int Index) const { return GetRadioButton(Index); }
    // Index of the first item button containing the point (group coordinates), or -1.
    int XYToItem(int X, int Y) const;
    int FocusButtonIdx() const { return FFocusButtonIdx; }

    // Hands keys typed on an item to the group's own key events.
    void PushKey(QChar& Key);
    void PushKeyDown(int& Key, Qt::KeyboardModifiers Shift);
    // Brings the items up to date with the group's settings.
    void Update();
    // Stored settings are being applied between these two calls; ItemIndex is only kept.
    void BeginLoad();
    void EndLoad();

    std::uint32_t GetVersionNr() const override;

    virtual void LayoutButtons();
    virtual bool AllowsChange() const { return true; }
    virtual void DoRadioButtonClick();

    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender)> OnChange;
    std::function<void(QObject* Sender)> OnDblClick;
    std::function<void(QObject* Sender, int ItemIndex, bool& Enabled)> OnIsEnabled;
    std::function<void(QObject* Sender)> OnRadioButtonClick;
    std::function<void(QObject* Sender, QChar& Key)> OnKeyPress;
    std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)> OnKeyDown;

protected:
    void ChildrenChanged() override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;

private:
    friend class TCustomOfficeRadioButton;
    friend class TOfficeGroupButton;

    void ItemClicked(QObject* Sender);
    void ButtonFocused(TCustomOfficeRadioButton* Button);
    void ButtonDoubleClicked();
    void RemoveButton(TOfficeGroupButton* Button);
    void RefreshButtons();
    void UpdateItemTabStops();

    QList<TOfficeGroupButton*> FButtons;
    QStringList FItems;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FReading = false;
    bool FUpdating = false;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FBtnVAlign = tlTop;
    bool FEllipsis = false;
    int FShadowOffset = 1;
    TColor FShadowColor = RGBColor(192, 192, 192);
    bool FShowFocus = true;
    bool FThemed = false;
    int FControlIndent = 0;
    int FFocusButtonIdx = 0;
    bool FDestroying = false;
    bool FTabStop = false;
};

class TOfficeRadioGroup : public TCustomOfficeRadioGroup {
public:
    using TCustomOfficeRadioGroup::TCustomOfficeRadioGroup;
};
