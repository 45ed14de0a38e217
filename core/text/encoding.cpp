#include "text/encoding.h"

#include <QStringDecoder>

namespace warplon {

QString DecodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder korean("CP949");
    if (korean.isValid()) {
        text = korean.decode(bytes);
        if (!korean.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

QByteArray EncodeText(const QString &text)
{
    return text.toUtf8();
}

} // namespace warplon
