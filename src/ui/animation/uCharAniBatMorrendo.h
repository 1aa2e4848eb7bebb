#pragma once
// The hero dying in battle.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormW : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormW(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniBatMorrendo"), parent) {}
};

}  // namespace quillmark
