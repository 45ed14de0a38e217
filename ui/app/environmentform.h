#pragma once

#include "text/stringtable.h"

#include <QDialog>
#include <QFont>

#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace warplon {

// The environment window: language, interface font and needle limit, each written to
// "Environment.ini" of the program directory at once and applied from the next start, which
// Message 74 tells the user; and the float limit, which applies at once.
class TEnvironment : public QDialog
{
    Q_OBJECT

public:
    // `language`, `interfaceFont` and `needleLimit` are the values the program runs with;
    // `messages` is the shared "Message" table.
    TEnvironment(const QString &programDirectory, const QString &language,
                 const QFont &interfaceFont, int32_t needleLimit, const TStringTable &messages,
                 QWidget *parent = nullptr);

    // The font button: the font dialog starts with the interface font; a confirmed choice
    // becomes the interface font, its face name is written and Message 74 shown.
    void ChooseFont();
    const QFont &interfaceFont() const { return m_font; }

    // Controls, named as the program has always named them.
    QLabel *lbLanguage = nullptr;
    QLabel *lbFont = nullptr;
    QLabel *lbMaxWidth = nullptr;
    QComboBox *LanguageComboBox = nullptr;
    QPushButton *sbFont = nullptr;
    QComboBox *cbMaxWidth = nullptr;
    QLabel *lbFloatLimit = nullptr;
    QLineEdit *edFloatLimit = nullptr;

signals:
    // The user confirmed a new interface font.
    void interfaceFontChanged(const QFont &font);
    // A new float limit in millimetres (0: no marks) was entered and written.
    void floatLimitChanged(double millimetres);

private:
    void languageChanged(const QString &text);
    void needleLimitChanged(const QString &text);
    void floatLimitEntered();
    // Tells the user the change applies from the next start, or that it could not be written.
    void reportWrite(bool written);

    QString m_programDirectory;
    QString m_settingsFile;
    double m_floatLimit = 0.0;
    QFont m_font;
    TStringTable m_texts;
    TStringTable m_messages;
};

} // namespace warplon
