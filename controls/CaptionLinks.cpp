#include "controls/CaptionLinks.h"

#include "controls/CaptionRenderer.h"
#include "controls/ControlSupport.h"

#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

void TrackAnchor(QWidget& Control, QString& Current, const QString& Anchor, const TAnchorEvent& OnExit,
    const TAnchorEvent& OnEnter)
{
    if (Anchor == Current)
        return;
    if (!Current.isEmpty())
        Raise(OnExit, &Control, Current);
    Current = Anchor;
    if (Current.isEmpty()) {
        Control.unsetCursor();
        return;
    }
    Control.setCursor(Qt::PointingHandCursor);
    Raise(OnEnter, &Control, Current);
}

void FollowAnchor(QObject& Sender, const QString& Anchor, const TAnchorEvent& OnClick)
{
    if (IsExternalAnchor(Anchor))
        QDesktopServices::openUrl(QUrl(Anchor));
    else
        Raise(OnClick, &Sender, Anchor);
}
