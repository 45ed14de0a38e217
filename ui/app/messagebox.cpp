#include "app/messagebox.h"

namespace warplon {

namespace {

MessageHandler &Handler()
{
    static MessageHandler handler;
    return handler;
}

} // namespace

QMessageBox::StandardButton ShowMessage(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons)
{
    if (Handler())
        return Handler()(icon, title, text, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

void SetMessageHandler(MessageHandler handler)
{
    Handler() = std::move(handler);
}

} // namespace warplon
