#pragma once

#include "knit/records.h"
#include "print/propertyfields.h"
#include "print/propertyrecord.h"
#include "simulation/simulationsettings.h"
#include "text/stringtable.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace warplon {

// The property window: the production properties of the design (machine, knitting date,
// department, detail lines, machine figures, test piece, cut length), which it owns, beside the
// fabric's name and code and its grey and finished width, density and gauge for reference.
// The edits are filled from the record when the window is shown and go back into it when it is
// hidden and whenever the main window stores them before saving or printing.
class TMetaDataForm : public QWidget
{
    Q_OBJECT

public:
    // Loads the labels of section "MetaData" of the language file.
    TMetaDataForm(const QString &programDirectory, const QString &language,
                  QWidget *parent = nullptr);

    // The record the design file reads and writes. After changing it from outside (loading a
    // design), call Refresh; edits filled from an older record are never copied over it.
    PropertyRecord &record() { return m_record; }
    const PropertyRecord &record() const { return m_record; }

    // Shows the fabric name and code (header notes 1 and 2), the grey fabric's width, courses
    // per cm and gauge from the header and the finished fabric's from the simulation settings,
    // and fills the edits from the record. Called after a design was loaded or started.
    void Refresh(const MainData &header, const SimulationSettings &finished);
    // Copies the edits into the record; the main window calls it before the record is saved or
    // printed. Returns false when a number edit held no number (its field is kept).
    bool StoreEdits();
    // A new design: the record goes back to its start values, and so do the edits.
    void ResetRecord();

    // Controls, named as the program has always named them.
    QLineEdit *edName = nullptr;
    QLineEdit *edCode = nullptr;
    QLineEdit *edMWidth = nullptr;
    QLineEdit *edMCPC = nullptr;
    QLineEdit *edMGauge = nullptr;
    QLineEdit *edSWidth = nullptr;
    QLineEdit *edSCPC = nullptr;
    QLineEdit *edSGauge = nullptr;
    QLineEdit *edMachineName = nullptr;
    QLineEdit *edTime = nullptr;
    QLineEdit *edResponsible = nullptr;
    QPlainTextEdit *mmDetail = nullptr;
    QLineEdit *edRPM = nullptr;
    QLineEdit *edHours = nullptr;
    QLineEdit *edEfficiency = nullptr;
    QLineEdit *edCountOfW = nullptr;
    QLineEdit *edTestWidth = nullptr;
    QLineEdit *edTestHeight = nullptr;
    QLineEdit *edTestWeight = nullptr;
    QLineEdit *edCutYard = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fillEdits();
    PropertyTexts editTexts() const;

    TStringTable m_texts;
    PropertyRecord m_record;
    PropertyRecord m_shownRecord; // the record as the edits were last filled from it
};

} // namespace warplon
