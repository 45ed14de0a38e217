#include "app/windowprogress.h"

#include "app/progressbar.h"
#include "app/progressform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace warplon {

namespace {

// Holds back user input meant for other windows while events are delivered in the middle of a
// calculation; Esc anywhere becomes a stop request.
class RunInputGuard : public QObject
{
public:
    explicit RunInputGuard(TProgress_F &window)
        : m_window(window)
    {
        qApp->installEventFilter(this);
    }
    ~RunInputGuard() override { qApp->removeEventFilter(this); }
    RunInputGuard(const RunInputGuard &) = delete;
    RunInputGuard &operator=(const RunInputGuard &) = delete;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                m_window.requestStop();
                return true;
            }
            return !IsProgressWindow(watched);
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            return !IsProgressWindow(watched);
        case QEvent::Close:
            // Other windows stay open; the progress window turns a close into a stop request.
            return event->spontaneous() && !IsProgressWindow(watched);
        default:
            return false;
        }
    }

private:
    bool IsProgressWindow(QObject *watched) const
    {
        if (watched == qApp)
            return false;
        for (QObject *object = watched; object; object = object->parent())
            if (object == &m_window)
                return true;
        // The window's native surface is not a QObject child of the widget.
        return watched->isWindowType() && m_window.windowHandle() == watched;
    }

    TProgress_F &m_window;
};

} // namespace

WindowProgress::WindowProgress(TProgress_F &window, const QString &title, QWidget *anchor)
    : m_window(window)
{
    m_window.BeginRun();
    m_window.setWindowTitle(title);
    m_window.show();
    // Placed once shown, when the size of the window's frame is known.
    if (anchor) {
        const QWidget *origin = anchor->parentWidget() ? anchor->parentWidget() : anchor;
        const QPoint offset = CentredOn(anchor->size(), m_window.frameGeometry().size());
        m_window.move(origin->mapToGlobal(QPoint(0, 0)) + offset);
    }
    m_window.repaint();
    DeliverEvents();
}

WindowProgress::~WindowProgress()
{
    m_window.EndRun();
}

void WindowProgress::Step(const QString &title)
{
    m_window.Step(title);
    DeliverEvents();
}

void WindowProgress::SetPercent(int32_t percent)
{
    m_window.SetPercent(percent);
    DeliverEvents();
}

bool WindowProgress::StopRequested() const
{
    return m_window.stopRequested();
}

void WindowProgress::DeliverEvents()
{
    RunInputGuard guard(m_window);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace warplon
