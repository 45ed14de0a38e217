#include "capture/captureform.h"

#include "app/designhost.h"

namespace warplon {

TCaptureForm::TCaptureForm(DesignHost &host, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CaptureForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("Capture"));
    setWindowTitle(m_texts.TextAt(0));
}

} // namespace warplon
