#pragma once
// The current monster standing in battle.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormENP : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormENP(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uEnemyParado"), parent) {}
};

}  // namespace quillmark
