#pragma once
// "Mudar Mapa": a map of the project and a cell on it, picked by clicking the
// map drawn small. The hero arrives on that cell facing the way he faced.
#include "model/core/MapGrid.h"

#include <QDialog>
#include <QImage>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;

namespace quillmark {

class Workspace;

// A map drawn small (both tile layers), with the picked cell framed in red.
class TMapThumb : public QWidget {
    Q_OBJECT
public:
    explicit TMapThumb(QWidget* parent = nullptr);
    void setMap(const QImage& picture, int side);
    int side() const { return side_; }
    int cellSize() const { return cell_; }
    // The picked cell (1-based), 0 when none.
    int column() const { return column_; }
    int row() const { return row_; }
    void pick(int column, int row);
    // Where a cell is drawn, for the windows that drive this one.
    QPoint cellCentre(int column, int row) const;

signals:
    void picked(int column, int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    int side_ = 0;
    int cell_ = 4;
    int column_ = 0;
    int row_ = 0;
};

class TFormMudarMapa : public QDialog {
    Q_OBJECT
public:
    TFormMudarMapa(Workspace& ws, QWidget* parent = nullptr);

    QComboBox* maps() const { return maps_; }
    TMapThumb* thumb() const { return thumb_; }
    QPushButton* okButton() const { return btnOK_; }
    QPushButton* cancelButton() const { return btnCancel_; }

    // The command for the chosen map and cell (after "OK").
    std::string command() const;

    void OK();

private:
    void showMap(int index);

    Workspace& ws_;
    QComboBox* maps_ = nullptr;
    TMapThumb* thumb_ = nullptr;
    QLabel* where_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

}  // namespace quillmark
