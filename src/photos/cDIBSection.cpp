#include "photos/cDIBSection.h"

#include <QPainter>

namespace zep {

bool cDIBSection::CreateFromPicture(const QImage &picture)
{
    if (picture.isNull()) {
        m_image = QImage();
        return false;
    }
    if (picture.hasAlphaChannel()) {
        // Transparent parts are laid on white, as the picture shows on paper.
        QImage flat(picture.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
        painter.end();
        m_image = flat.convertToFormat(QImage::Format_RGB888);
    } else {
        m_image = picture.convertToFormat(QImage::Format_RGB888);
    }
    return !m_image.isNull();
}

} // namespace zep
