#pragma once

// " Edit surface  (type C)": the type B dialog with the initial and final
// positions taken from other surfaces too.

#include "dialogs/DialogSurfaceEditB.h"

class DialogSurfaceEditC : public DialogSurfaceEditB {
    Q_OBJECT

public:
    DialogSurfaceEditC(COpenGLTemplateDoc& document, QWidget* parent);
};
