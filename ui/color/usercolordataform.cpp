#include "color/usercolordataform.h"

#include "app/designhost.h"
#include "app/textbutton.h"
#include "color/colorcatalogs.h"
#include "color/colorcontrols.h"
#include "color/coloredit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

namespace warplon {

namespace {

enum DataText {
    DataCaption = 0,
    DataOk = 1,
    DataName = 2,
    DataUndefined = 3,
    DataFirstBook = 4, // the six books in list order
    DataNone = 10,
    DataHls = 11,
    DataCode = 12,
    DataCancel = 13,
    DataCyan = 14,
    DataMagenta = 15,
    DataYellow = 16,
    DataHue = 17,
    DataLightness = 18,
    DataSaturation = 19,
    DataColorBook = 20,
};

// "The Pantone color catalogues are not installed" and where their files go.
constexpr int32_t kMessagePantoneMissing = 77;
constexpr int32_t kMessagePantoneFiles = 78;

// Keeps the name within the collection file's field, dropping what was just typed or pasted
// past it rather than cutting a character in half.
class NameValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        FitUserColorName(input, pos);
        return Acceptable;
    }
};

} // namespace

TUserColorDataForm::TUserColorDataForm(DesignHost &host, const ColorCatalogs &catalogs,
                                       QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_catalogs(catalogs)
{
    setObjectName(QStringLiteral("UserColorDataForm"));
    LoadTable(m_texts, host.programDirectory(), host.language(), QStringLiteral("UserColorData"));
    setWindowTitle(m_texts.TextAt(DataCaption));
    m_pantoneNotice = host.messageTable().TextAt(kMessagePantoneMissing) + QStringLiteral("\n")
                      + host.messageTable().TextAt(kMessagePantoneFiles) + QStringLiteral("\n")
                      + ColorCatalogs::ColorFolder(host.programDirectory());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(m_texts.TextAt(DataName), this));
    edName = new QLineEdit(this);
    edName->setObjectName(QStringLiteral("edName"));
    edName->setValidator(new NameValidator(edName));
    nameRow->addWidget(edName, 1);
    layout->addLayout(nameRow);

    auto *middle = new QHBoxLayout;
    auto *books = new QVBoxLayout;
    books->addWidget(new QLabel(m_texts.TextAt(DataColorBook), this));
    lstColorBook = new QListWidget(this);
    lstColorBook->setObjectName(QStringLiteral("lstColorBook"));
    for (int i = 0; i < kUserColorBookCount; ++i)
        lstColorBook->addItem(m_texts.TextAt(DataFirstBook + i));
    lstColorBook->setFixedHeight(lstColorBook->sizeHintForRow(0) * kUserColorBookCount
                                 + 2 * lstColorBook->frameWidth() + 4);
    lstColorBook->setMinimumWidth(lstColorBook->sizeHintForColumn(0) + 24);
    books->addWidget(lstColorBook);
    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(new QLabel(m_texts.TextAt(DataCode), this));
    edCode = new QLineEdit(this);
    edCode->setObjectName(QStringLiteral("edCode"));
    edCode->setMaximumWidth(100);
    codeRow->addWidget(edCode);
    codeRow->addStretch();
    books->addLayout(codeRow);
    lbCodeResult = new QLabel(this);
    lbCodeResult->setObjectName(QStringLiteral("lbCodeResult"));
    books->addWidget(lbCodeResult);
    books->addStretch();
    middle->addLayout(books);

    auto *pickers = new QVBoxLayout;
    lbHLS = new QToolButton(this);
    lbHLS->setObjectName(QStringLiteral("lbHLS"));
    lbHLS->setText(m_texts.TextAt(DataHls));
    lbHLS->setCheckable(true);
    lbHLS->setAutoRaise(true);
    pickers->addWidget(lbHLS, 0, Qt::AlignLeft);
    PickerStack = new QStackedWidget(this);
    PickerStack->setObjectName(QStringLiteral("PickerStack"));
    PickerStack->addWidget(buildCmy());
    PickerStack->addWidget(buildHls());
    pickers->addWidget(PickerStack, 1);
    middle->addLayout(pickers, 1);
    layout->addLayout(middle, 1);

    lbNotice = new QLabel(this);
    lbNotice->setObjectName(QStringLiteral("lbNotice"));
    lbNotice->setWordWrap(true);
    lbNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbNotice->setText(m_pantoneNotice);
    lbNotice->hide();
    layout->addWidget(lbNotice);

    auto *bottom = new QHBoxLayout;
    ShapeColor = new TColorShape(this);
    ShapeColor->setObjectName(QStringLiteral("ShapeColor"));
    ShapeColor->setFixedSize(48, 28);
    lbRGB = new QLabel(this);
    lbRGB->setObjectName(QStringLiteral("lbRGB"));
    bottom->addWidget(ShapeColor);
    bottom->addWidget(lbRGB);
    bottom->addStretch();
    sbOK = MakeTextButton(this, "sbOK", m_texts.TextAt(DataOk));
    sbCancel = MakeTextButton(this, "sbCancel", m_texts.TextAt(DataCancel));
    for (QToolButton *button : {sbOK, sbCancel})
        button->setMinimumWidth(72);
    bottom->addWidget(sbOK);
    bottom->addWidget(sbCancel);
    layout->addLayout(bottom);

    connect(lstColorBook, &QListWidget::currentRowChanged, this, [this] {
        if (!m_showing)
            bookChosen();
    });
    connect(edCode, &QLineEdit::textChanged, this, [this] {
        if (!m_showing)
            lookUp();
    });
    connect(lbHLS, &QToolButton::toggled, this,
            [this](bool hls) { PickerStack->setCurrentIndex(hls ? 1 : 0); });
    connect(sbOK, &QToolButton::clicked, this, &QDialog::accept);
    connect(sbCancel, &QToolButton::clicked, this, &QDialog::reject);

    NewColor(FreeUserColor(RGBQUAD{255, 255, 255, 0}));
    edName->setFocus();
}

void TUserColorDataForm::NewColor(const UserColor &color)
{
    UserColor fresh = color;
    fresh.name = UserColorNameBytes(m_texts.TextAt(DataUndefined));
    SetColor(fresh);
}

QSpinBox *TUserColorDataForm::makeSpin(QWidget *parent, const char *name, int high)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(0, high);
    return spin;
}

QWidget *TUserColorDataForm::buildCmy()
{
    KvCMY = new QWidget(this);
    KvCMY->setObjectName(QStringLiteral("KvCMY"));
    auto *grid = new QGridLayout(KvCMY);
    grid->setContentsMargins(0, 0, 0, 0);
    PSEditCyan = makeSpin(KvCMY, "PSEditCyan", 255);
    PSEditMagenta = makeSpin(KvCMY, "PSEditMagenta", 255);
    PSEditYellow = makeSpin(KvCMY, "PSEditYellow", 255);
    PGaugeCyan = new TColorGauge(QColor(0, 255, 255), KvCMY);
    PGaugeCyan->setObjectName(QStringLiteral("PGaugeCyan"));
    PGaugeMagenta = new TColorGauge(QColor(255, 0, 255), KvCMY);
    PGaugeMagenta->setObjectName(QStringLiteral("PGaugeMagenta"));
    PGaugeYellow = new TColorGauge(QColor(255, 255, 0), KvCMY);
    PGaugeYellow->setObjectName(QStringLiteral("PGaugeYellow"));
    const struct
    {
        int text;
        QSpinBox *spin;
        TColorGauge *gauge;
    } rows[] = {{DataCyan, PSEditCyan, PGaugeCyan},
                {DataMagenta, PSEditMagenta, PGaugeMagenta},
                {DataYellow, PSEditYellow, PGaugeYellow}};
    int row = 0;
    for (const auto &r : rows) {
        grid->addWidget(new QLabel(m_texts.TextAt(r.text), KvCMY), row, 0);
        grid->addWidget(r.spin, row, 1);
        grid->addWidget(r.gauge, row, 2);
        connect(r.spin, &QSpinBox::valueChanged, this, &TUserColorDataForm::cmyEdited);
        QSpinBox *spin = r.spin;
        connect(r.gauge, &TColorGauge::valueDragged, this,
                [spin](int value) { spin->setValue(value); });
        ++row;
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    return KvCMY;
}

QWidget *TUserColorDataForm::buildHls()
{
    KvHLS = new QWidget(this);
    KvHLS->setObjectName(QStringLiteral("KvHLS"));
    auto *layout = new QHBoxLayout(KvHLS);
    layout->setContentsMargins(0, 0, 0, 0);
    ImgCircle = new THlsCircle(KvHLS);
    ImgCircle->setObjectName(QStringLiteral("ImgCircle"));
    layout->addWidget(ImgCircle, 0, Qt::AlignTop);
    auto *grid = new QGridLayout;
    PSHlsH = makeSpin(KvHLS, "PSHlsH", 359);
    PSHlsH->setWrapping(true);
    PSHlsL = makeSpin(KvHLS, "PSHlsL", 100);
    PSHlsS = makeSpin(KvHLS, "PSHlsS", 100);
    const struct
    {
        int text;
        QSpinBox *spin;
    } rows[] = {{DataHue, PSHlsH}, {DataLightness, PSHlsL}, {DataSaturation, PSHlsS}};
    int row = 0;
    for (const auto &r : rows) {
        grid->addWidget(new QLabel(m_texts.TextAt(r.text), KvHLS), row, 0);
        grid->addWidget(r.spin, row, 1);
        connect(r.spin, &QSpinBox::valueChanged, this, &TUserColorDataForm::hlsEdited);
        ++row;
    }
    grid->setRowStretch(3, 1);
    layout->addLayout(grid, 1);
    connect(ImgCircle, &THlsCircle::picked, this, [this](const HlsValues &values) {
        const bool showing = m_showing;
        m_showing = true;
        PSHlsH->setValue(values.hue);
        PSHlsL->setValue(values.lightness);
        PSHlsS->setValue(values.saturation);
        m_showing = showing;
        picked(HlsToRgb(values));
    });
    return KvHLS;
}

QString TUserColorDataForm::PantoneNotice() const
{
    return m_pantoneNotice;
}

UserColorBook TUserColorDataForm::Book() const
{
    const int row = lstColorBook->currentRow();
    return row < 0 ? UserColorBook::Normal : UserColorBook(row);
}

void TUserColorDataForm::SetBook(UserColorBook book)
{
    lstColorBook->setCurrentRow(int(book));
}

void TUserColorDataForm::SetColor(const UserColor &color)
{
    const bool showing = m_showing;
    m_showing = true;
    edName->setText(UserColorNameText(UserColorNameBytes(UserColorNameText(color.name))));
    const UserColorBook book = BookOfUserColor(color);
    lstColorBook->setCurrentRow(int(book));
    const QString code = UserColorCode(m_catalogs, color);
    edCode->setText(code);
    m_showing = showing;
    // A kind outside the books is a free colour.
    m_color = book == UserColorBook::Normal ? FreeUserColor(color.color) : color;
    m_color.name.clear();
    showColor(color.color);
    // The colour keeps its catalogue identity until the designer changes it, even where the
    // catalogue no longer holds it.
    const bool pantoneMissing = IsPantoneBook(book) && !m_catalogs.HasPantone();
    lbNotice->setVisible(pantoneMissing);
    lbCodeResult->setVisible(!pantoneMissing);
    edCode->setEnabled(book != UserColorBook::Normal && !pantoneMissing);
    if (book == UserColorBook::Normal)
        lbCodeResult->clear();
    else
        lbCodeResult->setText(code.isEmpty() ? m_texts.TextAt(DataNone) : code);
}

UserColor TUserColorDataForm::Color() const
{
    UserColor color = m_color;
    color.name = UserColorNameBytes(edName->text());
    return color;
}

void TUserColorDataForm::bookChosen()
{
    const UserColorBook book = Book();
    const bool pantoneMissing = IsPantoneBook(book) && !m_catalogs.HasPantone();
    lbNotice->setVisible(pantoneMissing);
    lbCodeResult->setVisible(!pantoneMissing);
    edCode->setEnabled(book != UserColorBook::Normal && !pantoneMissing);
    lookUp();
}

void TUserColorDataForm::lookUp()
{
    const UserColorBook book = Book();
    const std::optional<UserColor> found = LookUpUserColorCode(m_catalogs, book, edCode->text());
    if (!found) {
        // Without a catalogue entry the colour shown is a free colour.
        m_color = FreeUserColor(m_color.color);
        if (book == UserColorBook::Normal)
            lbCodeResult->clear();
        else
            lbCodeResult->setText(m_texts.TextAt(DataNone));
        return;
    }
    m_color = *found;
    lbCodeResult->setText(UserColorCode(m_catalogs, m_color));
    showColor(m_color.color);
}

void TUserColorDataForm::showColor(RGBQUAD rgb)
{
    const bool showing = m_showing;
    m_showing = true;
    int cyan = 0;
    int magenta = 0;
    int yellow = 0;
    RgbToCmy(rgb, cyan, magenta, yellow);
    PSEditCyan->setValue(cyan);
    PSEditMagenta->setValue(magenta);
    PSEditYellow->setValue(yellow);
    PGaugeCyan->SetValue(cyan);
    PGaugeMagenta->SetValue(magenta);
    PGaugeYellow->SetValue(yellow);
    const HlsValues hls = RgbToHls(rgb, PSHlsH->value());
    PSHlsH->setValue(hls.hue);
    PSHlsL->setValue(hls.lightness);
    PSHlsS->setValue(hls.saturation);
    ImgCircle->SetValues(hls);
    m_showing = showing;
    ShapeColor->SetColor(RGBToTColor(rgb));
    lbRGB->setText(
        QStringLiteral("%1 - %2 - %3").arg(rgb.rgbRed).arg(rgb.rgbGreen).arg(rgb.rgbBlue));
}

void TUserColorDataForm::picked(RGBQUAD rgb)
{
    m_color = FreeUserColor(rgb);
    const bool showing = m_showing;
    m_showing = true;
    lstColorBook->setCurrentRow(int(UserColorBook::Normal));
    m_showing = showing;
    lbNotice->hide();
    lbCodeResult->show();
    lbCodeResult->clear();
    edCode->setEnabled(false);
    ShapeColor->SetColor(RGBToTColor(rgb));
    lbRGB->setText(
        QStringLiteral("%1 - %2 - %3").arg(rgb.rgbRed).arg(rgb.rgbGreen).arg(rgb.rgbBlue));
}

void TUserColorDataForm::cmyEdited()
{
    if (m_showing)
        return;
    const int cyan = PSEditCyan->value();
    const int magenta = PSEditMagenta->value();
    const int yellow = PSEditYellow->value();
    PGaugeCyan->SetValue(cyan);
    PGaugeMagenta->SetValue(magenta);
    PGaugeYellow->SetValue(yellow);
    const RGBQUAD rgb = CmyToRgb(cyan, magenta, yellow);
    const bool showing = m_showing;
    m_showing = true;
    const HlsValues hls = RgbToHls(rgb, PSHlsH->value());
    PSHlsH->setValue(hls.hue);
    PSHlsL->setValue(hls.lightness);
    PSHlsS->setValue(hls.saturation);
    ImgCircle->SetValues(hls);
    m_showing = showing;
    picked(rgb);
}

void TUserColorDataForm::hlsEdited()
{
    if (m_showing)
        return;
    const HlsValues values = ClampHls(PSHlsH->value(), PSHlsL->value(), PSHlsS->value());
    ImgCircle->SetValues(values);
    const RGBQUAD rgb = HlsToRgb(values);
    const bool showing = m_showing;
    m_showing = true;
    int cyan = 0;
    int magenta = 0;
    int yellow = 0;
    RgbToCmy(rgb, cyan, magenta, yellow);
    PSEditCyan->setValue(cyan);
    PSEditMagenta->setValue(magenta);
    PSEditYellow->setValue(yellow);
    PGaugeCyan->SetValue(cyan);
    PGaugeMagenta->SetValue(magenta);
    PGaugeYellow->SetValue(yellow);
    m_showing = showing;
    picked(rgb);
}

} // namespace warplon
