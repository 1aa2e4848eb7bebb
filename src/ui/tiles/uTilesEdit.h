#pragma once
// "Tiles Edit": replaces the picture of one tile and sets its transparency.
// The tile keeps its file name: "OK" rewrites the file its "File" names.
#include "ui/tiles/uTileDialog.h"

namespace quillmark {

class TFormTi : public TTileDialog {
    Q_OBJECT
public:
    static constexpr const char* kPictureFilter = "Bitmaps (*.bmp)|*.bmp";

    explicit TFormTi(Workspace& ws, QWidget* parent = nullptr);

protected:
    std::optional<QString> askPicture() override;
};

}  // namespace quillmark
