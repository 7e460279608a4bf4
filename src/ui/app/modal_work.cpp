#include "ui/app/modal_work.h"

#include "ui/app/wizard_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>

#include <thread>

namespace zpak::ui {

namespace {

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

}  // namespace

ModalWork::ModalWork(WizardDialog& wizard, QWidget* allowed) : wizard_(wizard), allowed_(allowed)
{
    wizard_.SetBusy(true);
    qApp->installEventFilter(this);
}

ModalWork::~ModalWork()
{
    qApp->removeEventFilter(this);
    wizard_.SetBusy(false);
}

bool ModalWork::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsInput(event->type()) || !watched->isWidgetType())
        return false;
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    return !(allowed_ && window == allowed_);
}

void ModalWork::Run(const std::function<void()>& work)
{
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

}  // namespace zpak::ui
