#pragma once

#include "export/ExportMesh.h"

namespace trackexport {

// Closes an open sheet into a solid `thickness` thick: the sheet, its copy
// moved by thickness against each vertex normal (away from the ball side)
// with the winding turned, and a wall of two triangles along every open edge
// of the sheet (its boundary and its holes' edges). Each edge of the result
// is shared by exactly two triangles of opposite directions, and the faces
// point out of the solid. The caller checks first that the offset does not
// fold over (FoldThickness).
void CloseIntoSolid(ExportMesh& sheet, double thickness);

// The thickness at which the first triangle of the sheet's offset copy turns
// over: where the surface bends away from the ball side, about its smallest
// radius of curvature there. Infinite when no offset ever folds.
double FoldThickness(const ExportMesh& sheet);

} // namespace trackexport
