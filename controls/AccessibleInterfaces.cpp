#include "controls/AccessibleInterfaces.h"

#include "controls/CaptionRenderer.h"
#include "controls/FrameGroupBox.h"
#include "controls/GlowButton.h"
#include "controls/GradientPanel.h"
#include "controls/OfficeButtons.h"
#include "controls/OfficeCheckBox.h"
#include "controls/OfficeRadioGroup.h"

#include <QKeySequence>
#include <QTimer>

#include <utility>

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

// Glow button

TGlowButtonAccessible::TGlowButtonAccessible(TCustomGlowButton* Button)
    : QAccessibleWidget(Button, QAccessible::Button)
{
}

TCustomGlowButton* TGlowButtonAccessible::Button() const
{
    return static_cast<TCustomGlowButton*>(widget());
}

QAccessible::Role TGlowButtonAccessible::role() const
{
    return Button()->Style() == bsCheck ? QAccessible::CheckBox : QAccessible::Button;
}

QString TGlowButtonAccessible::text(QAccessible::Text Kind) const
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

QAccessible::State TGlowButtonAccessible::state() const
{
    const TCustomGlowButton* button = Button();
    QAccessible::State state = QAccessibleWidget::state();
    state.pressed = button->Pressed();
    state.checkable = button->Style() == bsCheck || button->GroupIndex() != 0;
    state.checked = state.checkable && button->Down();
    state.hotTracked = button->Hot();
    state.defaultButton = button->Default();
    state.hasPopup = button->IsDropDown();
    return state;
}

QStringList TGlowButtonAccessible::actionNames() const
{
    QStringList names;
    if (Button()->isEnabled())
        names << (Button()->Style() == bsCheck ? toggleAction() : pressAction());
    return names + QAccessibleWidget::actionNames();
}

void TGlowButtonAccessible::doAction(const QString& Name)
{
    if (!Button()->isEnabled())
        return;
    if (Name == pressAction() || Name == toggleAction())
        Later(Button(), [](TCustomGlowButton* Button) { Button->ClickOrDropDown(); });
    else
        QAccessibleWidget::doAction(Name);
}

QStringList TGlowButtonAccessible::keyBindingsForAction(const QString& Name) const
{
    const QString key = text(QAccessible::Accelerator);
    if (Name == pressAction() || Name == toggleAction())
        return key.isEmpty() ? QStringList() : QStringList{key};
    return QAccessibleWidget::keyBindingsForAction(Name);
}

// Office radio button and check box

TOfficeCaptionButtonAccessible::TOfficeCaptionButtonAccessible(TOfficeCaptionButton* Button, QAccessible::Role Role)
    : QAccessibleWidget(Button, Role)
{
}

TOfficeCaptionButton* TOfficeCaptionButtonAccessible::Button() const
{
    return static_cast<TOfficeCaptionButton*>(widget());
}

QString TOfficeCaptionButtonAccessible::text(QAccessible::Text Kind) const
{
    if (Kind == QAccessible::Name)
        return OwnOr(Button()->accessibleName(), Button()->Caption());
    if (Kind == QAccessible::Accelerator) {
        const QChar key = CaptionAccelerator(Button()->Caption());
        return key.isNull() ? QString() : QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.toUpper().unicode()))).toString(QKeySequence::NativeText);
    }
    return QAccessibleWidget::text(Kind);
}

QAccessible::State TOfficeCaptionButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.pressed = Button()->Down();
    state.hotTracked = Button()->Hot();
    return state;
}

QStringList TOfficeCaptionButtonAccessible::actionNames() const
{
    QStringList names;
    if (Button()->isEnabled() && MayChange())
        names << toggleAction();
    return names + QAccessibleWidget::actionNames();
}

void TOfficeCaptionButtonAccessible::doAction(const QString& Name)
{
    if (Name != toggleAction()) {
        QAccessibleWidget::doAction(Name);
        return;
    }
    if (Button()->isEnabled() && MayChange())
        Later(Button(), [](TOfficeCaptionButton* Button) { Button->Press(); });
}

QStringList TOfficeCaptionButtonAccessible::keyBindingsForAction(const QString& Name) const
{
    const QString key = text(QAccessible::Accelerator);
    if (Name == toggleAction())
        return key.isEmpty() ? QStringList() : QStringList{key};
    return QAccessibleWidget::keyBindingsForAction(Name);
}

TOfficeRadioButtonAccessible::TOfficeRadioButtonAccessible(TCustomOfficeRadioButton* Button)
    : TOfficeCaptionButtonAccessible(Button, QAccessible::RadioButton)
{
}

TCustomOfficeRadioButton* TOfficeRadioButtonAccessible::Radio() const
{
    return static_cast<TCustomOfficeRadioButton*>(widget());
}

QAccessible::State TOfficeRadioButtonAccessible::state() const
{
    QAccessible::State state = TOfficeCaptionButtonAccessible::state();
    state.checked = Radio()->Checked();
    return state;
}

bool TOfficeRadioButtonAccessible::MayChange() const
{
    const auto* group = dynamic_cast<const TCustomOfficeRadioGroup*>(Radio()->parentWidget());
    return !group || group->AllowsChange();
}

TOfficeCheckBoxAccessible::TOfficeCheckBoxAccessible(TCustomOfficeCheckBox* Box)
    : TOfficeCaptionButtonAccessible(Box, QAccessible::CheckBox)
{
}

TCustomOfficeCheckBox* TOfficeCheckBoxAccessible::Box() const
{
    return static_cast<TCustomOfficeCheckBox*>(widget());
}

QAccessible::State TOfficeCheckBoxAccessible::state() const
{
    QAccessible::State state = TOfficeCaptionButtonAccessible::state();
    const TCheckBoxState check = Box()->GetState();
    state.checked = check == cbChecked;
    state.checkStateMixed = check == cbGrayed;
    state.readOnly = Box()->ReadOnly();
    return state;
}

// Frame group box and gradient panel

TFrameGroupBoxAccessible::TFrameGroupBoxAccessible(TCustomFrameGroupBox* Group)
    : QAccessibleWidget(Group, QAccessible::Grouping)
{
}

TCustomFrameGroupBox* TFrameGroupBoxAccessible::Group() const
{
    return static_cast<TCustomFrameGroupBox*>(widget());
}

QString TFrameGroupBoxAccessible::text(QAccessible::Text Kind) const
{
    if (Kind == QAccessible::Name)
        return OwnOr(Group()->accessibleName(), Group()->Caption());
    return QAccessibleWidget::text(Kind);
}

QAccessible::State TFrameGroupBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (Group()->CheckBox().Visible()) {
        state.checkable = true;
        state.checked = Group()->CheckBox().State() == cbChecked;
        state.checkStateMixed = Group()->CheckBox().State() == cbGrayed;
    }
    return state;
}

TGradientPanelAccessible::TGradientPanelAccessible(TCustomGradientPanel* Panel)
    : QAccessibleWidget(Panel, QAccessible::Pane)
{
}

TCustomGradientPanel* TGradientPanelAccessible::Panel() const
{
    return static_cast<TCustomGradientPanel*>(widget());
}

QString TGradientPanelAccessible::text(QAccessible::Text Kind) const
{
    if (Kind == QAccessible::Name)
        return OwnOr(Panel()->accessibleName(), Panel()->Caption().Text());
    return QAccessibleWidget::text(Kind);
}

// The factory and the spoken text

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
