#pragma once
// The current monster attacking.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormEAT : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormEAT(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uEnemyAtacando"), parent) {}
};

}  // namespace quillmark
