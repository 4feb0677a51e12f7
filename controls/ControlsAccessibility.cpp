#include "controls/ControlsAccessibility.h"

#include "controls/CaptionRenderer.h"
#include "controls/FrameGroupBox.h"
#include "controls/GlowButton.h"
#include "controls/GradientPanel.h"
#include "controls/OfficeButtons.h"
#include "controls/OfficeCheckBox.h"
#include "controls/OfficeRadioGroup.h"

#include <QAccessibleWidget>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>

namespace {

// An entity as a screen reader should hear it: a non-breaking space is a space.
QString DecodedEntity(const QString& Name)
{
    QString text = CaptionEntity(Name);
    text.replace(QChar(0x00A0), u' ');
    return text;
}

// What a control's user asks for through assistive technology happens once the request has been
// answered: a click may run a whole download, and the reader must not wait for it (Qt's own
// buttons defer their press the same way).
template <typename Control, typename Action>
void Later(Control* Widget, Action&& Do)
{
    QTimer::singleShot(0, Widget, [Widget, Do = std::forward<Action>(Do)] { Do(Widget); });
}

QString OwnOr(const QString& Own, const QString& Caption)
{
    return Own.isEmpty() ? AccessibleText(Caption) : Own;
}

} // namespace

// The interfaces are friends of their controls, which keep their run-time states private.

class TGlowButtonAccessible : public QAccessibleWidget {
public:
    explicit TGlowButtonAccessible(TCustomGlowButton* Button)
        : QAccessibleWidget(Button, QAccessible::Button)
    {
    }

    TCustomGlowButton* Button() const { return static_cast<TCustomGlowButton*>(widget()); }

    QAccessible::Role role() const override
    {
        return Button()->FStyle == bsCheck ? QAccessible::CheckBox : QAccessible::Button;
    }

    QString text(QAccessible::Text Kind) const override
    {
        switch (Kind) {
        case QAccessible::Name:
            return OwnOr(Button()->accessibleName(), Button()->Caption());
        case QAccessible::Description:
            return OwnOr(Button()->accessibleDescription(), Button()->Hint());
        case QAccessible::Accelerator:
            return QKeySequence::mnemonic(Button()->Caption()).toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(Kind);
        }
    }

    QAccessible::State state() const override
    {
        const TCustomGlowButton* button = Button();
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button->FDown;
        state.checkable = button->FStyle == bsCheck || button->FGroupIndex != 0;
        state.checked = state.checkable && button->FDownChecked;
        state.hotTracked = button->FHot;
        state.defaultButton = button->FDefault;
        state.hasPopup = button->IsDropDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (Button()->isEnabled())
            names << (Button()->FStyle == bsCheck ? toggleAction() : pressAction());
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& Name) override
    {
        if (!Button()->isEnabled())
            return;
        if (Name == pressAction() || Name == toggleAction())
            Later(Button(), [](TCustomGlowButton* Button) { Button->ClickOrDropDown(); });
        else
            QAccessibleWidget::doAction(Name);
    }

    QStringList keyBindingsForAction(const QString& Name) const override
    {
        const QString key = text(QAccessible::Accelerator);
        if (Name == pressAction() || Name == toggleAction())
            return key.isEmpty() ? QStringList() : QStringList{key};
        return QAccessibleWidget::keyBindingsForAction(Name);
    }
};

// What the office radio button and check box share: the caption as name, the pointer and press
// states, and a toggle action that does what the Space key does.
class TOfficeCaptionButtonAccessible : public QAccessibleWidget {
public:
    TOfficeCaptionButtonAccessible(TOfficeCaptionButton* Button, QAccessible::Role Role)
        : QAccessibleWidget(Button, Role)
    {
    }

    TOfficeCaptionButton* Button() const { return static_cast<TOfficeCaptionButton*>(widget()); }

    QString text(QAccessible::Text Kind) const override
    {
        if (Kind == QAccessible::Name)
            return OwnOr(Button()->accessibleName(), Button()->Caption());
        if (Kind == QAccessible::Accelerator) {
            const QChar key = CaptionAccelerator(Button()->Caption());
            return key.isNull() ? QString() : QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.toUpper().unicode()))).toString(QKeySequence::NativeText);
        }
        return QAccessibleWidget::text(Kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.pressed = Button()->Down();
        state.hotTracked = Button()->Hot();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (Button()->isEnabled() && MayChange())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& Name) override
    {
        if (Name != toggleAction()) {
            QAccessibleWidget::doAction(Name);
            return;
        }
        if (Button()->isEnabled() && MayChange())
            Later(Button(), [](TOfficeCaptionButton* Button) { Button->ClickedBySpace(); });
    }

    QStringList keyBindingsForAction(const QString& Name) const override
    {
        const QString key = text(QAccessible::Accelerator);
        if (Name == toggleAction())
            return key.isEmpty() ? QStringList() : QStringList{key};
        return QAccessibleWidget::keyBindingsForAction(Name);
    }

protected:
    virtual bool MayChange() const { return true; }
};

class TOfficeRadioButtonAccessible : public TOfficeCaptionButtonAccessible {
public:
    explicit TOfficeRadioButtonAccessible(TCustomOfficeRadioButton* Button)
        : TOfficeCaptionButtonAccessible(Button, QAccessible::RadioButton)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = TOfficeCaptionButtonAccessible::state();
        state.checked = static_cast<TCustomOfficeRadioButton*>(Button())->Checked();
        return state;
    }

protected:
    // A group that refuses changes keeps the Space key from selecting; so does the action.
    bool MayChange() const override
    {
        const auto* group = dynamic_cast<const TCustomOfficeRadioGroup*>(Button()->parentWidget());
        return !group || group->AllowsChange();
    }
};

class TOfficeCheckBoxAccessible : public TOfficeCaptionButtonAccessible {
public:
    explicit TOfficeCheckBoxAccessible(TCustomOfficeCheckBox* Box)
        : TOfficeCaptionButtonAccessible(Box, QAccessible::CheckBox)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = TOfficeCaptionButtonAccessible::state();
        const TCheckBoxState check = static_cast<TCustomOfficeCheckBox*>(Button())->GetState();
        state.checked = check == cbChecked;
        state.checkStateMixed = check == cbGrayed;
        state.readOnly = static_cast<TCustomOfficeCheckBox*>(Button())->ReadOnly();
        return state;
    }
};

// A framed group (an office radio group among them): a grouping named by its caption. The
// caption's check box, when shown, makes the grouping checkable.
class TFrameGroupBoxAccessible : public QAccessibleWidget {
public:
    explicit TFrameGroupBoxAccessible(TCustomFrameGroupBox* Group)
        : QAccessibleWidget(Group, QAccessible::Grouping)
    {
    }

    TCustomFrameGroupBox* Group() const { return static_cast<TCustomFrameGroupBox*>(widget()); }

    QString text(QAccessible::Text Kind) const override
    {
        if (Kind == QAccessible::Name)
            return OwnOr(Group()->accessibleName(), Group()->Caption());
        return QAccessibleWidget::text(Kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (Group()->CheckBox().Visible()) {
            state.checkable = true;
            state.checked = Group()->CheckBox().State() == cbChecked;
            state.checkStateMixed = Group()->CheckBox().State() == cbGrayed;
        }
        return state;
    }
};

class TGradientPanelAccessible : public QAccessibleWidget {
public:
    explicit TGradientPanelAccessible(TCustomGradientPanel* Panel)
        : QAccessibleWidget(Panel, QAccessible::Pane)
    {
    }

    QString text(QAccessible::Text Kind) const override
    {
        auto* panel = static_cast<TCustomGradientPanel*>(widget());
        if (Kind == QAccessible::Name)
            return OwnOr(panel->accessibleName(), panel->Caption().Text());
        return QAccessibleWidget::text(Kind);
    }
};

namespace {

QAccessibleInterface* ControlsFactory(const QString&, QObject* Object)
{
    if (!Object || !Object->isWidgetType())
        return nullptr;
    if (auto* button = qobject_cast<TCustomGlowButton*>(Object))
        return new TGlowButtonAccessible(button);
    if (auto* radio = dynamic_cast<TCustomOfficeRadioButton*>(Object))
        return new TOfficeRadioButtonAccessible(radio);
    if (auto* box = dynamic_cast<TCustomOfficeCheckBox*>(Object))
        return new TOfficeCheckBoxAccessible(box);
    if (auto* group = dynamic_cast<TCustomFrameGroupBox*>(Object))
        return new TFrameGroupBoxAccessible(group);
    if (auto* panel = dynamic_cast<TCustomGradientPanel*>(Object))
        return new TGradientPanelAccessible(panel);
    return nullptr;
}

} // namespace

void InstallControlsAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(ControlsFactory);
}

QString AccessibleText(const QString& Caption)
{
    QString text;
    text.reserve(Caption.size());
    for (qsizetype i = 0; i < Caption.size(); ++i) {
        const QChar c = Caption[i];
        if (c == u'<') {
            const qsizetype end = Caption.indexOf(u'>', i);
            if (end < 0) {
                text += Caption.mid(i);
                break;
            }
            const QString tag = Caption.mid(i + 1, end - i - 1).trimmed().toUpper();
            if (tag.startsWith(QLatin1String("BR")) || tag.startsWith(QLatin1String("HR")))
                text += u' ';
            i = end;
        } else if (c == u'&') {
            const qsizetype end = Caption.indexOf(u';', i);
            const QString entity = end > i + 1 && end - i <= 8 ? DecodedEntity(Caption.mid(i + 1, end - i - 1)) : QString();
            if (!entity.isEmpty()) {
                text += entity;
                i = end;
            } else if (i + 1 < Caption.size() && Caption[i + 1] == u'&') {
                text += u'&';
                ++i;
            }
            // else: an accelerator mark, not read
        } else if (c == u'\\' && i + 1 < Caption.size() && (Caption[i + 1] == u'n' || Caption[i + 1] == u'N')) {
            text += u' ';
            ++i;
        } else {
            text += c;
        }
    }
    return text.simplified();
}

namespace {

// Only a control on the screen is told about; a hidden one may still be under construction, and
// an interface asked for then would be made for the wrong class, and kept.
bool Shown(QObject* Control)
{
    return QAccessible::isActive() && Control->isWidgetType() && static_cast<QWidget*>(Control)->isVisible();
}

} // namespace

void RaiseAccessibleNameChanged(QObject* Control)
{
    if (!Shown(Control))
        return;
    QAccessibleEvent event(Control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void RaiseAccessibleDescriptionChanged(QObject* Control)
{
    if (!Shown(Control))
        return;
    QAccessibleEvent event(Control, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void TAccessibleStateWatch::Report(QWidget* Control)
{
    if (!Shown(Control)) {
        FKnown = false;
        return;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Control);
    if (!accessible)
        return;
    const QAccessible::State now = accessible->state();
    if (!FKnown) {
        // What a control shows as it appears is no change.
        FReported = now;
        FKnown = true;
        return;
    }
    QAccessible::State changed;
    changed.pressed = now.pressed != FReported.pressed;
    changed.checked = now.checked != FReported.checked;
    changed.checkStateMixed = now.checkStateMixed != FReported.checkStateMixed;
    changed.hotTracked = now.hotTracked != FReported.hotTracked;
    FReported = now;
    if (!(changed.pressed || changed.checked || changed.checkStateMixed || changed.hotTracked))
        return;
    QAccessibleStateChangeEvent event(Control, changed);
    QAccessible::updateAccessibility(&event);
}
