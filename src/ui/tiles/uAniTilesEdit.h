#pragma once
// "Edit Animação": the three frames of an animated tile (its own picture and
// "Imagens\TileAni" + n + "02.bmp" / "03.bmp") and its transparency. "OK"
// writes all three frames, changed or not.
#include "ui/tiles/uTileDialog.h"

namespace quillmark {

class TFormTA : public TTileDialog {
    Q_OBJECT
public:
    explicit TFormTA(Workspace& ws, QWidget* parent = nullptr);

protected:
    std::optional<QString> askPicture() override;
};

}  // namespace quillmark
