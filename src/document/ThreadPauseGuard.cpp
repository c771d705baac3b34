#include "document/ThreadPauseGuard.h"

#include "document/OpenGLTemplateDoc.h"

ThreadPauseGuard::ThreadPauseGuard(COpenGLTemplateDoc& document) : ThreadPauseGuard(document.peers()) {}
