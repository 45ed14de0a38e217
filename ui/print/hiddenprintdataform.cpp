#include "print/hiddenprintdataform.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace warplon {

THiddenPrintDataForm::THiddenPrintDataForm(QWidget *parent)
    : QWidget(parent)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("HiddenPrintDataForm"));
    hide();
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    if (!HasPrinter())
        m_printer->setOutputFormat(QPrinter::PdfFormat);
}

THiddenPrintDataForm::~THiddenPrintDataForm() = default;

bool THiddenPrintDataForm::HasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString THiddenPrintDataForm::PrinterName() const
{
    if (m_printer->outputFormat() == QPrinter::PdfFormat) {
        const QString file = m_printer->outputFileName();
        return file.isEmpty() ? QStringLiteral("PDF") : QStringLiteral("PDF: ") + file;
    }
    return m_printer->printerName();
}

bool THiddenPrintDataForm::Setup(QWidget *parent)
{
    // With a printer the print dialog chooses it, its paper and orientation; a PDF target has
    // only paper and orientation to choose.
    if (HasPrinter()) {
        QPrintDialog dialog(m_printer.get(), parent);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
        return dialog.exec() == QDialog::Accepted;
    }
    QPageSetupDialog dialog(m_printer.get(), parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace warplon
