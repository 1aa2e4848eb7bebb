#pragma once
// The hero's dying frames on the map.
#include "ui/animation/uFrameSetEditor.h"

namespace quillmark {

class TFormE : public TFrameSetEditor {
    Q_OBJECT
public:
    explicit TFormE(Workspace& ws, QWidget* parent = nullptr)
        : TFrameSetEditor(ws, *findEditor("uCharAniMorendo"), parent) {}
};

}  // namespace quillmark
