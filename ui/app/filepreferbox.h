#pragma once

#include "text/stringtable.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace warplon {

// The information box of a file of the file manager: where it is, its size, and when it was
// made, last changed and last used.
class TFilePreferBox : public QDialog
{
    Q_OBJECT

public:
    // `texts` is the file manager's table, `common` the shared one.
    TFilePreferBox(const QString &path, const TStringTable &texts, const TStringTable &common,
                   QWidget *parent = nullptr);

    QLabel *LabelLocation = nullptr;
    QLabel *LabelSize = nullptr;
    QLabel *LabelCreated = nullptr;
    QLabel *LabelModified = nullptr;
    QLabel *LabelAccessed = nullptr;
    QPushButton *ButtonOK = nullptr;
};

} // namespace warplon
