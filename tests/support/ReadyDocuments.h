#pragma once

// Documents that are ready when a test declares them.

#include "support/DocumentBuilders.h"

namespace builders {

// A new document: group "main" with the channel surface "a".
struct NewDocument : COpenGLTemplateDoc {
    explicit NewDocument(DocumentPeers* peers = nullptr) : COpenGLTemplateDoc(peers) { OnNewDocument(); }
};

// The document of fillTrackDocument.
struct TrackDocument : COpenGLTemplateDoc {
    explicit TrackDocument(DocumentPeers* peers = nullptr) : COpenGLTemplateDoc(peers) { fillTrackDocument(*this); }
};

} // namespace builders
