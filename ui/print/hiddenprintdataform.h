#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QPrinter;

namespace warplon {

// Keeps the printer set-up of a run (printer, paper, orientation) from the first print to the
// end of the program, so every print window after the first starts where the last one left off.
// Never shown.
class THiddenPrintDataForm : public QWidget
{
    Q_OBJECT

public:
    explicit THiddenPrintDataForm(QWidget *parent = nullptr);
    ~THiddenPrintDataForm() override;

    QPrinter &printer() { return *m_printer; }

    // Whether the system has a printer; without one, sheets are written as PDF files.
    static bool HasPrinter();
    // What the print window's printer label names: the printer, or "PDF" and the last file.
    QString PrinterName() const;

    // The set-up dialog of the printer; false when cancelled.
    bool Setup(QWidget *parent);

private:
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace warplon
