#include "common/qt/plugin_call_wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QPointer>

#include "common/base/wait_hook.h"

namespace dravolo {

namespace {

// Drops what the user does to our windows while a plugin call runs.
class InputDropper : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (active && IsInput(event->type())) return true;
        return QObject::eventFilter(watched, event);
    }

    bool active = false;

private:
    static bool IsInput(QEvent::Type type) {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::InputMethod:
        case QEvent::Close:  // the window manager's close button
            return true;
        default: return false;
        }
    }
};

// Goes with the application it filters for.
QPointer<InputDropper> dropper;

void PaintWhileWaiting() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    if (!dropper) {
        dropper = new InputDropper;
        dropper->setParent(app);
        app->installEventFilter(dropper);
    }
    dropper->active = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    dropper->active = false;
}

}  // namespace

void InstallPluginCallWait() { SetWaitHook(&PaintWhileWaiting); }

}  // namespace dravolo
