#pragma once

#include <QImage>
#include <QWidget>

namespace warplon {

// The start-up picture: a frameless stay-on-top window centred on the screen, sized to
// "splash.bmp" of the program directory. Without a readable picture it is a small plain window
// with the program's name. Closing it deletes it, so create it with new.
class Tsplash : public QWidget
{
    Q_OBJECT

public:
    explicit Tsplash(const QString &programDirectory, QWidget *parent = nullptr);

    bool hasPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

} // namespace warplon
