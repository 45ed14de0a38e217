#pragma once

// The data of user colour cells dragged from a user colour collection onto the palette grid:
// the collection's name (its window caption, which becomes every colour's file name) and the
// colours, row by row.

#include "color/usercolor.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace warplon {

// The drag's MIME type.
QString UserColorDragMimeType();

// An lstring with the collection's name, then the colours as a ".ucl" file holds them.
QByteArray EncodeUserColorDrag(const QByteArray &collectionName,
                               const std::vector<UserColor> &colors);
// False, with both outputs empty, for data that is not a whole drag of user colours.
bool DecodeUserColorDrag(const QByteArray &data, QByteArray &collectionName,
                         std::vector<UserColor> &colors);

} // namespace warplon
