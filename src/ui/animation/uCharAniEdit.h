#pragma once
// The hero's walking frames: four columns (Down, Left, Right, Up) of three.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TForm3 : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TForm3(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniEdit"), parent) {}
};

}  // namespace quillmark
