#include "catalogue/ui/PhotoArea.h"

#include "app/ErrorReport.h"
#include "app/ProgramSettings.h"
#include "app/ThreadJob.h"
#include "app/Prompts.h"
#include "catalogue/ui/PhotoView.h"
#include "catalogue/ui/ScanSourceDialog.h"
#include "photos/PhotoFiles.h"
#include "photos/PhotoReader.h"
#include "photos/RecordPhotos.h"
#include "photos/SaneScanner.h"
#include "photos/ScanJob.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace zep {

namespace {

const QSize kPreviewSize(240, 180);

QStringList localFiles(const QMimeData *data)
{
    QStringList out;
    if (!data || !data->hasUrls())
        return out;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            out << url.toLocalFile();
    return out;
}

} // namespace

PhotoArea::PhotoArea(Context context, QWidget *parent)
    : QGroupBox(QStringLiteral("Fotos"), parent), m_ctx(std::move(context))
{
    setObjectName(QStringLiteral("fraFotos"));
    setAcceptDrops(true);
    m_scanner = m_ctx.scanner;
    if (!m_scanner) {
        m_ownScanner = std::make_unique<SaneScanner>();
        m_scanner = m_ownScanner.get();
    }

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("picFoto"));
    m_preview->setFixedSize(kPreviewSize + QSize(4, 4));
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setToolTip(QStringLiteral("Doppelklick zeigt das Foto groß"));
    m_preview->installEventFilter(this);
    m_selector = new QScrollBar(Qt::Horizontal, this);
    m_selector->setObjectName(QStringLiteral("HScrollFoto"));
    m_number = new QLabel(this);
    m_number->setObjectName(QStringLiteral("lblFotoNummer"));
    m_number->setAlignment(Qt::AlignCenter);

    auto makeButton = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    m_fromFile = makeButton("cmdFotoDatei", QStringLiteral("Foto hinzufügen (aus Datei)"));
    m_fromScanner = makeButton("cmdFotoTwain", QStringLiteral("Foto hinzufügen (über TWAIN)"));
    m_source = makeButton("cmdTwainQuelle", QStringLiteral("TWAIN-Quelle wählen..."));
    m_delete = makeButton("cmdFotoLoeschen", QStringLiteral("Foto löschen"));
    m_large = makeButton("cmdFotoGross", QStringLiteral("Foto groß zeigen"));
    m_scanLabel = new QLabel(QStringLiteral("TWAIN einlesen läuft..."), this);
    m_scanLabel->setObjectName(QStringLiteral("lblTwain"));
    m_scanLabel->hide();
    m_cancelScan = makeButton("cmdTwainAbbrechen", QStringLiteral("Abbrechen"));
    m_cancelScan->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview, 0, Qt::AlignHCenter);
    layout->addWidget(m_selector);
    layout->addWidget(m_number);
    for (QPushButton *b : {m_fromFile, m_fromScanner, m_source, m_delete, m_large})
        layout->addWidget(b);
    auto *scanRow = new QHBoxLayout;
    scanRow->addWidget(m_scanLabel, 1);
    scanRow->addWidget(m_cancelScan);
    layout->addLayout(scanRow);
    layout->addStretch();

    connect(m_selector, &QScrollBar::valueChanged, this, &PhotoArea::showPhoto);
    connect(m_fromFile, &QPushButton::clicked, this, &PhotoArea::addFromFile);
    connect(m_fromScanner, &QPushButton::clicked, this, &PhotoArea::addFromScanner);
    connect(m_source, &QPushButton::clicked, this, &PhotoArea::chooseScanSource);
    connect(m_delete, &QPushButton::clicked, this, &PhotoArea::deletePhoto);
    connect(m_large, &QPushButton::clicked, this, &PhotoArea::showLarge);
    connect(m_cancelScan, &QPushButton::clicked, this, &PhotoArea::cancelScan);
    FotosEintragen(QString());
}

PhotoArea::~PhotoArea()
{
    // The scan must end before the scanner it uses goes; nothing is told to
    // a window that is going.
    if (m_scan)
        m_scan->disconnect(this);
    endScanJob();
}

void PhotoArea::startScanJob(ThreadJob *job)
{
    endScanJob();
    m_scan = job;
    connect(job, &Job::finished, job, &QObject::deleteLater);
    job->start();
}

void PhotoArea::endScanJob()
{
    // One access to the scanner at a time: the next begins once this one
    // has let go of the device.
    if (!m_scan)
        return;
    m_scan->cancel();
    m_scan->wait();
}

QPushButton *PhotoArea::button(const QString &objectName) const
{
    return findChild<QPushButton *>(objectName);
}

QString PhotoArea::path(int number) const
{
    if (number < 1 || number > count())
        return {};
    return RecordPhotos(m_ctx.fotoVerzeichnis, m_storedName).path(m_names.at(number - 1));
}

int PhotoArea::selected() const
{
    return count() > 0 ? m_selector->value() : 0;
}

void PhotoArea::select(int number)
{
    m_selector->setValue(number);
}

void PhotoArea::FotosEintragen(const QString &storedName)
{
    m_storedName = storedName;
    RecordPhotos::Listing listing;
    if (!storedName.isEmpty())
        listing = RecordPhotos(m_ctx.fotoVerzeichnis, storedName).list();
    m_names = listing.names;
    if (listing.tooMany)
        m_ctx.prompts.message(QStringLiteral("Es sind zu viele Fotos für diese Datei gefunden worden. Verständigen Sie "
                                             "den Entwickler um die Grenze hochzusetzen!"),
                              QStringLiteral("Fehler!"), PromptIcon::Exclamation);
    const bool any = count() > 0;
    {
        const QSignalBlocker quiet(m_selector);
        m_selector->setRange(any ? 1 : 0, any ? count() : 0);
        m_selector->setValue(any ? 1 : 0);
    }
    m_selector->setEnabled(any);
    m_delete->setEnabled(any);
    m_large->setEnabled(any);
    showPhoto(any ? 1 : 0);
}

void PhotoArea::showPhoto(int number)
{
    m_previewImage = QImage();
    m_preview->clear();
    m_number->setText(count() > 0 ? QStringLiteral("Foto ") + QString::number(number) + QStringLiteral(" von ")
                                        + QString::number(count())
                                  : QStringLiteral("keine Fotos"));
    const QString file = path(number);
    if (file.isEmpty())
        return;
    const PhotoReader::Result read = PhotoReader::readScaled(file, kPreviewSize);
    if (read.image.isNull()) {
        tellUnreadable(file, read);
        return;
    }
    m_previewImage = read.image;
    m_preview->setPixmap(QPixmap::fromImage(read.image));
}

void PhotoArea::tellUnreadable(const QString &file, const PhotoReader::Result &read)
{
    m_ctx.prompts.message(PhotoReader::unreadableText(file, read), QStringLiteral("Foto"), PromptIcon::Exclamation);
}

void PhotoArea::addFromFile()
{
    const QString start = ProgramSettings::defaultFotoDir.read(m_ctx.settings, m_ctx.fotoVerzeichnis);
    const QString chosen = m_ctx.prompts.openFile(
        QStringLiteral("Bilddatei wählen..."),
        QStringLiteral("Bilddateien (*.jpg, *.gif, *.bmp)|*.jpg;*.gif;*.bmp|alle Dateien (*.*)|*.*"), start);
    if (chosen.isEmpty())
        return;
    addFile(chosen, true);
}

void PhotoArea::addFiles(const QStringList &paths)
{
    for (const QString &file : paths)
        addFile(file, false);
}

void PhotoArea::addFile(const QString &file, bool rememberFolder)
{
    if (m_storedName.isEmpty())
        return;
    const RecordPhotos photos(m_ctx.fotoVerzeichnis, m_storedName);
    RecordPhotos::Added added;
    const bool copied = runWithRetry(m_ctx.prompts, QStringLiteral("Aufgetreten in Form3.Command1_Click"),
                                     [&]() -> std::optional<ErrorInfo> {
                                         added = photos.addFromFile(file);
                                         return added.error;
                                     });
    if (!copied)
        return;
    // Only pictures: a program file chosen or dropped by mistake must not
    // become a "photo".
    if (!added.refused.isEmpty()) {
        m_ctx.prompts.message(added.refused, QStringLiteral("Foto"), PromptIcon::Exclamation);
        return;
    }
    if (added.number == 0) {
        m_ctx.prompts.message(QStringLiteral("Kein freier Fotoname verfügbar! Entwickler kontaktieren!"),
                              QStringLiteral("Abbruch!"), PromptIcon::Exclamation);
        return;
    }
    FotosEintragen(m_storedName);
    select(int(m_names.indexOf(QFileInfo(added.path).fileName())) + 1);
    if (rememberFolder)
        ProgramSettings::defaultFotoDir.write(m_ctx.settings, QFileInfo(file).absolutePath() + QLatin1Char('/'));
}

void PhotoArea::setScanning(bool on)
{
    m_scanLabel->setVisible(on);
    m_cancelScan->setVisible(on);
    m_fromScanner->setEnabled(!on);
    m_source->setEnabled(!on);
}

bool PhotoArea::scanRunning() const
{
    return !m_scanLabel->isHidden();
}

void PhotoArea::addFromScanner()
{
    if (scanRunning() || m_storedName.isEmpty())
        return;
    setScanning(true);
    const QString device = ProgramSettings::twainQuelle.read(m_ctx.settings);
    auto *job = new ScanJob(*m_scanner, device, this);
    connect(job, &Job::finished, this, [this, job] {
        const ImageScanner::Result result = job->scan();
        scanDone(result.image, job->isCancelled() || result.cancelled);
    });
    startScanJob(job);
}

void PhotoArea::cancelScan()
{
    endScanJob();
    setScanning(false);
}

void PhotoArea::scanDone(const QImage &image, bool cancelled)
{
    setScanning(false);
    if (cancelled)
        return;
    if (image.isNull()) {
        m_ctx.prompts.message(QStringLiteral("Entweder wurde kein Bild eingelesen oder der Transfer über das Clipboard "
                                             "schlug fehl!"),
                              QStringLiteral("TWAIN-Error"), PromptIcon::Information);
        return;
    }
    const RecordPhotos photos(m_ctx.fotoVerzeichnis, m_storedName);
    const RecordPhotos::Added added = photos.addPicture(image, ProgramSettings::jpgQualitaet.read(m_ctx.settings));
    if (added.number == 0) {
        m_ctx.prompts.message(QStringLiteral("Kein Platz für mehr als ") + QString::number(PhotoFiles::kMaxPhotos)
                                  + QStringLiteral(" Fotos vorgesehen!"),
                              QStringLiteral("Abbruch!"), PromptIcon::Exclamation);
        return;
    }
    if (added.error)
        m_ctx.prompts.message(QStringLiteral("Die Datei: '") + QDir::toNativeSeparators(added.path)
                                  + QStringLiteral("' konnte nicht gespeichert werden! Eventuell schlug die Umwandlung "
                                                   "zu JPG fehl. Wenn dieser Fehler häufig auftritt kontaktieren Sie "
                                                   "die Fa. Quorvel."),
                              QStringLiteral("ZEP"), PromptIcon::Exclamation);
    FotosEintragen(m_storedName);
    if (!added.error)
        select(int(m_names.indexOf(QFileInfo(added.path).fileName())) + 1);
}

void PhotoArea::chooseScanSource()
{
    if (scanRunning())
        return;
    // Asking the devices can take seconds (network scanners): off the main
    // thread, the choice opens when the answer is there.
    m_source->setEnabled(false);
    m_fromScanner->setEnabled(false);
    ImageScanner *scanner = m_scanner;
    auto *job = new ThreadJob([scanner](ThreadJob::Control &) { return QVariant::fromValue(scanner->sources()); },
                              this);
    connect(job, &Job::finished, this, [this, job] {
        m_source->setEnabled(true);
        m_fromScanner->setEnabled(true);
        if (!job->isCancelled())
            showSources(job->value().value<QList<ImageScanner::Source>>());
    });
    startScanJob(job);
}

void PhotoArea::showSources(const QList<ImageScanner::Source> &sources)
{
    if (sources.isEmpty()) {
        m_ctx.prompts.message(QStringLiteral("Es wurde kein Scanner und keine Kamera gefunden."),
                              QStringLiteral("TWAIN-Quelle"), PromptIcon::Information);
        return;
    }
    ScanSourceDialog dialog(sources, ProgramSettings::twainQuelle.read(m_ctx.settings), window());
    const int accepted = m_ctx.runModal ? m_ctx.runModal(dialog) : dialog.exec();
    if (accepted == QDialog::Accepted && !dialog.chosen().isEmpty())
        ProgramSettings::twainQuelle.write(m_ctx.settings, dialog.chosen());
}

void PhotoArea::deletePhoto()
{
    const QString name = selected() > 0 ? m_names.at(selected() - 1) : QString();
    if (name.isEmpty())
        return;
    const PromptAnswer answer = m_ctx.prompts.message(QStringLiteral("Wollen Sie wirklich dieses Foto löschen?"),
                                                      QStringLiteral("Foto Löschen?"), PromptIcon::Question,
                                                      PromptButtons::YesNo);
    if (answer == PromptAnswer::Yes) {
        const RecordPhotos photos(m_ctx.fotoVerzeichnis, m_storedName);
        runWithRetry(m_ctx.prompts, QStringLiteral("Aufgetreten in Form3.Command2_Click"),
                     [&] { return photos.remove(name); });
    }
    FotosEintragen(m_storedName);
}

void PhotoArea::showLarge()
{
    const QString file = path(selected());
    if (file.isEmpty())
        return;
    if (m_view)
        m_view->closeView();
    PhotoReader::Result read = PhotoReader::read(file);
    if (read.image.isNull()) {
        tellUnreadable(file, read);
        return;
    }
    m_view = new PhotoView(std::move(read.image), window());
    connect(m_view, &PhotoView::closed, m_view, &QObject::deleteLater);
    m_view->show();
    m_view->setFocus();
}

PhotoView *PhotoArea::largeView() const
{
    return m_view;
}

bool PhotoArea::closeLargeView()
{
    if (!m_view || m_view->isHidden())
        return false;
    m_view->closeView();
    return true;
}

void PhotoArea::unload()
{
    cancelScan();
    if (m_view)
        m_view->closeView();
    m_previewImage = QImage();
    m_preview->clear();
}

bool PhotoArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_preview && event->type() == QEvent::MouseButtonDblClick) {
        showLarge();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

void PhotoArea::dragEnterEvent(QDragEnterEvent *event)
{
    if (!m_storedName.isEmpty() && !localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PhotoArea::dropEvent(QDropEvent *event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: its messages must not run inside it.
    QTimer::singleShot(0, this, [this, files] { addFiles(files); });
}

} // namespace zep
