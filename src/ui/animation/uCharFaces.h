#pragma once
// The hero's five faces, 81 x 81 and stretched.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormF : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormF(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharFaces"), parent) {}
};

}  // namespace quillmark
