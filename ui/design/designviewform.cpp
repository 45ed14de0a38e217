#include "design/designviewform.h"

#include <QActionGroup>
#include <QMenu>

namespace warplon {

namespace {

enum DesignViewText : int { ViewCaption = 0, ViewCopy = 1, ViewSave = 2, ViewZoom = 3 };

constexpr std::array<int, 3> kZoomFactors = {1, 2, 4};

} // namespace

TDesignView_F::TDesignView_F(const QString &programDirectory, const QString &language,
                             QWidget *parent)
    : TViewer_F(programDirectory, language, parent)
{
    setObjectName(QStringLiteral("DesignView_F"));
    TStringTable texts;
    LoadTable(texts, programDirectory, language, QStringLiteral("DesignViewer"));
    setWindowTitle(texts.TextAt(ViewCaption));
    pmvToClipBoard->setText(texts.TextAt(ViewCopy));
    pmvSave->setText(texts.TextAt(ViewSave));

    QMenu *zoom = new QMenu(texts.TextAt(ViewZoom), pmViewer);
    zoom->setObjectName(QStringLiteral("pmZoom"));
    pmViewer->insertMenu(pmViewer->actions().value(0), zoom);
    pmViewer->insertSeparator(pmViewer->actions().value(1));
    auto *group = new QActionGroup(this);
    const char *const captions[] = {"X 1/4", "X 1/2", "X 1"};
    for (size_t i = 0; i < zoomItems.size(); ++i) {
        QAction *item = zoom->addAction(QLatin1String(captions[i]));
        item->setCheckable(true);
        group->addAction(item);
        const int factor = kZoomFactors[i];
        connect(item, &QAction::triggered, this, [this, factor] {
            SetZoom(factor);
            emit zoomChosen(factor);
        });
        zoomItems[i] = item;
    }
    SetZoom(m_zoom);
}

void TDesignView_F::SetZoom(int factor)
{
    for (size_t i = 0; i < zoomItems.size(); ++i) {
        if (kZoomFactors[i] == factor) {
            m_zoom = factor;
            zoomItems[i]->setChecked(true);
        }
    }
}

} // namespace warplon
