#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class QLineEdit;

namespace warplon {

// The one-field number prompt of the design window's Repeat and Left Shift: a borderless window
// at the mouse whose edit starts at "0"; Enter closes it with OK, Escape without.
class TFloatingWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TFloatingWindow(QWidget *parent = nullptr);

    // Shows the prompt with its top left at `globalPosition` and waits; the typed number on
    // Enter, nothing on Escape or when the text is not a whole number (after the conversion
    // message).
    std::optional<int32_t> AskNumber(const QPoint &globalPosition);

    QLineEdit *edInput = nullptr;
};

} // namespace warplon
