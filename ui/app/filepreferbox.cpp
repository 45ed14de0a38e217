#include "app/filepreferbox.h"

#include "app/filelisting.h"

#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace warplon {

namespace {

constexpr int32_t kTextCaption = 16;
constexpr int32_t kTextModified = 11;
constexpr int32_t kTextLocation = 22;
constexpr int32_t kTextCreated = 24;
constexpr int32_t kTextAccessed = 26;
constexpr int32_t kTextUnknown = 27;
constexpr int32_t kTextOk = 28;
constexpr int32_t kCommonSize = 31;

} // namespace

TFilePreferBox::TFilePreferBox(const QString &path, const TStringTable &texts,
                               const TStringTable &common, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FilePreferBox"));
    setWindowTitle(texts.TextAt(kTextCaption));
    const QFileInfo info(path);
    const auto when = [&](const QDateTime &time) {
        return time.isValid() ? DateText(time.toLocalTime()) : texts.TextAt(kTextUnknown);
    };
    const auto value = [this](const char *name, const QString &text) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    LabelLocation = value("LabelLocation", QDir::toNativeSeparators(info.absoluteFilePath()));
    LabelSize = value("LabelSize", QStringLiteral("%1 (%2)").arg(SizeText(info.size()),
                                                                 QLocale().toString(info.size())));
    LabelCreated = value("LabelCreated", when(info.birthTime()));
    LabelModified = value("LabelModified", when(info.lastModified()));
    LabelAccessed = value("LabelAccessed", when(info.lastRead()));

    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(texts.TextAt(kTextLocation), LabelLocation);
    form->addRow(common.TextAt(kCommonSize), LabelSize);
    form->addRow(texts.TextAt(kTextCreated), LabelCreated);
    form->addRow(texts.TextAt(kTextModified), LabelModified);
    form->addRow(texts.TextAt(kTextAccessed), LabelAccessed);
    layout->addLayout(form);
    ButtonOK = new QPushButton(texts.TextAt(kTextOk), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    layout->addWidget(ButtonOK, 0, Qt::AlignHCenter);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace warplon
