#include "design/floatingwindow.h"

#include "app/mainparameters.h"
#include "app/messagebox.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace warplon {

TFloatingWindow::TFloatingWindow(QWidget *parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FloatingWindow"));
    edInput = new QLineEdit(QStringLiteral("0"), this);
    edInput->setObjectName(QStringLiteral("edInput"));
    edInput->setFixedWidth(80);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(edInput);
    connect(edInput, &QLineEdit::returnPressed, this, &QDialog::accept);
}

std::optional<int32_t> TFloatingWindow::AskNumber(const QPoint &globalPosition, int32_t start)
{
    edInput->setText(QString::number(start));
    edInput->selectAll();
    adjustSize();
    move(globalPosition);
    edInput->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    const std::optional<int32_t> number = ParseInteger(edInput->text());
    if (!number)
        ShowConversionError(parentWidget(), edInput->text(), true);
    return number;
}

} // namespace warplon
