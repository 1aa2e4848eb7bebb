#pragma once
// The event-type selector "Editor de Eventos": starts the edit of a cell
// without an event. "OK" sets the script window's text and menus by the
// chosen type and leads on to it; the last choice stays for the next use.
#include <QDialog>
#include <string>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace quillmark {

class Workspace;
class TForm6;

class TFormSEV : public QDialog {
    Q_OBJECT
public:
    enum Choice { OnActionPress = 0, OnPlayerTouch = 1, AddObject = 2 };

    TFormSEV(Workspace& ws, TForm6& editor, QWidget* parent = nullptr);
    ~TFormSEV() override;

    Choice choice() const;
    void setChoice(Choice choice);
    QRadioButton* choiceButton(Choice choice) const;
    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }

    // Shows the selector modally; after "OK" the script window follows.
    // Returns, when the whole edit has ended, the cell's new event text
    // ("NULL" when the selector was cancelled).
    std::string showSelector();
    // "OK": the script text and menus as the choice asks; closes the selector.
    void OK();

private:
    Workspace& ws_;
    TForm6& editor_;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* group_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

}  // namespace quillmark
