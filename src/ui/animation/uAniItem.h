#pragma once
// The current item's animation when used in battle.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormI : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormI(Workspace& ws, QWidget* parent = nullptr) : TFrameSetEditor(ws, *findEditor("uAniItem"), parent) {}
};

}  // namespace quillmark
