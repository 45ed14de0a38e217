#pragma once

#include <QByteArray>
#include <QString>

namespace warplon {

// Design, yarn and cost files keep texts as 8-bit bytes. Texts we write are UTF-8; files from
// older Korean installs hold CP949. A text that is valid UTF-8 is read as UTF-8, otherwise as
// CP949 (or Latin-1 where no CP949 codec exists).
QString DecodeText(const QByteArray &bytes);
QByteArray EncodeText(const QString &text);

} // namespace warplon
