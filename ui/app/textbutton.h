#pragma once

class QString;
class QToolButton;
class QWidget;

namespace warplon {

// A flat button showing its caption only, named for tests and the program's own lookups, as the
// dialogs of the program use them in rows (mode buttons, pagers, Exit).
QToolButton *MakeTextButton(QWidget *parent, const char *name, const QString &text,
                            bool checkable = false);

} // namespace warplon
