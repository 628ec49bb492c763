#pragma once

#include <QList>
#include <QStringView>

namespace zep {

// The words of a CNC program line the editor colours: block numbers (N…),
// G and M codes, axis and other addresses with their values, and comments
// in parentheses or behind ";". Display only: it never changes the text.
class ProgramWords {
public:
    enum class Kind { BlockNumber, GCode, MCode, Axis, Address, Comment };
    struct Word {
        qsizetype start = 0;
        qsizetype length = 0;
        Kind kind = Kind::Address;
        bool operator==(const Word &) const = default;
    };

    static QList<Word> classify(QStringView line);
};

} // namespace zep
