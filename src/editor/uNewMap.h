#pragma once
// "Novo Mapa": names a new map and registers it in the project; the new-map
// command then builds the map's empty grid, saves it and shows it in the
// upper-layer mode.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quillmark {

class Workspace;

class TOKRightDlg : public QDialog {
    Q_OBJECT
public:
    // Fills hooks.newMapCommand. The workspace outlives the dialog.
    explicit TOKRightDlg(Workspace& ws, QWidget* parent = nullptr);
    ~TOKRightDlg() override;

    // The new-map command (tool-bar button, menu entry, tree menu): needs an
    // open project; shows the dialog and, after OK, builds and saves the grid.
    void NovoMapa();

    // The dialog's result: OK only after a successful "OK"; cancel at every showing.
    bool resultOk() const { return resultOk_; }
    void clearResult() { resultOk_ = false; }

    // "OK" (also Enter in the name field).
    void OKBtnClick();

    QLineEdit* Edit1 = nullptr;  // "Nome:"
    QLineEdit* Edit2 = nullptr;  // "Tamanho:", read-only
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
