#pragma once
// "Propriedades do Mapa": the per-map settings of the loaded map. A click on
// the battle background picture chooses a new one, written at once; the
// auto-run event, the random-battle switch and the three enemies are read when
// the dialog opens and stored in the map settings table when it closes.
#include "model/core/Picture.h"
#include "model/mapedit/MapProperties.h"

#include <QDialog>
#include <QLabel>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;

namespace quillmark {

class Workspace;

// A picture that is shown stretched and answers a left click.
class TClickImage : public QLabel {
    Q_OBJECT
public:
    explicit TClickImage(QWidget* parent = nullptr);
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TFormMP : public QDialog {
    Q_OBJECT
public:
    // Loads the picture "Imagens\grass.bmp" of the editor folder and fills
    // hooks.showMapProperties. The workspace outlives the dialog.
    explicit TFormMP(Workspace& ws, QWidget* parent = nullptr);
    ~TFormMP() override;

    // The map-properties command: needs an open project and a loaded map.
    void Execute();

    // A click on the picture: choose a picture, show it and write it as the
    // battle background of the current map.
    void Image1Click();

    const Picture& picture() const { return picture_; }

    // The controls filled from settings (the drop-downs offer the monsters'
    // names), and the settings the controls show.
    void showSettings(const MapSettings& settings);
    MapSettings shownSettings() const;

    QGroupBox* GroupAutoRun = nullptr;
    QPlainTextEdit* MemoAutoRun = nullptr;  // "EvetoAutoRun"
    QGroupBox* GroupBatalhas = nullptr;
    QCheckBox* CheckBatalhas = nullptr;  // "EnemysTipe"
    QComboBox* Enemy1 = nullptr;
    QComboBox* Enemy2 = nullptr;
    QComboBox* Enemy3 = nullptr;
    TClickImage* Image1 = nullptr;

private:
    void loadPicture(const std::string& map);
    void showPicture();

    Workspace& ws_;
    Picture picture_;
};

}  // namespace quillmark
