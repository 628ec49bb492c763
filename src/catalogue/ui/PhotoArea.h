#pragma once

#include "photos/ImageScanner.h"
#include "photos/PhotoReader.h"

#include <QGroupBox>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QDialog;
class QLabel;
class QPushButton;
class QScrollBar;

namespace zep {

class PhotoView;
class Prompts;
class SettingsStore;
class ThreadJob;

// The record editor's photos: the list with its selector and preview, the
// commands to add (from a file, a scanner or a dropped file), delete and
// show large. The files are handled by RecordPhotos; this only shows them
// and asks.
class PhotoArea : public QGroupBox
{
    Q_OBJECT

public:
    struct Context {
        Prompts &prompts;
        SettingsStore &settings;
        const QString &fotoVerzeichnis; // the current photo directory
        // Runs the source choice (tests answer it).
        std::function<int(QDialog &)> runModal;
        // The scanner; the SANE one when none is given.
        ImageScanner *scanner = nullptr;
    };

    explicit PhotoArea(Context context, QWidget *parent = nullptr);
    ~PhotoArea() override;

    // Lists the record's photos anew and shows the first.
    void FotosEintragen(const QString &storedName);

    int count() const { return int(m_names.size()); }
    const QStringList &names() const { return m_names; }
    int selected() const;
    void select(int number);
    // The preview as shown; null when it is empty.
    QImage preview() const { return m_previewImage; }

    // The commands, as their buttons run them.
    void addFromFile();
    void addFiles(const QStringList &paths);
    void addFromScanner();
    void cancelScan();
    bool scanRunning() const;
    void chooseScanSource();
    void deletePhoto();
    void showLarge();

    PhotoView *largeView() const;
    // Closes the large view; false when none was shown.
    bool closeLargeView();
    // The editor unloads: the scan is stopped, the preview cleared.
    void unload();

    QPushButton *button(const QString &objectName) const;
    QLabel *scanLabel() const { return m_scanLabel; }
    QScrollBar *selector() const { return m_selector; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showPhoto(int number);
    void addFile(const QString &path, bool rememberFolder);
    void scanDone(const QImage &image, bool cancelled);
    void showSources(const QList<ImageScanner::Source> &sources);
    void setScanning(bool on);
    void startScanJob(ThreadJob *job);
    void endScanJob();
    void tellUnreadable(const QString &path, const PhotoReader::Result &read);
    QString path(int number) const;

    Context m_ctx;
    std::unique_ptr<ImageScanner> m_ownScanner;
    ImageScanner *m_scanner = nullptr;
    QString m_storedName;
    QStringList m_names;
    QImage m_previewImage;
    QLabel *m_preview = nullptr;
    QLabel *m_number = nullptr;
    QScrollBar *m_selector = nullptr;
    QPushButton *m_fromFile = nullptr;
    QPushButton *m_fromScanner = nullptr;
    QPushButton *m_source = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_large = nullptr;
    QLabel *m_scanLabel = nullptr;
    QPushButton *m_cancelScan = nullptr;
    QPointer<ThreadJob> m_scan; // the scan or the source listing, while it runs
    QPointer<PhotoView> m_view;
};

} // namespace zep
