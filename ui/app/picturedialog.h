#pragma once

#include <QString>

class QImage;
class QWidget;

namespace warplon {

// The picture save dialog of the windows that show pictures: bitmap or JPEG, starting at
// "Noname1" in the "bmp" folder of the program directory (made when missing). Writes the chosen
// file; a failure is told under the window's caption as "Unknown Error in " and its name.
// The "bmp" folder of the program directory, where picture dialogs start; made when missing.
QString PictureFolder(const QString &programDirectory);

void SavePictureWithDialog(QWidget *window, const QImage &picture, const QString &programDirectory,
                           const QString &title);

} // namespace warplon
