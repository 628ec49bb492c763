#include "catalogue/ui/PhotoView.h"

#include "photos/BlockFilters.h"
#include "photos/FilterJob.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

namespace zep {

namespace {

const QColor kBackground(Qt::darkGray);

} // namespace

PhotoView::PhotoView(QImage photo, QWidget *editor)
    : QWidget(editor), m_photo(std::move(photo))
{
    // In place where the format allows (a photo with alpha channel): no
    // second copy of a large photo.
    m_photo.convertTo(QImage::Format_RGB32);
    setObjectName(QStringLiteral("PhotoView"));
    setAutoFillBackground(true);
    m_filterDistance = BlockFilters::kDefaultDistance;

    m_canvas = new QWidget(this);
    m_canvas->setObjectName(QStringLiteral("picGross"));
    m_canvas->setCursor(Qt::CrossCursor);
    m_canvas->setMouseTracking(false);
    m_canvas->setAttribute(Qt::WA_OpaquePaintEvent);
    m_canvas->installEventFilter(this);
    m_h = new QScrollBar(Qt::Horizontal, this);
    m_v = new QScrollBar(Qt::Vertical, this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgFilter"));
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_deBlock = new QPushButton(QStringLiteral("DeBlock"), this);
    m_deBlock->setObjectName(QStringLiteral("cmdDeBlock"));
    m_deBlock->setToolTip(QStringLiteral("Versucht die Blöcke zu reduzieren"));
    m_deBlockPlus = new QPushButton(QStringLiteral("DeBlock+"), this);
    m_deBlockPlus->setObjectName(QStringLiteral("cmdDeBlockPlus"));
    m_deBlockPlus->setToolTip(QStringLiteral("Versucht die Blöcke zu reduzieren und Konturen zu verstärken"));
    // Buttons and progress bar come and go without moving the picture.
    for (QWidget *w : {static_cast<QWidget *>(m_progress), static_cast<QWidget *>(m_deBlock),
                       static_cast<QWidget *>(m_deBlockPlus)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    showFilterButtons(false);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(m_canvas, 0, 0);
    grid->addWidget(m_v, 0, 1);
    grid->addWidget(m_h, 1, 0);
    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 4, 4, 4);
    bottom->addWidget(m_progress, 1);
    bottom->addStretch();
    bottom->addWidget(m_deBlock);
    bottom->addWidget(m_deBlockPlus);
    grid->addLayout(bottom, 2, 0, 1, 2);
    // All room goes to the picture, whether or not the vertical bar shows
    // (the expanding progress bar below would otherwise claim half of it).
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);
    m_canvas->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    connect(m_h, &QScrollBar::valueChanged, this, &PhotoView::RedrawPic);
    connect(m_v, &QScrollBar::valueChanged, this, &PhotoView::RedrawPic);
    connect(m_deBlock, &QPushButton::clicked, this, [this] { runFilter(Filter::DeBlock); });
    connect(m_deBlockPlus, &QPushButton::clicked, this, [this] { runFilter(Filter::DeBlockPlus); });

    setGeometry(editor->rect());
    editor->installEventFilter(this);
    raise();
}

PhotoView::~PhotoView() = default;

bool PhotoView::filterRunning() const
{
    return (m_filter && m_filter->isRunning()) || !m_progress->isHidden();
}

double PhotoView::twipsPerPixel() const
{
    return 1440.0 / qMax(1, logicalDpiX());
}

QPoint PhotoView::toTwips(QPoint pixels) const
{
    return QPoint(qRound(pixels.x() * twipsPerPixel()), qRound(pixels.y() * twipsPerPixel()));
}

void PhotoView::showFilterButtons(bool shown)
{
    m_deBlock->setVisible(shown);
    m_deBlockPlus->setVisible(shown);
}

void PhotoView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateScrollBars();
}

void PhotoView::updateScrollBars()
{
    // The range ends where the photo's far edge meets the view's.
    const QSize view = m_canvas->size();
    m_h->setRange(0, qMax(0, m_photo.width() - view.width()));
    m_v->setRange(0, qMax(0, m_photo.height() - view.height()));
    m_h->setPageStep(qMax(1, view.width()));
    m_v->setPageStep(qMax(1, view.height()));
    m_h->setVisible(m_photo.width() > view.width());
    m_v->setVisible(m_photo.height() > view.height());
}

void PhotoView::RedrawPic()
{
    if (m_filter)
        m_filter->cancel();
    m_progress->hide();
    m_zoomed = false;
    m_zoomedImage = QImage();
    showFilterButtons(false);
    m_canvas->setCursor(Qt::CrossCursor);
    m_canvas->update();
}

void PhotoView::zoomTo(const QRect &framePixels)
{
    const QRect area = framePixels.translated(m_h->value(), m_v->value());
    QImage zoomed(m_canvas->size(), QImage::Format_RGB32);
    zoomed.fill(kBackground);
    QPainter painter(&zoomed);
    // Pixels are stretched as they are: the blocks stay visible for the
    // filters to work on.
    painter.drawImage(QRectF(zoomed.rect()), m_photo, QRectF(area));
    painter.end();
    m_zoomedImage = zoomed;
    m_zoomed = true;
    showFilterButtons(true);
    m_canvas->update();
}

void PhotoView::paintCanvas()
{
    QPainter painter(m_canvas);
    painter.fillRect(m_canvas->rect(), kBackground);
    if (m_zoomed)
        painter.drawImage(0, 0, m_zoomedImage);
    else
        painter.drawImage(-m_h->value(), -m_v->value(), m_photo);
    if (const auto frame = m_frame.current()) {
        // Drawn inverted, so it shows on any photo.
        const double tpp = twipsPerPixel();
        const QRect pixels(qRound(frame->x() / tpp), qRound(frame->y() / tpp), qRound(frame->width() / tpp),
                           qRound(frame->height() / tpp));
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(pixels);
    }
}

bool PhotoView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    if (watched != m_canvas)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintCanvas();
        return true;
    case QEvent::Resize:
        updateScrollBars();
        if (m_zoomed)
            RedrawPic();
        break;
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        if (m_zoomed || filterRunning())
            RedrawPic();
        m_frame.press(toTwips(mouse->position().toPoint()));
        return true;
    }
    case QEvent::MouseMove:
        if (m_frame.held()) {
            m_frame.move(toTwips(static_cast<QMouseEvent *>(event)->position().toPoint()));
            m_canvas->update();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        if (!m_frame.held())
            break;
        const std::optional<QRect> frame = m_frame.release();
        m_canvas->update();
        if (frame) {
            const double tpp = twipsPerPixel();
            zoomTo(QRect(qRound(frame->x() / tpp), qRound(frame->y() / tpp), qRound(frame->width() / tpp),
                         qRound(frame->height() / tpp)));
        }
        return true;
    }
    case QEvent::MouseButtonDblClick:
        closeView();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void PhotoView::runFilter(Filter filter)
{
    if (!m_zoomed || m_zoomedImage.isNull())
        return;
    showFilterButtons(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->show();
    auto *job = new FilterJob(m_zoomedImage, filter, m_filterDistance, this);
    m_filter = job;
    connect(job, &Job::percentChanged, m_progress, &QProgressBar::setValue);
    connect(job, &Job::finished, this, [this, job] {
        job->deleteLater();
        // A cancelled filter belongs to a view that is going or unzoomed.
        if (job->result() != Job::Result::Succeeded)
            return;
        m_zoomedImage = job->image();
        m_progress->hide();
        showFilterButtons(true);
        m_canvas->update();
    });
    job->start();
}

void PhotoView::closeView()
{
    if (m_filter)
        m_filter->cancel();
    hide();
    Q_EMIT closed();
}

} // namespace zep
