#include "controls/OfficeRadioGroup.h"

#include <QFocusEvent>
#include <QFontMetrics>

TCustomOfficeRadioGroup::TCustomOfficeRadioGroup(QWidget* Parent)
    : TFrameGroupBox(Parent)
{
}

TCustomOfficeRadioGroup::~TCustomOfficeRadioGroup()
{
    FDestroying = true;
    const QList<TOfficeGroupButton*> buttons = FButtons;
    FButtons.clear();
    qDeleteAll(buttons);
}

std::uint32_t TCustomOfficeRadioGroup::GetVersionNr() const { return PackVersion(1, 5, 0, 9); }

void TCustomOfficeRadioGroup::SetItems(const QStringList& Value)
{
    FItems = Value;
    if (FReading)
        return;
    if (FItemIndex >= FItems.size())
        FItemIndex = int(FItems.size()) - 1;
    RefreshButtons();
}

void TCustomOfficeRadioGroup::AddItem(const QString& Value)
{
    QStringList items = FItems;
    items.append(Value);
    SetItems(items);
}

void TCustomOfficeRadioGroup::SetItemIndex(int Value)
{
    if (FReading) {
        FItemIndex = Value;
        return;
    }
    if (Value < -1)
        Value = -1;
    if (Value >= FButtons.size())
        Value = int(FButtons.size()) - 1;
    if (Value == FItemIndex)
        return;
    const auto mark = [](TOfficeGroupButton* Button, bool Checked) {
        Button->SetClicksDisabled(true);
        Button->SetChecked(Checked);
        Button->SetClicksDisabled(false);
    };
    if (FItemIndex >= 0 && FItemIndex < FButtons.size())
        mark(FButtons[FItemIndex], false);
    FItemIndex = Value;
    if (FItemIndex >= 0)
        mark(FButtons[FItemIndex], true);
    UpdateItemTabStops();
}

void TCustomOfficeRadioGroup::SetTabStop(bool Value)
{
    if (!AssignIfChanged(FTabStop, Value))
        return;
    if (FTabStop) {
        UpdateItemTabStops();
        return;
    }
    for (TOfficeGroupButton* button : std::as_const(FButtons))
        button->SetTabStop(false);
}

// Only one item of a tab-stop group is a tab stop, so Tab passes the group in one step.
void TCustomOfficeRadioGroup::UpdateItemTabStops()
{
    if (!FTabStop)
        return;
    TOfficeGroupButton* stop = GetRadioButton(FItemIndex);
    for (qsizetype i = 0; (!stop || !stop->isEnabled()) && i < FButtons.size(); ++i)
        stop = FButtons[i];
    for (TOfficeGroupButton* button : std::as_const(FButtons))
        button->SetTabStop(button == stop);
}

void TCustomOfficeRadioGroup::SetColumns(int Value)
{
    Value = qBound(1, Value, 16);
    if (!AssignIfChanged(FColumns, Value))
        return;
    LayoutButtons();
    update();
}

TOfficeGroupButton* TCustomOfficeRadioGroup::GetRadioButton(int Index) const
{
    return Index >= 0 && Index < FButtons.size() ? FButtons[Index] : nullptr;
}

int TCustomOfficeRadioGroup::XYToItem(int X, int Y) const
{
    for (qsizetype i = 0; i < FButtons.size(); ++i)
        if (FButtons[i]->geometry().contains(X, Y))
            return int(i);
    return -1;
}

void TCustomOfficeRadioGroup::PushKey(QChar& Key)
{
    Raise(OnKeyPress, this, Key);
}

void TCustomOfficeRadioGroup::PushKeyDown(int& Key, Qt::KeyboardModifiers Shift)
{
    Raise(OnKeyDown, this, Key, Shift);
}

void TCustomOfficeRadioGroup::Update()
{
    update();
    LayoutButtons();
}

void TCustomOfficeRadioGroup::BeginLoad() { FReading = true; }

void TCustomOfficeRadioGroup::EndLoad()
{
    FReading = false;
    if (FItemIndex >= FItems.size())
        FItemIndex = int(FItems.size()) - 1;
    if (FItemIndex < -1)
        FItemIndex = -1;
    RefreshButtons();
}

void TCustomOfficeRadioGroup::RefreshButtons()
{
    while (FButtons.size() < FItems.size())
        TOfficeGroupButton::InternalCreate(this);
    while (FButtons.size() > FItems.size())
        delete FButtons.last(); // the button takes itself out of the list
    for (qsizetype i = 0; i < FButtons.size(); ++i)
        FButtons[i]->SetCaption(FItems[i]);
    if (FItemIndex >= 0 && FItemIndex < FButtons.size()) {
        FUpdating = true;
        FButtons[FItemIndex]->SetChecked(true);
        FUpdating = false;
    }
    LayoutButtons();
    UpdateItemTabStops();
    update();
}

void TCustomOfficeRadioGroup::RemoveButton(TOfficeGroupButton* Button)
{
    FButtons.removeOne(Button);
}

void TCustomOfficeRadioGroup::LayoutButtons()
{
    if (FReading || FDestroying || FButtons.isEmpty())
        return;
    const int n = int(FButtons.size());
    const int c = FColumns;
    const int t = QFontMetrics(font()).height();
    const int rows = (n + c - 1) / c;
    const int bw = (width() - 10) / c;
    const int usable = height() - t - 5;
    const int bh = usable / rows;
    int y0 = t + 1 + (usable % rows) / 2;
    if (Caption().isEmpty())
        y0 -= t / 2;
    const int indent = c == 1 ? FControlIndent : 0;
    for (int i = 0; i < n; ++i) {
        TOfficeGroupButton* button = FButtons[i];
        button->setLayoutDirection(layoutDirection());
        button->SetAlignment(FAlignment);
        button->SetButtonVertAlign(FBtnVAlign);
        button->SetEllipsis(FEllipsis);
        button->SetShadowOffset(FShadowOffset);
        button->SetShadowColor(FShadowColor);
        button->SetShowFocus(FShowFocus);
        button->SetDisabledFontColor(DisabledFontColor());
        button->SetThemed(FThemed);
        button->SetDrawBkg(false);
        bool enabled = isEnabled();
        Raise(OnIsEnabled, this, i, enabled);
        button->setEnabled(enabled);
        int left = (i / rows) * bw + indent + 8;
        if (layoutDirection() == Qt::RightToLeft)
            left = width() - left - bw;
        button->setGeometry(left, (i % rows) * bh + y0, qMax(0, bw), qMax(0, bh));
    }
    UpdateItemTabStops(); // the items' enabled states may have changed
}

void TCustomOfficeRadioGroup::ChildrenChanged() { LayoutButtons(); }

void TCustomOfficeRadioGroup::resizeEvent(QResizeEvent* Event)
{
    TFrameGroupBox::resizeEvent(Event);
    LayoutButtons();
}

void TCustomOfficeRadioGroup::changeEvent(QEvent* Event)
{
    TFrameGroupBox::changeEvent(Event);
    if (Event->type() == QEvent::FontChange || Event->type() == QEvent::LayoutDirectionChange)
        LayoutButtons();
    if (Event->type() == QEvent::EnabledChange) {
        if (CheckBox().Visible() && !CheckBox().Checked())
            return;
        for (TOfficeGroupButton* button : FButtons) {
            button->SetDisabledFontColor(DisabledFontColor());
            button->setEnabled(isEnabled());
        }
        UpdateItemTabStops();
    }
}

void TCustomOfficeRadioGroup::focusInEvent(QFocusEvent* Event)
{
    TFrameGroupBox::focusInEvent(Event);
    if (TOfficeGroupButton* button = GetRadioButton(FFocusButtonIdx))
        button->setFocus(Event->reason());
}

void TCustomOfficeRadioGroup::ItemClicked(QObject* Sender)
{
    if (FUpdating || !AllowsChange())
        return;
    auto* button = dynamic_cast<TOfficeGroupButton*>(Sender);
    const int index = button ? int(FButtons.indexOf(button)) : -1;
    if (index < 0 || index == FItemIndex)
        return;
    SetItemIndex(index);
    Raise(OnChange, this);
    Raise(OnClick, this);
}

void TCustomOfficeRadioGroup::ButtonFocused(TCustomOfficeRadioButton* Button)
{
    auto* item = dynamic_cast<TOfficeGroupButton*>(Button);
    const qsizetype index = item ? FButtons.indexOf(item) : -1;
    if (index >= 0)
        FFocusButtonIdx = int(index);
}

void TCustomOfficeRadioGroup::ButtonDoubleClicked()
{
    Raise(OnDblClick, this);
}

void TCustomOfficeRadioGroup::DoRadioButtonClick()
{
    Raise(OnRadioButtonClick, this);
}
