#pragma once

class QLineEdit;

namespace zep {

// An input field holding a value that cannot be taken is shown yellow
// (255, 255, 0); the caller keeps the focus there and selects the text.
void markInvalid(QLineEdit *field, bool invalid);

} // namespace zep
