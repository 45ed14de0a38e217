#pragma once

// Every message box of the program goes through here, so that window tests can answer them
// instead of a person.

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace warplon {

using MessageHandler = std::function<QMessageBox::StandardButton(
    QMessageBox::Icon, const QString &title, const QString &text, QMessageBox::StandardButtons)>;

// Shows a modal message box (or asks the installed handler) and returns the button chosen.
QMessageBox::StandardButton ShowMessage(QWidget *parent, QMessageBox::Icon icon,
                                        const QString &title, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The box a number field shows for a text that is not a number: "'text' is not a valid integer
// value." or "... floating point value.", under the program's name.
void ShowConversionError(QWidget *parent, const QString &text, bool integer);

// Installs a handler in place of the boxes; an empty one brings the boxes back.
void SetMessageHandler(MessageHandler handler);

} // namespace warplon
