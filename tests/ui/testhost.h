#pragma once

// A program around one window under test: the design, its records and the texts of the shipped
// language files in a program directory of its own.

#include "app/design.h"
#include "app/designhost.h"
#include "app/messagebox.h"
#include "app/windowprogress.h"
#include "knit/undostore.h"
#include "testsupport.h"
#include "text/stringtable.h"

#include <QFile>
#include <QImage>

#include <functional>

namespace warplon::test {

// Answers every message box with OK while it lives, keeping the texts for the test.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        SetMessageHandler([this](QMessageBox::Icon, const QString &, const QString &text,
                                 QMessageBox::StandardButtons) {
            texts.append(text);
            return QMessageBox::Ok;
        });
    }
    ~MessageRecorder() { SetMessageHandler({}); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList texts;
};

class TestHost : public DesignHost
{
public:
    explicit TestHost(const QString &language = QStringLiteral("English"))
        : m_language(language)
        , m_undo(m_dir.path())
    {
        for (const QString &name : {QStringLiteral("English.tdw"), QStringLiteral("Korean.tdw")})
            QFile::copy(QStringLiteral(WARPLON_RESOURCES "/") + name, m_dir.file(name));
        MakeNewDesign(design);
        LoadTable(m_common, m_dir.path(), m_language, QStringLiteral("Common"));
        LoadTable(m_message, m_dir.path(), m_language, QStringLiteral("Message"));
        LoadTable(m_main, m_dir.path(), m_language, QStringLiteral("Main"));
    }

    MainData &header() override { return design.header; }
    TexLayer &document() override { return design.document; }
    GuideBarData &guideBars() override { return design.guideBars; }
    TreatmentData &treatment() override { return design.treatment; }
    int32_t currentBar() const override { return design.currentBar; }
    SimulationSettings &simulationSettings() override { return design.simulation; }
    CostData &cost() override { return design.cost; }
    void PushUndo() override { m_undo.Push(design.document); }
    UndoStore &undoStore() override { return m_undo; }
    void DesignEdited(QWidget *) override { ++edits; }

    QString programDirectory() const override { return m_dir.path(); }
    QString language() const override { return m_language; }
    const TStringTable &commonTable() const override { return m_common; }
    const TStringTable &messageTable() const override { return m_message; }
    const TStringTable &mainTable() const override { return m_main; }
    std::unique_ptr<WindowProgress> StartProgress(const QString &, QWidget *) override
    {
        return nullptr;
    }
    void ShowInViewer(const QImage &picture) override { viewed = picture; }
    void UpdateAllWindows() override {}
    void FinishedFabricChanged() override { ++fabricChanges; }
    std::optional<TColor> PickColor(std::optional<TColor> current) override
    {
        return picker ? picker(current) : std::nullopt;
    }

    UndoStore &undo() { return m_undo; }

    Design design;
    int edits = 0;
    int fabricChanges = 0;
    // Stands in for the palette window; without it every pick is cancelled.
    std::function<std::optional<TColor>(std::optional<TColor>)> picker;
    QImage viewed;

private:
    TempDir m_dir;
    QString m_language;
    UndoStore m_undo;
    TStringTable m_common;
    TStringTable m_message;
    TStringTable m_main;
};

} // namespace warplon::test
