// libFuzzer target for the document reader. Every input must either be
// refused with an ArchiveError or read into contents that write back to
// bytes which read again to the very same bytes. Inputs whose surfaces sample
// small meshes also go through the whole open: rebuild and re-linking.

#include "document/OpenGLTemplateDoc.h"

#include <cstdlib>

namespace {

std::vector<std::uint8_t> write(const DocumentContents& contents)
{
    ArchiveWriter writer;
    WriteDocumentRecord(writer, contents.settings, contents.surfaces, contents.groups);
    return writer.release();
}

// Sampling settings whose meshes stay small, so one input stays fast.
bool smallMeshes(const DocumentContents& contents)
{
    for (const auto& s : contents.surfaces) {
        if (s->samplingMode != SamplingMode::PerSpan) return false;
        if (s->subdivisionsU < 1 || s->subdivisionsU > 8 || s->subdivisionsV < 1 || s->subdivisionsV > 8)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    StandaloneSurfaceHost host;
    host.saving = true; // sites are written as they stand, as in a document save
    DocumentContents contents;
    try {
        ArchiveReader reader(std::span(data, size));
        contents = ReadDocumentRecord(reader, &host);
    } catch (const ArchiveError&) {
        return 0;
    }
    const std::vector<std::uint8_t> once = write(contents);
    try {
        ArchiveReader reader(once);
        if (write(ReadDocumentRecord(reader, &host)) != once) std::abort();
    } catch (const ArchiveError&) {
        std::abort(); // what the writer wrote must read again
    }
    if (smallMeshes(contents)) {
        COpenGLTemplateDoc doc;
        std::string error;
        doc.OpenDocumentBytes(std::span(data, size), "input", error);
    }
    return 0;
}
