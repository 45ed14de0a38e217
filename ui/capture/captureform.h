#pragma once

#include "text/stringtable.h"

#include <QWidget>

namespace warplon {

class DesignHost;

// The capture window's place in the main window: it takes part in the tiling and the window
// commands; its content is not built yet.
class TCaptureForm : public QWidget
{
    Q_OBJECT

public:
    explicit TCaptureForm(DesignHost &host, QWidget *parent = nullptr);

private:
    TStringTable m_texts;
};

} // namespace warplon
