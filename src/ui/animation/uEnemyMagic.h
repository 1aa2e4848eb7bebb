#pragma once
// The current monster casting a spell.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormEUM : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormEUM(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uEnemyMagic"), parent) {}
};

}  // namespace quillmark
