#pragma once

#include <QString>

namespace zep {

// Texts for message boxes. A path or file name has no blanks, so a label
// can only break it where it may break a word; without help a long one
// runs off the edge of the box and off the screen.
class MessageText {
public:
    // Words longer than this get break opportunities.
    static constexpr int kLongWord = 30;

    // Puts an invisible break opportunity (U+200B) after each "/", "\",
    // "_", "." and "-" of a long word, and every kLongWord characters where a
    // word has none. Short words, blanks and line breaks stay as they are.
    static QString breakLongWords(const QString &text);
};

} // namespace zep
