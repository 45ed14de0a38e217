#include "app/textbutton.h"

#include <QToolButton>

namespace warplon {

QToolButton *MakeTextButton(QWidget *parent, const char *name, const QString &text, bool checkable)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setCheckable(checkable);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return button;
}

} // namespace warplon
