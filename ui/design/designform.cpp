#include "design/designform.h"

#include "app/designhost.h"

namespace warplon {

TDesignForm::TDesignForm(DesignHost &host, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DesignForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Design"));
    setWindowTitle(m_texts.TextAt(0));
}

} // namespace warplon
