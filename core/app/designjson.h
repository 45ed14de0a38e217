#pragma once

#include "app/design.h"

#include <QJsonObject>

namespace warplon {

// Every stored field of a design as JSON, under the field names of the records; texts decoded
// for reading, the yarn image as base64. Used by `warplon-cli dump` and by tests that compare
// whole designs.
QJsonObject DesignToJson(Design &design, int32_t fileVersion);

QJsonObject HeaderToJson(const MainData &header);
QJsonObject DocumentToJson(const TexLayer &document);

} // namespace warplon
