#pragma once
// TFormAbout: "Quillmark 1.0 - Sobre", the about box. Modal, fixed
// 561 x 373, no title-bar buttons; three pictures, who made the editor and how
// to reach them, and a "Close" button.
#include <QDialog>

class QLabel;
class QPushButton;

namespace quillmark {

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 561;
    static constexpr int kHeight = 373;

    explicit TFormAbout(QWidget* parent = nullptr);

    QLabel* image1() const { return image1_; }
    QLabel* image2() const { return image2_; }
    QLabel* image3() const { return image3_; }
    QPushButton* closeButton() const { return close_; }

private:
    QLabel* image1_;
    QLabel* image2_;
    QLabel* image3_;
    QPushButton* close_;
};

}  // namespace quillmark
