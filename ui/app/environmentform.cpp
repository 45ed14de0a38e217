#include "app/environmentform.h"

#include "app/mainparameters.h"
#include "app/messagebox.h"
#include "app/programsettings.h"
#include "text/inifile.h"

#include <QComboBox>
#include <QDir>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace warplon {

namespace {

enum EnvironmentText {
    EnvCaption = 0,
    EnvLanguage = 1,
    EnvFont = 2,
    EnvFontButton = 3,
    EnvMax = 4,
    EnvFloatLimit = 5,
};

// "The change applies from the next start."
constexpr int32_t kMessageNextStart = 74;

} // namespace

TEnvironment::TEnvironment(const QString &programDirectory, const QString &language,
                           const QFont &interfaceFont, int32_t needleLimit,
                           const TStringTable &messages, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_programDirectory(programDirectory)
    , m_settingsFile(QDir(programDirectory).filePath(QStringLiteral("Environment.ini")))
    , m_floatLimit(ReadFloatLimit(programDirectory))
    , m_font(interfaceFont)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("Environment"));
    QFont own = font();
    own.setFamily(interfaceFont.family());
    setFont(own);

    LoadTable(m_texts, programDirectory, language, QStringLiteral("Environment"));
    setWindowTitle(m_texts.TextAt(EnvCaption));

    lbLanguage = new QLabel(m_texts.TextAt(EnvLanguage), this);
    lbLanguage->setObjectName(QStringLiteral("lbLanguage"));
    lbFont = new QLabel(m_texts.TextAt(EnvFont), this);
    lbFont->setObjectName(QStringLiteral("lbFont"));
    lbMaxWidth = new QLabel(m_texts.TextAt(EnvMax), this);
    lbMaxWidth->setObjectName(QStringLiteral("lbMaxWidth"));

    LanguageComboBox = new QComboBox(this);
    LanguageComboBox->setObjectName(QStringLiteral("LanguageComboBox"));
    LanguageComboBox->addItems({QStringLiteral("English"), QStringLiteral("Korean")});
    // A language installed beside the two we ship is still shown as the one in use.
    if (!language.isEmpty() && LanguageComboBox->findText(language) < 0)
        LanguageComboBox->addItem(language);
    LanguageComboBox->setCurrentIndex(LanguageComboBox->findText(language));

    sbFont = new QPushButton(m_texts.TextAt(EnvFontButton), this);
    sbFont->setObjectName(QStringLiteral("sbFont"));

    cbMaxWidth = new QComboBox(this);
    cbMaxWidth->setObjectName(QStringLiteral("cbMaxWidth"));
    cbMaxWidth->addItems({QStringLiteral("150"), QStringLiteral("300"), QStringLiteral("600")});
    // A limit that is none of the choices shows no choice.
    cbMaxWidth->setCurrentIndex(cbMaxWidth->findText(QString::number(needleLimit)));

    lbFloatLimit = new QLabel(m_texts.TextAt(EnvFloatLimit), this);
    lbFloatLimit->setObjectName(QStringLiteral("lbFloatLimit"));
    edFloatLimit = new QLineEdit(QString::number(m_floatLimit), this);
    edFloatLimit->setObjectName(QStringLiteral("edFloatLimit"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(lbLanguage, 0, 0);
    layout->addWidget(LanguageComboBox, 0, 1);
    layout->addWidget(lbFont, 1, 0);
    layout->addWidget(sbFont, 1, 1);
    layout->addWidget(lbMaxWidth, 2, 0);
    layout->addWidget(cbMaxWidth, 2, 1);
    layout->addWidget(lbFloatLimit, 3, 0);
    layout->addWidget(edFloatLimit, 3, 1);
    layout->setColumnMinimumWidth(1, 120);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(LanguageComboBox, &QComboBox::currentTextChanged, this, &TEnvironment::languageChanged);
    connect(cbMaxWidth, &QComboBox::currentTextChanged, this, &TEnvironment::needleLimitChanged);
    connect(sbFont, &QPushButton::clicked, this, &TEnvironment::ChooseFont);
    connect(edFloatLimit, &QLineEdit::editingFinished, this, &TEnvironment::floatLimitEntered);

    move(100, 100);
}

void TEnvironment::ChooseFont()
{
    bool confirmed = false;
    const QFont chosen = QFontDialog::getFont(&confirmed, m_font, this);
    if (!confirmed)
        return;
    m_font = chosen;
    emit interfaceFontChanged(m_font);
    reportWrite(IniFile(m_settingsFile)
                    .WriteString(QStringLiteral("Font"), QStringLiteral("Name"), m_font.family()));
}

void TEnvironment::languageChanged(const QString &text)
{
    if (text.isEmpty())
        return;
    reportWrite(IniFile(m_settingsFile)
                    .WriteString(QStringLiteral("Environment"), QStringLiteral("Language"), text));
}

void TEnvironment::needleLimitChanged(const QString &text)
{
    const auto limit = ParseInteger(text);
    if (!limit)
        return;
    reportWrite(
        IniFile(m_settingsFile)
            .WriteInteger(QStringLiteral("Environment"), QStringLiteral("TexMaxWidth"), *limit));
}

void TEnvironment::floatLimitEntered()
{
    const std::optional<double> limit = ParseDecimal(edFloatLimit->text());
    if (!limit || !(*limit >= 0.0) || *limit > 1000.0) {
        edFloatLimit->setText(QString::number(m_floatLimit));
        return;
    }
    if (*limit == m_floatLimit)
        return;
    m_floatLimit = *limit;
    if (!WriteFloatLimit(m_programDirectory, m_floatLimit))
        reportWrite(false);
    emit floatLimitChanged(m_floatLimit);
}

void TEnvironment::reportWrite(bool written)
{
    if (written)
        ShowMessage(this, QMessageBox::Information, windowTitle(),
                    m_messages.TextAt(kMessageNextStart));
    else
        ShowMessage(this, QMessageBox::Warning, windowTitle(),
                    QStringLiteral("Unknown Error in ") + objectName());
}

} // namespace warplon
