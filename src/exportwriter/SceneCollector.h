#pragma once

// Collects the meshes of an export into an Assimp scene: one mesh and one
// node named "GROUP/SURFACE" per surface, under a root node "track". Each
// mesh is converted as it arrives, so only one of ours is held at a time.

#include "export/TrackExport.h"

#include <assimp/scene.h>

#include <memory>
#include <string>
#include <vector>

namespace trackexport {

class SceneCollector : public MeshSink {
public:
    ~SceneCollector() override;
    void Take(ExportMesh mesh) override;

    // The scene of every mesh taken so far; the collector keeps ownership.
    const aiScene& Scene();
    const std::vector<std::string>& names() const { return names_; }
    const std::vector<std::size_t>& triangleCounts() const { return triangleCounts_; }

private:
    std::vector<aiMesh*> meshes_;
    std::vector<std::string> names_;
    std::vector<std::size_t> triangleCounts_;
    std::unique_ptr<aiScene> scene_;
};

} // namespace trackexport
