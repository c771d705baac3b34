#include "export/ExportFields.h"

#include "document/OpenGLTemplateDoc.h"

namespace trackexport {

std::string RequestFromFields(const COpenGLTemplateDoc& document, const ExportFields& fields, ExportRequest& request)
{
    if (fields.path.empty()) return kNoFile;
    request.outputPath = fields.path;
    if (fields.formatIndex >= 0 && fields.formatIndex < kFormatCount) {
        const auto format = static_cast<ExportFormat>(fields.formatIndex);
        if (FormatFromPath(fields.path) != format) request.outputPath += FormatExtension(format);
    }
    ExportOptions& o = request.options;
    if (fields.solid) o.thickness = fields.thickness;
    o.ballDiameterMm = fields.marbleSize ? fields.ballDiameterMm : 0.0;
    o.resolution = fields.resolution;
    if (fields.choice == kSelectedSurface) {
        const SurfaceSection* selected = document.selectedSurface;
        if (!selected) return kNoSelectedSurface;
        o.scope = ExportScope::OneSurface;
        o.surfaceName = textOf(selected->name);
        o.groupName = textOf(selected->groupName);
    } else if (fields.choice == kOneGroup) {
        o.scope = ExportScope::OneGroup;
        o.groupName = fields.groupName;
    }
    if (fields.marbleSize && fields.ballDiameterMm == 0.0) return BallDiameterPrompt();
    return CheckExportNumbers(o);
}

} // namespace trackexport
