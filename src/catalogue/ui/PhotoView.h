#pragma once

#include "photos/FilterJob.h"
#include "photos/ZoomFrame.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QProgressBar;
class QPushButton;
class QScrollBar;

namespace zep {


// The large photo view laid over the record editor: the photo 1:1 from its
// top-left corner with scroll bars, a frame dragged from its centre zooms
// the framed part over the whole view, and while zoomed the two block
// filters can be run on what is shown. A double click closes it.
class PhotoView : public QWidget
{
    Q_OBJECT

public:
    using Filter = FilterJob::Filter;

    // The photo is taken over, not copied: a large one is in memory once.
    PhotoView(QImage photo, QWidget *editor);
    ~PhotoView() override;

    bool isZoomed() const { return m_zoomed; }
    bool filterRunning() const;
    // What the view shows when zoomed (the filters' surface).
    const QImage &zoomedImage() const { return m_zoomedImage; }
    QWidget *canvas() const { return m_canvas; }
    QScrollBar *horizontalBar() const { return m_h; }
    QScrollBar *verticalBar() const { return m_v; }
    QPushButton *deBlockButton() const { return m_deBlock; }
    QPushButton *deBlockPlusButton() const { return m_deBlockPlus; }
    QProgressBar *progressBar() const { return m_progress; }
    // Twips a screen pixel is wide, as the zoom frame's limit counts.
    double twipsPerPixel() const;

    void runFilter(Filter filter);
    void closeView();

Q_SIGNALS:
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void RedrawPic();
    void updateScrollBars();
    void zoomTo(const QRect &framePixels);
    void paintCanvas();
    void showFilterButtons(bool shown);
    QPoint toTwips(QPoint pixels) const;

    QImage m_photo;
    QImage m_zoomedImage;
    bool m_zoomed = false;
    ZoomFrame m_frame;
    int m_filterDistance = 6;
    QWidget *m_canvas = nullptr;
    QScrollBar *m_h = nullptr;
    QScrollBar *m_v = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_deBlock = nullptr;
    QPushButton *m_deBlockPlus = nullptr;
    QPointer<FilterJob> m_filter; // the filter running, if any
};

} // namespace zep
