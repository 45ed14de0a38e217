#pragma once

#include "simulation/costedits.h"
#include "text/stringtable.h"

#include <QWidget>

#include <array>
#include <vector>

class QGroupBox;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace warplon {

class DesignHost;

// The cost window: the commercial parameters of the design (exchange rate, losses, margins,
// capacity, machines, finishing cost and seven free items) and, below them, the cost sheet that
// prices a metre of finished fabric from them and a fresh yarn composition. An edit stores its
// value on Enter; leaving it without Enter shows the stored value again.
class TCost_F : public QWidget
{
    Q_OBJECT

public:
    explicit TCost_F(DesignHost &host, QWidget *parent = nullptr);

    // Shows the design's cost parameters and works the sheet out again. Call after a design was
    // loaded and whenever the yarns, threading or run-in may have changed.
    void Refresh();
    // A new design: the parameters go back to their defaults.
    void ResetForNewDesign();
    // Writes the parameters to a cost file; a message tells when it failed.
    bool SaveCostFile(const QString &path);
    // Reads a cost file over the parameters; a file that cannot be read whole changes nothing
    // and shows a message.
    bool LoadCostFile(const QString &path);

    // Controls, named as the program has always named them.
    QLineEdit *cedExchangeRate = nullptr;
    QLineEdit *edWorkDay = nullptr;
    QLineEdit *edPolyLoss = nullptr;
    QLineEdit *edSpanLoss = nullptr;
    QLineEdit *edNylonLoss = nullptr;
    QLineEdit *edPolyTreatLoss = nullptr;
    QLineEdit *edSpanTreatLoss = nullptr;
    QLineEdit *edNylonTreatLoss = nullptr;
    QLineEdit *edCAPA = nullptr;
    QLineEdit *edMachineCount = nullptr;
    QLineEdit *cedCMT_Machine = nullptr;
    QLineEdit *edRawLoss = nullptr;
    QLineEdit *edRawMargin = nullptr;
    QLineEdit *cedTreatCost = nullptr;
    QLineEdit *edTreatLoss = nullptr;
    QLineEdit *edTreatMargin = nullptr;
    std::array<QLineEdit *, kCostItemCount> ed{};  // ed1 … ed7: item names
    std::array<QLineEdit *, kCostItemCount> ced{}; // ced1 … ced7: item amounts
    QToolButton *sbSave = nullptr;
    QToolButton *sbLoad = nullptr;
    QGroupBox *gbSheet = nullptr;
    QTableWidget *sgSheet = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Edit
    {
        const CostField *field;
        QLineEdit *edit;
    };

    QLineEdit *makeEdit(const CostField &field);
    void store(const Edit &edit);
    void showValue(const Edit &edit);
    void refreshSheet();
    QString costFolder() const;
    void chooseSaveFile();
    void chooseLoadFile();

    DesignHost &m_host;
    TStringTable m_texts;
    std::vector<Edit> m_edits;
};

} // namespace warplon
