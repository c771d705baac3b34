#include "view/FrameDrawer.h"

#include "render/Capture.h"
#include "render/ScreenText.h"
#include "render/Texture.h"

SceneFrameDrawer::SceneFrameDrawer(COpenGLTemplateDoc& document, const render::OutlineFontProvider* font)
    : document_(document), font_(font)
{
}

void SceneFrameDrawer::Initialize() { renderer_.Initialize(font_, render::FindBallTexture()); }

void SceneFrameDrawer::Shutdown()
{
    render::SceneRenderer::DeleteRetiredLists(document_);
    renderer_.Shutdown();
}

void SceneFrameDrawer::DrawFrame(const render::FrameRequest& request) { renderer_.RenderFrame(document_, request); }

bool SceneFrameDrawer::SaveImage(const render::FrameRequest& request, int width, int height,
                                 const std::string& fileName)
{
    return renderer_.SaveImageFile(document_, request, width, height, fileName);
}

OffscreenPicture SceneFrameDrawer::RenderPrint(const render::FrameRequest& request, int width, int height)
{
    OffscreenPicture picture;
    picture.bgra = renderer_.RenderOffscreen(document_, request, width, height, render::RenderMode::Print);
    if (!picture.bgra.empty()) {
        picture.width = width;
        picture.height = height;
    }
    return picture;
}

render::FrameSize SceneFrameDrawer::SaveMovieFrame(const render::FrameRequest& request, int frame)
{
    return renderer_.SaveMovieFrame(document_, request, frame);
}

void SceneFrameDrawer::ReadFrame(int width, int height, std::vector<std::uint8_t>& bgra)
{
    render::ReadPixelsBgra(width, height, bgra);
}

void SceneFrameDrawer::DrawRecordingMark(std::int64_t frames, int width, int height)
{
    render::DrawRecordingMark(frames, width, height);
}
