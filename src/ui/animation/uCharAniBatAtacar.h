#pragma once
// The hero moving to the enemy (upper group) and striking (lower group).
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormA : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormA(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniBatAtacar"), parent) {}
};

}  // namespace quillmark
