#include "RenderTestSupport.h"

#include "render/Arrow.h"
#include "render/GlState.h"
#include "simulation/ForcesAndPaths.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>

namespace {

using namespace rendertest;

// Arrows drawn flat in an orthographic view of x in [-1, 6], y in [-3.5, 3.5],
// 20 pixels per unit, looking down -z.
class Arrows : public RenderTest {
protected:
    Picture draw(const Vec3& P, const Vec3& V, double head)
    {
        return drawFlat(140, 140, -1.0, 6.0, -3.5, 3.5, 10.0, [&] {
            GLUquadric* q = gluNewQuadric();
            render::DrawArrow(q, P, V, head);
            gluDeleteQuadric(q);
        });
    }
    // Lit pixels in the column at world x (from y = -3.5 to 3.5).
    static int column(const Picture& p, double x) { return p.litPixels(int((x + 1.0) * 20), 0, int((x + 1.0) * 20) + 1, 140); }
};

TEST_F(Arrows, AShaftEndsInAConeWhoseTipIsAtTheEnd)
{
    const Picture p = draw({0.0, 0.0, 0.0}, {5.0, 0.0, 0.0}, 2.0);
    EXPECT_LE(column(p, 1.0), 2);          // the shaft: a line
    EXPECT_GE(column(p, 3.1), 16);         // the head's base: radius 1, 40 pixels across
    EXPECT_LT(column(p, 4.8), column(p, 3.5)); // narrowing to the tip
    EXPECT_EQ(column(p, 5.3), 0);          // nothing past the tip
}

TEST_F(Arrows, AHeadLengthOfZeroIsAFifthOfTheArrowAndAZeroVectorDrawsNothingAtAll)
{
    EXPECT_EQ(draw({1.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, 0.5).litPixels(), 0);
    EXPECT_EQ(draw({1.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, 0.0).litPixels(), 0);
    const Picture p = draw({0.0, 0.0, 0.0}, {5.0, 0.0, 0.0}, 0.0); // head 1, radius 0.5
    EXPECT_LE(column(p, 3.5), 2);
    EXPECT_GE(column(p, 4.1), 14);
    EXPECT_LE(column(p, 4.1), 22);
}

TEST_F(Arrows, AnArrowStraightAwayFromTheViewerShowsItsHeadsBase)
{
    const Picture p = draw({2.5, 0.0, 0.0}, {0.0, 0.0, -5.0}, 2.0);
    EXPECT_GT(p.litPixels(), 400); // a disc of radius 1: about 1250 pixels
}

// A document whose only drawing is the ball, large, at the focal point.
class Ball : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        quietDocument(doc);
        doc.surfaces[0]->render = 0;
        doc.showBall = true;
        doc.ballRadius = 4.0;
        doc.focalPoint = {0.0, 0.0, 0.0};
        doc.cameraDistance = -12.0;
        request.width = request.height = 120;
    }
    static bool ocean(Rgb c) { return c.b > c.r + 25 && c.b > c.g; }
    static bool land(Rgb c) { return c.g > c.b + 10 && c.g >= c.r; }

    COpenGLTemplateDoc doc;
    render::FrameRequest request;
};

TEST_F(Ball, ShowsTheGlobeTextureAndNothingWithItsSwitchOff)
{
    const Picture p = frame(doc, request);
    EXPECT_GT(p.count(ocean), 300);
    EXPECT_GT(p.count(land), 100);
    doc.showBall = false;
    EXPECT_EQ(frame(doc, request).litPixels(), 0);
}

TEST_F(Ball, WithoutItsTextureFileIsPlainlyShaded)
{
    renderer.Shutdown();
    renderer.Initialize(nullptr, "no-such-texture.bmp");
    const Picture p = frame(doc, request);
    EXPECT_GT(p.litPixels(), 2000);
    EXPECT_EQ(p.count(ocean), 0);
    EXPECT_EQ(p.count(land), 0);
}

TEST_F(Ball, TurnsWithItsOrientation)
{
    const Picture still = frame(doc, request);
    request.simulation.ballOrientation = Matrix4::rotation({0.0, 1.0, 0.0}, kPi);
    const Picture turned = frame(doc, request);
    EXPECT_EQ(still.litPixels(), turned.litPixels()); // the same sphere...
    EXPECT_NE(still.bgra, turned.bgra);               // ...showing its other side
}

TEST_F(Ball, AnAnaglyphDrawsEachEyeThroughItsMaskAndTheFollowCameraShowsItFromBehind)
{
    doc.anaglyphStereo = true;
    doc.anaglyphColors = 4; // blue, then red
    const auto expectBothEyes = [](const Picture& p) {
        EXPECT_EQ(p.count([](Rgb c) { return c.g != 0; }), 0);
        EXPECT_GT(p.count([](Rgb c) { return c.r > 20; }), 1000);
        EXPECT_GT(p.count([](Rgb c) { return c.b > 20; }), 1000);
    };
    expectBothEyes(frame(doc, request));
    // The follow camera's eye at negative z, 12 behind the ball at the origin.
    doc.cameraFollowsBall = true;
    request.simulation.activeCamera = CameraPlacement{{0.0, 0.0, -12.0}, {0.0, 0.0, 12.0}, {0.0, 1.0, 0.0}};
    while (glGetError() != GL_NO_ERROR) continue;
    expectBothEyes(frame(doc, request));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The path and vector overlays from a frame's simulation copy.
class Overlays : public Ball {
protected:
    void SetUp() override
    {
        Ball::SetUp();
        doc.showBall = false;
    }
};

TEST_F(Overlays, ThePastPathIsDrawnInItsPointsColoursWithImpactsInRed)
{
    doc.showBallPathPast = true;
    auto& path = request.simulation.pastPath;
    path.push_back({0, 0, {-4.0, 0.0, 0.0}, {0.0, 1.0, 0.0}});
    path.push_back({0, 0, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}});
    path.push_back({1, 1, {4.0, 0.0, 0.0}, {200.0, 0.0, 0.0}});
    const Picture p = frame(doc, request);
    EXPECT_GT(p.count(&Rgb::green), 20); // the green line
    EXPECT_GT(p.count(&Rgb::blue), 20);  // the blue arrow to the impact
    EXPECT_GT(p.count(&Rgb::red), 50);   // the impact point
}

TEST_F(Overlays, TheFocalPointShowsItsDerivativesOnlyWithItsSwitch)
{
    doc.focalDerivatives.Su = {3.0, 0.0, 0.0};
    doc.focalDerivatives.Sv = {0.0, 0.0, 3.0};
    doc.focalDerivatives.N = {0.0, 3.0, 0.0};
    EXPECT_EQ(frame(doc, request).litPixels(), 0);
    doc.showFocalPoint = true;
    EXPECT_GT(frame(doc, request).count(&Rgb::red), 50);
}

TEST_F(Overlays, TheLaunchArrowShowsOnlyWhileTheVelocityIsBeingSet)
{
    doc.launchDirection = {1.0, 0.0, 0.0};
    doc.launchSpeed = 5.0;
    request.simulation = render::CaptureSimulationFrame(doc);
    EXPECT_EQ(frame(doc, request).litPixels(), 0);
    request.simulation.settingVelocity = true;
    EXPECT_GT(frame(doc, request).litPixels(), 30);
}

TEST_F(Overlays, TheForceCircleIsLaidOutForTheViewsSizeAndDrawnFlatInBlue)
{
    doc.navigation = true;
    request.width = 400;
    request.height = 300;
    const Picture p = frame(doc, request);
    const ForceCircle& circle = doc.simulation.windowCircle;
    ASSERT_TRUE(circle.laidOut);
    EXPECT_EQ(std::pair(circle.centreX.load(), circle.centreY.load()), std::pair(200, 150));
    EXPECT_DOUBLE_EQ(circle.radius.load(), 139.0);
    // Down the middle column (y from the top): the rim, the inside, the
    // spoke from 75 pixels below the centre to the rim, and the outside.
    const Rgb blue{0, 0, 170};
    auto blueNear = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (near(p.at(x + dx, y + dy), blue, 0)) return true;
        return false;
    };
    for (const auto& [below, drawn] : {std::pair{-139, true}, {50, false}, {100, true}, {139, true}, {146, false}})
        EXPECT_EQ(blueNear(200, 150 + below), drawn) << below << " pixels below the centre";
    // A view narrowed or widened later has its circle laid out again, centred.
    request.width = 500;
    frame(doc, request);
    EXPECT_EQ(std::pair(circle.centreX.load(), circle.centreY.load()), std::pair(250, 150));
    EXPECT_DOUBLE_EQ(circle.radius.load(), 139.0);
}

TEST_F(Overlays, APathRolledOnAConstantColouredSurfaceIsDrawnInItsColourNotWhite)
{
    doc.showBallPathPast = true;
    SurfaceSection& plate = *doc.surfaces[0];
    plate.coloring = Coloring::Constant;
    plate.constantColor = {40.0, 200.0, 40.0};
    doc.ballSurface = &plate;
    for (const double x : {-4.0, 0.0, 4.0}) RecordPathPoint(doc, false, false, {x, 0.0, 0.0});
    request.simulation = render::CaptureSimulationFrame(doc);
    const Picture p = frame(doc, request);
    EXPECT_GT(p.count([](Rgb c) { return c.g > 2 * c.r + 10 && c.g > 2 * c.b + 10; }), 20);
    EXPECT_EQ(p.count([](Rgb c) { return c.r > 100 && c.b > 100; }), 0);
}

TEST_F(RenderTest, AFrameGivesBackTheCallersGlState)
{
    COpenGLTemplateDoc doc;
    doc.OnNewDocument();
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);

    frame(doc, 64, 48);

    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.25f);
    EXPECT_EQ(clear[2], 0.75f);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 3.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    GLdouble after[16];
    glGetDoublev(GL_PROJECTION_MATRIX, after);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(after[k], projection[k]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
