#include "design/DesignHistory.h"

namespace design {

// Recording is not in place yet: the history keeps no steps.
void RecordStep(COpenGLTemplateDoc&, std::string_view) {}

} // namespace design
