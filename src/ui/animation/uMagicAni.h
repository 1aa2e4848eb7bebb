#pragma once
// The current spell's animation.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormMA : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormMA(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uMagicAni"), parent) {}
};

}  // namespace quillmark
