#pragma once

#include <QDialog>
#include <QPixmap>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

namespace warplon {

// The maker's web site, opened from the About box.
inline constexpr const char *kMakerWebAddress = "https://www.example.com/warplon";

// The About box: program icon, name and version (with the partner edition's mark), the kind of
// design it is for, the maker's notice and a link to the maker's web site.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(bool ombra, QWidget *parent = nullptr);

    // Opens the maker's web site; when that fails, says so in a message box.
    void OpenMakerSite();
    // Replaces the way the address is opened (the desktop's browser by default).
    void SetUrlOpener(std::function<bool(const QUrl &)> opener) { m_opener = std::move(opener); }

    // The program's icon, drawn: a few lapping lines of a tricot chain on a blue tile.
    static QPixmap ProgramPicture(int size);

    // Controls, named as the program has always named them.
    QLabel *ProgramIcon = nullptr;
    QLabel *lbSystem = nullptr;
    QLabel *lbType = nullptr;
    QLabel *lbNotice = nullptr;
    QLabel *lbLink = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool(const QUrl &)> m_opener;
};

} // namespace warplon
