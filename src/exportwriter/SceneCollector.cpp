#include "exportwriter/SceneCollector.h"

namespace trackexport {

namespace {

aiVector3D narrowed(const Vec3& v)
{
    return {static_cast<ai_real>(v.x), static_cast<ai_real>(v.y), static_cast<ai_real>(v.z)};
}

aiMesh* convert(const ExportMesh& mesh)
{
    auto converted = std::make_unique<aiMesh>();
    converted->mName = mesh.name;
    converted->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    converted->mNumVertices = static_cast<unsigned>(mesh.positions.size());
    converted->mVertices = new aiVector3D[mesh.positions.size()];
    converted->mNormals = new aiVector3D[mesh.normals.size()];
    for (std::size_t k = 0; k < mesh.positions.size(); ++k) {
        converted->mVertices[k] = narrowed(mesh.positions[k]);
        converted->mNormals[k] = narrowed(mesh.normals[k]);
    }
    converted->mNumFaces = static_cast<unsigned>(mesh.triangles.size());
    converted->mFaces = new aiFace[mesh.triangles.size()];
    for (std::size_t k = 0; k < mesh.triangles.size(); ++k) {
        aiFace& face = converted->mFaces[k];
        face.mNumIndices = 3;
        face.mIndices = new unsigned[3]{mesh.triangles[k][0], mesh.triangles[k][1], mesh.triangles[k][2]};
    }
    return converted.release();
}

aiMaterial* trackMaterial()
{
    auto* material = new aiMaterial;
    const aiString name("track");
    material->AddProperty(&name, AI_MATKEY_NAME);
    const aiColor3D grey(0.78f, 0.78f, 0.78f);
    material->AddProperty(&grey, 1, AI_MATKEY_COLOR_DIFFUSE);
    return material;
}

} // namespace

SceneCollector::~SceneCollector()
{
    if (!scene_)
        for (aiMesh* mesh : meshes_) delete mesh;
}

void SceneCollector::Take(ExportMesh mesh)
{
    meshes_.reserve(meshes_.size() + 1);
    meshes_.push_back(convert(mesh));
    names_.push_back(mesh.name);
    triangleCounts_.push_back(mesh.triangles.size());
}

const aiScene& SceneCollector::Scene()
{
    if (scene_) return *scene_;
    scene_ = std::make_unique<aiScene>();
    scene_->mNumMaterials = 1;
    scene_->mMaterials = new aiMaterial*[1]{trackMaterial()};
    scene_->mNumMeshes = static_cast<unsigned>(meshes_.size());
    scene_->mMeshes = new aiMesh*[meshes_.size()];
    auto* root = new aiNode("track");
    scene_->mRootNode = root;
    root->mNumChildren = scene_->mNumMeshes;
    root->mChildren = new aiNode*[meshes_.size()];
    for (unsigned k = 0; k < scene_->mNumMeshes; ++k) {
        scene_->mMeshes[k] = meshes_[k];
        auto* node = new aiNode(names_[k]);
        node->mParent = root;
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{k};
        root->mChildren[k] = node;
    }
    return *scene_;
}

} // namespace trackexport
