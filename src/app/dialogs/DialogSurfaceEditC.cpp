#include "dialogs/DialogSurfaceEditC.h"

#include "surface/SurfaceSection.h"

DialogSurfaceEditC::DialogSurfaceEditC(COpenGLTemplateDoc& document, QWidget* parent)
    : DialogSurfaceEditB(document, parent, kTypeC)
{
}
