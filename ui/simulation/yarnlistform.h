#pragma once

#include "knit/records.h"
#include "text/stringtable.h"

#include <QWidget>

#include <cstdint>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTableWidget;

namespace warplon {

class DesignHost;

// The yarn list: one grid row per yarn of the open design (row r shows yarn r - 1; the header row
// stays fixed above), typed into through the edit box below the grid, with pop-up menus for the
// material and processing codes and for Add, Delete and the yarn files. Every edit keeps an undo
// snapshot first and tells the main window afterwards, which refreshes the composition and
// redraws the design.
class TYarnListForm : public QWidget
{
    Q_OBJECT

public:
    explicit TYarnListForm(DesignHost &host, QWidget *parent = nullptr);

    // Re-reads the yarn list into the grid (row count, every cell).
    void Refresh();

    // The grid's current cell as the list numbers rows: row 1 is the first yarn.
    int32_t CurrentRow() const;
    int32_t CurrentColumn() const;
    void SetCurrentCell(int32_t row, int32_t column);

    // What the Load and Save items do with the file chosen in their dialogs: load the file into
    // the current row, or save the current row's yarn. False (after a message) when nothing
    // happened.
    bool LoadYarnFile(const QString &path);
    bool SaveYarnFile(const QString &path);
    // The file preview of the dialogs: lbSpec shows the yarn of the file, or nothing.
    void PreviewYarnFile(const QString &path);

    QTableWidget *YarnListStringGrid = nullptr;
    QLineEdit *edInput = nullptr;
    QLabel *lbSpec = nullptr;
    QMenu *PopupMenuStringGridMaterial = nullptr;
    QMenu *PopupMenuStringGridOpticalProperty = nullptr;
    QMenu *PopupMenuStringGrid = nullptr;
    QAction *pmAdd = nullptr;
    QAction *pmDelete = nullptr;
    QAction *pmLoad = nullptr;
    QAction *pmSave = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void gridPressed(int32_t row, int32_t column, Qt::MouseButton button, const QPoint &global);
    void enterInput();
    void moveCurrent(int32_t rows, int32_t columns);
    void chooseCode(int32_t column, uint8_t code);
    void chooseColor(int32_t row);
    void addYarn();
    void deleteYarns();
    void loadFromDialog();
    void saveFromDialog();
    // Top and bottom grid rows of the selection (the current row without one).
    std::pair<int32_t, int32_t> selectedRows() const;
    void showText(int32_t index);
    // Keeps the design for undo, takes the new list, shows it and tells the main window.
    void commitYarns(std::vector<Yarn> yarns);
    void edited();

    DesignHost &m_host;
    TStringTable m_texts;
};

} // namespace warplon
