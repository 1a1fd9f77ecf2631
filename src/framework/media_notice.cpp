#include "framework/media_notice.h"

#include <QCoreApplication>

MediaNoticeEvent::MediaNoticeEvent(MediaDeviceId device, MediaNotice code)
    : QEvent(EventType()), m_device(device), m_code(code) {}

QEvent::Type MediaNoticeEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

MediaNoticeSink PostMediaNoticesTo(QObject* target) {
    // postEvent is safe from any thread; the event is delivered on the
    // target's thread, never while the audio thread waits.
    return [target](MediaDeviceId device, MediaNotice code) {
        QCoreApplication::postEvent(target, new MediaNoticeEvent(device, code));
    };
}
