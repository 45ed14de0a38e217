#include "app/messagebox.h"

#include <QApplication>

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

void ShowConversionError(QWidget *parent, const QString &text, bool integer)
{
    const QString message
        = integer ? QStringLiteral("'%1' is not a valid integer value.").arg(text)
                  : QStringLiteral("'%1' is not a valid floating point value.").arg(text);
    ShowMessage(parent, QMessageBox::Critical, QApplication::applicationName(), message);
}

void SetMessageHandler(MessageHandler handler)
{
    Handler() = std::move(handler);
}

} // namespace warplon
