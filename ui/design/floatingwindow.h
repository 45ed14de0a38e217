#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class QLineEdit;

namespace warplon {

// The one-field number prompt of the design window's Repeat and Left Shift and of the capture
// window's calibration constant: a borderless window at the mouse; Enter closes it with OK,
// Escape without.
class TFloatingWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TFloatingWindow(QWidget *parent = nullptr);

    // Shows the prompt with its top left at `globalPosition`, its edit starting at `start`, and
    // waits; the typed number on Enter, nothing on Escape or when the text is not a whole number
    // (after the conversion message).
    std::optional<int32_t> AskNumber(const QPoint &globalPosition, int32_t start = 0);

    QLineEdit *edInput = nullptr;
};

} // namespace warplon
