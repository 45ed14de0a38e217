#include "design/editorform.h"

#include "app/designhost.h"
#include "app/messagebox.h"
#include "knit/chartedits.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

enum EditorText : int {
    EditorCaption = 0,
    EditorMode1 = 1,
    EditorMode2 = 2,
    EditorOk = 3,
    EditorCut = 4,
    EditorCopy = 5,
    EditorPaste = 6,
    EditorSave = 7,
    EditorLoad = 8,
    EditorUnreadable = 9,
    EditorUnwritable = 10,
};

// A layer file holds a few numbers per course; anything far larger is not one.
constexpr qint64 kLayerFileLimit = 4 * 1024 * 1024;

const QString kLayerFilter = QStringLiteral("Layer Files(*.lay)");

} // namespace

TEditorForm::TEditorForm(DesignHost &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("EditorForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("PathData"));
    setWindowTitle(m_texts.TextAt(EditorCaption));

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    auto *first = new QWidget(PageControl);
    Memo = new QPlainTextEdit(first);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    sbOK = new QToolButton(first);
    sbOK->setObjectName(QStringLiteral("sbOK"));
    sbOK->setText(m_texts.TextAt(EditorOk));
    StatusBar = new QLabel(first);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFrameShape(QFrame::StyledPanel);
    auto *firstLayout = new QVBoxLayout(first);
    firstLayout->addWidget(sbOK, 0, Qt::AlignLeft);
    firstLayout->addWidget(Memo, 1);
    firstLayout->addWidget(StatusBar);
    PageControl->addTab(first, m_texts.TextAt(EditorMode1));

    auto *second = new QWidget(PageControl);
    auto *lines = new QFormLayout(second);
    for (int k = 0; k < int(edLayer.size()); ++k) {
        auto *edit = new QLineEdit(second);
        edit->setObjectName(QStringLiteral("edLayer%1").arg(k + 1));
        edit->setMinimumWidth(320);
        connect(edit, &QLineEdit::returnPressed, this, [this, k] { ApplyMode2(k); });
        lines->addRow(QStringLiteral("Layer %1").arg(k + 1), edit);
        edLayer[size_t(k)] = edit;
    }
    PageControl->addTab(second, m_texts.TextAt(EditorMode2));

    pmMemo = new QMenu(this);
    pmMemo->setObjectName(QStringLiteral("pmMemo"));
    connect(pmMemo->addAction(m_texts.TextAt(EditorCut)), &QAction::triggered, Memo,
            &QPlainTextEdit::cut);
    connect(pmMemo->addAction(m_texts.TextAt(EditorCopy)), &QAction::triggered, Memo,
            &QPlainTextEdit::copy);
    connect(pmMemo->addAction(m_texts.TextAt(EditorPaste)), &QAction::triggered, Memo,
            &QPlainTextEdit::paste);
    pmMemo->addSeparator();
    connect(pmMemo->addAction(m_texts.TextAt(EditorSave)), &QAction::triggered, this,
            &TEditorForm::saveWithDialog);
    connect(pmMemo->addAction(m_texts.TextAt(EditorLoad)), &QAction::triggered, this,
            &TEditorForm::loadWithDialog);
    connect(Memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { pmMemo->popup(Memo->viewport()->mapToGlobal(at)); });

    connect(sbOK, &QToolButton::clicked, this, &TEditorForm::ApplyMode1);
    connect(Memo, &QPlainTextEdit::cursorPositionChanged, this, &TEditorForm::showCaret);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl);
    resize(420, 480);
    Refresh();
}

void TEditorForm::Refresh()
{
    TexLayer &document = m_host.document();
    const int32_t current = m_host.currentBar();
    const bool hasBar = current >= 0 && current < int32_t(document.bars.size());
    Memo->setPlainText(hasBar ? EditorMode1Lines(document.bars[size_t(current)]).join(u'\n')
                              : QString());
    sbOK->setEnabled(hasBar);
    for (size_t k = 0; k < edLayer.size(); ++k) {
        const bool exists = k < document.bars.size();
        edLayer[k]->setEnabled(exists);
        edLayer[k]->setText(exists ? EditorMode2Line(document.bars[k]) : QString());
    }
    showCaret();
}

void TEditorForm::ApplyMode1()
{
    TexLayer &document = m_host.document();
    const int32_t current = m_host.currentBar();
    if (current < 0 || current >= int32_t(document.bars.size()))
        return;
    m_host.PushUndo();
    ReadEditorMode1(document.bars[size_t(current)], Memo->toPlainText().split(u'\n'));
    Refresh();
    m_host.DesignEdited(this);
}

void TEditorForm::ApplyMode2(int bar)
{
    TexLayer &document = m_host.document();
    if (bar < 0 || bar >= int(document.bars.size()))
        return;
    m_host.PushUndo();
    ReadEditorMode2(document.bars[size_t(bar)], edLayer[size_t(bar)]->text());
    Refresh();
    m_host.DesignEdited(this);
}

void TEditorForm::showCaret()
{
    const QTextCursor caret = Memo->textCursor();
    StatusBar->setText(
        QStringLiteral("%1 : %2").arg(caret.blockNumber() + 1).arg(caret.positionInBlock() + 1));
}

QString TEditorForm::layerFolder() const
{
    const QString folder = QDir(m_host.programDirectory()).filePath(QStringLiteral("layer"));
    QDir().mkpath(folder);
    return folder;
}

bool TEditorForm::SaveLayerFile(const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Memo->toPlainText().toUtf8()) < 0
        || !file.commit()) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    m_texts.TextAt(EditorUnwritable) + QLatin1Char('\n') + path);
        return false;
    }
    return true;
}

bool TEditorForm::LoadLayerFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLayerFileLimit) {
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    m_texts.TextAt(EditorUnreadable) + QLatin1Char('\n') + path);
        return false;
    }
    Memo->setPlainText(QString::fromUtf8(file.read(kLayerFileLimit)));
    return true;
}

void TEditorForm::saveWithDialog()
{
    QString chosen = QFileDialog::getSaveFileName(this, m_texts.TextAt(EditorSave), layerFolder(),
                                                  kLayerFilter);
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(QLatin1String(".lay"), Qt::CaseInsensitive))
        chosen += QLatin1String(".lay");
    SaveLayerFile(chosen);
}

void TEditorForm::loadWithDialog()
{
    const QString chosen = QFileDialog::getOpenFileName(this, m_texts.TextAt(EditorLoad),
                                                        layerFolder(), kLayerFilter);
    if (!chosen.isEmpty())
        LoadLayerFile(chosen);
}

} // namespace warplon
