#pragma once

#include <QString>

#include <functional>

class QObject;
class QWidget;

// The events a control raises for the links of its caption: clicked, entered, left.
using TAnchorEvent = std::function<void(QObject* Sender, const QString& Anchor)>;

// Moves Current, the caption link under the pointer of Control, to Anchor (empty for none):
// leaving a link raises OnExit, reaching one raises OnEnter, and the cursor is the pointing hand
// exactly while the pointer is over a link.
void TrackAnchor(QWidget& Control, QString& Current, const QString& Anchor, const TAnchorEvent& OnExit,
    const TAnchorEvent& OnEnter);

// A clicked caption link: an external one is opened by the desktop, any other is reported
// through OnClick.
void FollowAnchor(QObject& Sender, const QString& Anchor, const TAnchorEvent& OnClick);
