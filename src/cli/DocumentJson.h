#pragma once

#include <nlohmann/json.hpp>

class COpenGLTemplateDoc;
class SurfaceSection;

namespace cli {

// Settings, ball start, groups and surfaces of an open document.
nlohmann::ordered_json DocumentInfo(COpenGLTemplateDoc& document);
// Point, derivatives, normal, curvature and tangent angle at (u, v).
nlohmann::ordered_json SurfaceEvaluation(SurfaceSection& surface, double u, double v);

} // namespace cli
