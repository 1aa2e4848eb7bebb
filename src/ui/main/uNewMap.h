#pragma once
// "Novo Mapa": names a new map; its OK hands the name and size to the
// session, which registers the map, writes its empty grid and shows it in the
// upper-layer mode.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quillmark {

class Workspace;

class TOKRightDlg : public QDialog {
    Q_OBJECT
public:
    // Fills the session's new-map link. The workspace outlives the dialog.
    explicit TOKRightDlg(Workspace& ws, QWidget* parent = nullptr);
    ~TOKRightDlg() override;

    // The new-map command (tool-bar button, menu entry, tree menu): needs an
    // open project; shows the dialog.
    void NovoMapa();

    // The dialog's result: OK only after a successful "OK"; cancel at every showing.
    bool resultOk() const { return resultOk_; }
    void clearResult() { resultOk_ = false; }

    // "OK" (also Enter in the name field).
    void OKBtnClick();

    QLineEdit* Edit1 = nullptr;  // "Nome:"
    QLineEdit* Edit2 = nullptr;  // "Tamanho:", 1 to 100
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Workspace& ws_;
    bool resultOk_ = false;
    int size_ = 14;
};

}  // namespace quillmark
