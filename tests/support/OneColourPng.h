#pragma once

#include <QString>

namespace zep::test {

// Writes a PNG of one colour (8-bit RGB, decoded by Qt as 32 bits a pixel)
// without ever holding the picture: a 20000 × 20000 photo takes about 2 MB
// on disk and 1.6 GB once decoded, as a real one of that size would.
void writeOneColourPng(const QString &path, int width, int height, int red, int green, int blue);

} // namespace zep::test
