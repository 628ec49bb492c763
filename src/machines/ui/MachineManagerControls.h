#pragma once

#include <array>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QWidget;

namespace zep {

// The controls of the machine manager and their layout; MachineManager gives them
// their behaviour. Object names are the ones the handlers were known by.
struct MachineManagerControls {
    void build(QDialog *dialog);

    QTreeWidget *list = nullptr; // "Index", "Maschine", "Standort", "RS232"
    QLineEdit *bezeichnung = nullptr;
    QLineEdit *standort = nullptr;
    QTabWidget *tabs = nullptr;
    QWidget *communicationPage = nullptr;
    QWidget *maintenancePage = nullptr;

    QCheckBox *rs232 = nullptr;
    QComboBox *speed = nullptr;
    QLineEdit *comString = nullptr;
    std::array<QComboBox *, 4> conversions{}; // ECRzu, ELFzu, SCRzu, SLFzu
    QRadioButton *endBySpecial = nullptr;
    QRadioButton *endByTimeout = nullptr;
    QGroupBox *specialFrame = nullptr;
    QRadioButton *asciiCode = nullptr;
    QRadioButton *stringPair = nullptr;
    QLineEdit *code = nullptr;
    QLabel *codeName = nullptr;
    QLineEdit *start = nullptr;
    QLineEdit *end = nullptr;
    QCheckBox *exon = nullptr;
    QCheckBox *sxon = nullptr;
    QCheckBox *waitXon = nullptr;

    std::array<QGroupBox *, 3> taskFrames{};
    std::array<QComboBox *, 3> turnus{};
    std::array<QDateTimeEdit *, 3> dates{};
    std::array<QPlainTextEdit *, 3> notes{};

    // What another station did to the machine shown; hidden while empty.
    QLabel *hint = nullptr;

    QPushButton *newMachine = nullptr;
    QPushButton *deleteMachine = nullptr;
    QPushButton *back = nullptr;
};

} // namespace zep
