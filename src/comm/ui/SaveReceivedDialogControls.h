#pragma once

class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace zep {

// The controls of the save dialog for a received program and their layout;
// SaveReceivedDialog gives them their behaviour.
struct SaveReceivedDialogControls {
    void build(QDialog *dialog);

    QLabel *heading = nullptr;
    QRadioButton *asNewFile = nullptr;
    QRadioButton *asUpdate = nullptr;

    QWidget *newPanel = nullptr;
    QLineEdit *newName = nullptr;

    QWidget *updatePanel = nullptr;
    QLabel *selFile = nullptr;
    QLabel *selDrawing = nullptr;
    QLabel *selOrder = nullptr;
    QLabel *selDesignation = nullptr;
    QLabel *selMachine = nullptr;
    QPushButton *takeOver = nullptr;
    QLineEdit *targetName = nullptr;
    QPushButton *compare = nullptr;

    QGroupBox *previewBox = nullptr;
    QPlainTextEdit *preview = nullptr;
    QLabel *editedMarker = nullptr;

    QPushButton *save = nullptr;
    QPushButton *discard = nullptr;
};

} // namespace zep
