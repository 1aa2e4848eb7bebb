#pragma once
// "Editor de Eventos - Mostrar Mensagem": composes a message command. The
// typed text stays from one use to the next.
#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace quillmark {

class Workspace;
class TForm6;

class TFormMSG : public QDialog {
    Q_OBJECT
public:
    TFormMSG(Workspace& ws, TForm6& editor, QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return Memo1; }
    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }

    // "OK": appends "ShowMessage:" + the text + "&" to the script, then closes.
    void OK();

private:
    Workspace& ws_;
    TForm6& editor_;
    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

}  // namespace quillmark
