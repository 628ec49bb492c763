#pragma once

#include <QImage>

namespace zep {

// A 24-bit bitmap buffer: three bytes a pixel, rows padded to four bytes.
// The JPEG writer takes its pixels from here, so a picture from a scanner or
// a file is brought to one known layout first.
class cDIBSection {
public:
    cDIBSection() = default;

    // Takes the picture's pixel size and draws the picture into a new
    // buffer of that size. False (and an empty buffer) for a null picture.
    bool CreateFromPicture(const QImage &picture);
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    // 3 x width rounded up to a multiple of 4.
    int BytesPerScanLine() const { return int(m_image.bytesPerLine()); }
    uchar *DIBSectionBitsPtr() { return m_image.isNull() ? nullptr : m_image.bits(); }
    const uchar *DIBSectionBitsPtr() const { return m_image.isNull() ? nullptr : m_image.constBits(); }
    void ClearUp() { m_image = QImage(); }
    bool isNull() const { return m_image.isNull(); }

    // The buffer as an image (shares the pixels).
    const QImage &image() const { return m_image; }

private:
    QImage m_image; // Format_RGB888
};

} // namespace zep
