// Media notices as queued Qt events. The audio level reports the end of a
// play through a sink that may be called on the audio thread; the sink made
// here only posts a MediaNoticeEvent to a window, which receives it on the UI
// thread from the event loop (or inside CWinApp::PumpPendingMessages).
#pragma once

#include "platform/audio.h"

#include <QEvent>

class QObject;

class MediaNoticeEvent : public QEvent {
public:
    MediaNoticeEvent(MediaDeviceId device, MediaNotice code);

    // The event type, registered once with Qt.
    static QEvent::Type EventType();

    MediaDeviceId Device() const { return m_device; }
    MediaNotice Code() const { return m_code; }

private:
    MediaDeviceId m_device;
    MediaNotice m_code;
};

// A sink that posts each notice to `target` as a MediaNoticeEvent. The target
// must close every device it played with this sink before it is destroyed;
// Qt drops the events still queued for it then.
MediaNoticeSink PostMediaNoticesTo(QObject* target);
