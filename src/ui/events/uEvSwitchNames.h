#pragma once
// "Nomes dos Interruptores": names the project's switches 1 to 100, one row
// each, kept in the table "Data\Interruptores.xml". Reached from the switch
// dialogs of the script window; the scripts keep storing the number.
#include <QDialog>
#include <map>
#include <string>

class QPushButton;
class QTableWidget;

namespace quillmark {

class Workspace;

class TFormSwitchNames : public QDialog {
    Q_OBJECT
public:
    // Shows the names stored in the open project.
    explicit TFormSwitchNames(Workspace& ws, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }

    // "OK": checks every name and writes the table; a refusal keeps the
    // dialog open with every name as typed.
    void OK();

private:
    std::map<int, std::string> shownNames() const;

    Workspace& ws_;
    QTableWidget* table_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

}  // namespace quillmark
