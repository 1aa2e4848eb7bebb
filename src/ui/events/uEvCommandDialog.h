#pragma once
// The small dialogs through which the script window writes the commands that
// take arguments: one row per argument (a name chosen from a list, a number,
// a text, a tick), then "OK" and "Cancel". "OK" checks what was given; a
// refusal is shown in the error box and the dialog stays open with every
// entry as it was.
#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quillmark {

class Workspace;

class TFormCMD : public QDialog {
    Q_OBJECT
public:
    TFormCMD(Workspace& ws, const QString& caption, QWidget* parent = nullptr);

    // Rows, each with its object name (for the windows that drive this one).
    QComboBox* addNames(const QString& objectName, const QString& label, const QStringList& names);
    QSpinBox* addNumber(const QString& objectName, const QString& label, int low, int high, int value);
    QLineEdit* addText(const QString& objectName, const QString& label, const QString& value = QString());
    QCheckBox* addCheck(const QString& objectName, const QString& label, bool checked);
    void addRow(const QString& label, QWidget* field);
    void addRow(QWidget* field);

    // Run by "OK": an empty text accepts, any other text is the refusal shown.
    void setCheck(std::function<QString()> check) { check_ = std::move(check); }

    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }

    void OK();

private:
    Workspace& ws_;
    QFormLayout* form_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    std::function<QString()> check_;
};

// The row of a "Mover Heroi" dialog: the steps as letters (C cima, B baixo,
// E esquerda, D direita), typed or added by four arrow buttons.
class TStepsEdit : public QWidget {
    Q_OBJECT
public:
    explicit TStepsEdit(QWidget* parent = nullptr);
    QLineEdit* line() const { return line_; }
    QPushButton* stepButton(char step) const;

private:
    QLineEdit* line_ = nullptr;
    QPushButton* buttons_[4] = {};
};

}  // namespace quillmark
