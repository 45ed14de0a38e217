#pragma once

#include "text/stringtable.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QToolButton;

namespace warplon {

class DesignHost;

// The editor window: the lapping as text. "Mode 1" lists the current bar one course per line
// ("x0 x1 (course)") in a memo written back with OK; "Mode 2" has one line per bar, every course
// as x0 and x1 written together, written back into its bar with Enter. The memo's pop-up menu
// cuts, copies and pastes, and keeps the text in layer files (*.lay).
class TEditorForm : public QWidget
{
    Q_OBJECT

public:
    explicit TEditorForm(DesignHost &host, QWidget *parent = nullptr);

    // Rebuilds both pages from the design (the memo from the current bar).
    void Refresh();

    // "OK.": the memo goes into the current bar's laps.
    void ApplyMode1();
    // Enter in the line of bar `bar` (0-based): the line goes into that bar's laps.
    void ApplyMode2(int bar);
    // The memo's Save and Load items without their dialogs; false after a message.
    bool SaveLayerFile(const QString &path);
    bool LoadLayerFile(const QString &path);

    QTabWidget *PageControl = nullptr;
    QPlainTextEdit *Memo = nullptr;
    QToolButton *sbOK = nullptr;
    QLabel *StatusBar = nullptr;
    std::array<QLineEdit *, 4> edLayer{}; // "Mode 2": Layer 1 … Layer 4
    QMenu *pmMemo = nullptr;

private:
    void showCaret();
    QString layerFolder() const;
    void saveWithDialog();
    void loadWithDialog();

    DesignHost &m_host;
    TStringTable m_texts;
};

} // namespace warplon
