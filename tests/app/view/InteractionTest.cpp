// The mouse, the arcball, the launch choice, the orbit zoom and the print
// layout of the view, driven without threads or a window.

#include "view/Arcball.h"
#include "view/CameraCommands.h"
#include "view/LaunchControl.h"
#include "view/MouseInteraction.h"
#include "view/PrintLayout.h"
#include "view/ViewCore.h"

#include "simulation/ForcesAndPaths.h"
#include "simulation/Simulation.h"
#include "support/SimulationBuilders.h"
#include "geometry/Matrix4.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <tuple>
#include <utility>

namespace {

double angleOf(const unitquaternion& q) { return 2.0 * std::acos(std::min(1.0, std::fabs(q.w))); }

// --- arcball ---

class ArcballTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller.rotation = unitquaternion();
        arcball.SetWindowSize(400, 200);
    }
    CBallController controller{0.7};
    ArcballControl arcball{controller};
};

TEST_F(ArcballTest, WindowMapsOntoMinusOneToOneWithYUp)
{
    expectVecNear(arcball.Normalise(0, 0), Vec3(-1, 1, 0), 1e-12);
    expectVecNear(arcball.Normalise(400, 200), Vec3(1, -1, 0), 1e-12);
    expectVecNear(arcball.Normalise(200, 100), Vec3(0, 0, 0), 1e-12);
}

TEST_F(ArcballTest, PointsInsideTheBallLieOnItsSphereAndOutsideOnTheSheet)
{
    const double r = 0.7;
    const Vec3 centre = arcball.MapToBall(0, 0);
    EXPECT_DOUBLE_EQ(centre.z, r);
    const Vec3 inside = arcball.MapToBall(0.3, 0.2);
    EXPECT_NEAR(length(inside), r, 1e-12);
    const Vec3 outside = arcball.MapToBall(0.9, 0.0);
    EXPECT_DOUBLE_EQ(outside.z, r * r / (2.0 * 0.9));
    // The two pieces meet where s = r^2 / 2.
    const double edge = r / std::sqrt(2.0);
    EXPECT_NEAR(arcball.MapToBall(edge, 0).z, arcball.MapToBall(edge + 1e-9, 0).z, 1e-6);
}

TEST_F(ArcballTest, AFreeDragTurnsByTheArcBetweenThePointsAndEscapeRestoresThePress)
{
    arcball.MouseDown(200, 100);
    arcball.MouseMove(240, 100);
    const Vec3 a = arcball.MapToBall(0, 0), b = arcball.MapToBall(0.2, 0);
    EXPECT_NEAR(angleOf(controller.rotation), 2.0 * std::asin(length(a - b) / 1.4), 1e-12);
    // The turn is about the vertical axis: a horizontal drag.
    EXPECT_NEAR(controller.rotation.v.x, 0.0, 1e-12);
    EXPECT_NEAR(controller.rotation.v.z, 0.0, 1e-12);
    arcball.Key(kKeyEscape);
    EXPECT_DOUBLE_EQ(controller.rotation.w, 1.0);
    EXPECT_FALSE(arcball.dragging());
}

TEST_F(ArcballTest, ACameraConstrainedDragTurnsOnlyAboutTheChosenAxisAndTabMovesOn)
{
    arcball.SetConstraint(kConstraintCamera);
    arcball.MouseMove(200, 20); // not dragging: chooses the axis nearest the pointer
    EXPECT_EQ(arcball.chosenAxis(), 0);
    arcball.MouseDown(200, 60);
    arcball.Key(kKeyTab);
    EXPECT_EQ(arcball.chosenAxis(), 1);
    arcball.MouseMove(260, 90); // a diagonal drag, kept to the y axis
    EXPECT_GT(angleOf(controller.rotation), 0.01);
    EXPECT_NEAR(controller.rotation.v.x, 0.0, 1e-12);
    EXPECT_NEAR(controller.rotation.v.z, 0.0, 1e-12);
    arcball.Key(kKeyTab);
    arcball.Key(kKeyTab);
    EXPECT_EQ(arcball.chosenAxis(), 0); // three axes, round again
}

TEST_F(ArcballTest, BodyAxesAreTheRotationsColumnsAfterRelease)
{
    arcball.Key(kKeyRight);
    arcball.MouseDown(10, 10);
    arcball.MouseUp();
    const Matrix4 m = controller.rotation.rotationMatrix();
    expectVecNear(arcball.axisSet(kConstraintBody)[0], Vec3(m.at(0, 0), m.at(1, 0), m.at(2, 0)), 1e-12);
    expectVecNear(arcball.axisSet(kConstraintCamera)[0], Vec3(1, 0, 0), 0.0);
}

TEST_F(ArcballTest, RotationKeysTurnFiveDegreesAboutTheirAxesAndCancelInPairs)
{
    const std::pair<int, int> opposite[] = {{kKeyPageUp, kKeyHome}, {kKeyLeft, kKeyRight},
                                            {kKeyUp, kKeyDown},      {kKeyPad9, kKeyPad7},
                                            {kKeyPad4, kKeyPad6},    {kKeyPad8, kKeyPad2}};
    for (const auto& [one, other] : opposite) {
        arcball.Key(one);
        EXPECT_NEAR(angleOf(controller.rotation), 5.0 * kPi / 180.0, 1e-9) << one;
        arcball.Key(other);
        EXPECT_NEAR(angleOf(controller.rotation), 0.0, 1e-6) << other;
    }
    arcball.Key('A'); // any other code does nothing
    EXPECT_NEAR(angleOf(controller.rotation), 0.0, 1e-6);
}

// --- orbit zoom ---

TEST(OrbitZoomTest, DragsUpComeCloserDownGoFartherWithinTheBounds)
{
    const OrbitZoom up = ZoomOrbit(40.0, 300.0, 1.0, 200.0);
    EXPECT_TRUE(up.changed);
    EXPECT_DOUBLE_EQ(up.distance, 1.0);
    EXPECT_DOUBLE_EQ(up.elevationFraction, 0.0);
    const OrbitZoom down = ZoomOrbit(40.0, -30.0, 1.0, 200.0);
    EXPECT_DOUBLE_EQ(down.distance, 50.0);
    EXPECT_DOUBLE_EQ(down.elevationFraction, 1.0); // (50 - 1) / (40 - 1), clamped
    EXPECT_DOUBLE_EQ(ZoomOrbit(40.0, 9.0, 1.0, 200.0).distance, 37.0);
    EXPECT_DOUBLE_EQ(ZoomOrbit(190.0, -60.0, 1.0, 200.0).distance, 200.0);
    EXPECT_NEAR(ZoomOrbit(20.0, 3.0, 1.0, 200.0).elevationFraction, 18.0 / 39.0, 1e-12);
    EXPECT_FALSE(ZoomOrbit(40.0, 0.0, 1.0, 200.0).changed);
}

// --- launch choice ---

TEST(LaunchChoiceTest, HeightSetsTheSpeedAndSidewaysTurnsAboutTheVertical)
{
    const Vec3 up{0, 1, 0}, forward{1, 0, 0};
    const LaunchChoice level = ChooseLaunch(300, 100, 400, 200, 200, 100, forward, up, up);
    EXPECT_DOUBLE_EQ(level.speed, 0.25); // never 0
    // b = 0.5: a quarter turn clockwise seen from above, to the right of forward.
    expectVecNear(level.direction, rotateVector(forward, up, -kPi / 2.0), 1e-9);
    EXPECT_NEAR(std::fabs(level.direction.z), 1.0, 1e-9);
    const LaunchChoice centre = ChooseLaunch(200, 50, 400, 200, 200, 100, forward, up, up);
    EXPECT_DOUBLE_EQ(centre.speed, 50.0);
    expectVecNear(centre.direction, forward, 1e-12);
    const LaunchChoice edge = ChooseLaunch(400, 150, 400, 200, 200, 100, forward, up, up);
    EXPECT_DOUBLE_EQ(edge.speed, 0.25); // below the centre
    expectVecNear(edge.direction, Vec3(-1, 0, 0), 1e-9); // b = 1: -180 degrees
}

TEST(LaunchChoiceTest, TheDirectionLiesInTheTangentPlane)
{
    const Vec3 normal = normalized(Vec3{0, 1, 1});
    const LaunchChoice c = ChooseLaunch(250, 10, 400, 200, 200, 100, Vec3{1, 0, 0}, Vec3{0, 1, 0}, normal);
    EXPECT_NEAR(dot(c.direction, normal), 0.0, 1e-12);
    EXPECT_NEAR(length(c.direction), 1.0, 1e-12);
}

// --- print layout ---

TEST(PrintLayoutTest, TheBitmapKeepsTheViewsAspectAndIsHalvedUnderTheCap)
{
    struct Case {
        int viewWidth, viewHeight, pageWidth, pageHeight;
        bool preview;
        int width, height;
    };
    const Case cases[] = {
        {800, 600, 4000, 6000, false, 4000, 3000}, {100, 600, 4000, 6000, false, 1000, 6000},
        {1000, 1000, 9000, 9000, false, 2250, 2250}, // 81 M pixels halved to 20.25 M, still too many, halved again
        {1000, 1000, 8000, 8000, false, 4000, 4000}, // 64 M pixels: halved once only
        {640, 480, 9000, 9000, true, 640, 480},      // the preview is the view's size
    };
    for (const Case& c : cases) {
        const PixelRect r = PrintBitmapSize(c.viewWidth, c.viewHeight, c.pageWidth, c.pageHeight, c.preview);
        EXPECT_EQ(std::pair(r.width, r.height), std::pair(c.width, c.height))
            << c.viewWidth << " x " << c.viewHeight << " on " << c.pageWidth;
    }
}

TEST(PrintLayoutTest, ThePictureIsScaledToThePageAndCentred)
{
    const PixelRect r = FitCentred(400, 300, 1000, 1000);
    EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height), std::tuple(0, 125, 1000, 750));
    EXPECT_EQ(FitCentred(0, 300, 1000, 1000).width, 0);
}

// --- mouse roles, on a document without threads ---

class MouseRolesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        builders::emptyDocument(doc);
        floor = &builders::addFloor(doc, "floor", 5, 20);
        doc.SetBallStart(floor, 0.5, 0.05);
        view.Resize(400, 300);
        mouse.SetWindowSize(400, 300);
        LayoutForceCircle(doc.simulation.windowCircle, 400, 300);
    }
    COpenGLTemplateDoc doc;
    SurfaceSection* floor = nullptr;
    ViewCore view{doc};
    CBallController controller{0.7};
    MouseInteraction mouse{view, controller};
};

TEST_F(MouseRolesTest, PositionMoveClickClickChoosesFixesAndRollsTheLaunch)
{
    ASSERT_TRUE(PositionBall(doc).empty());
    ASSERT_TRUE(doc.simulation.settingVelocity.load());
    mouse.Move(200, 75); // straight ahead, half way up
    EXPECT_DOUBLE_EQ(doc.launchSpeed, 50.0);
    expectVecNear(doc.simulation.ball.velocity, 50.0 * normalized(doc.launchDirection), 1e-9);
    // The follow camera sits behind the ball, looking along the launch.
    EXPECT_GT(dot(doc.simulation.camera.active.direction, doc.launchDirection), 0.0);
    mouse.LeftDown(10, 10, false, false);
    mouse.LeftUp();
    EXPECT_FALSE(doc.simulation.settingVelocity.load());
    EXPECT_TRUE(doc.simulation.velocitySet.load());
    EXPECT_TRUE(doc.simulation.stopped.load());
    mouse.LeftDown(10, 10, false, false); // the second click rolls
    mouse.LeftUp();
    EXPECT_FALSE(doc.simulation.stopped.load());
}

TEST_F(MouseRolesTest, AClickInsideTheCircleWithNavigationPushesUntilRelease)
{
    doc.navigation = true;
    doc.simulation.stopped = false;
    const int rimX = 200 + static_cast<int>(doc.simulation.windowCircle.radius.load());
    mouse.LeftDown(rimX, 150, false, false); // the rim counts as inside
    EXPECT_TRUE(doc.simulation.forceInputActive.load());
    mouse.Move(210, 40);
    EXPECT_EQ(doc.simulation.forceMouseX.load(), 210);
    EXPECT_EQ(doc.simulation.forceMouseY.load(), 40);
    EXPECT_DOUBLE_EQ(controller.rotation.w, CBallController::InitialRotation().w); // no arcball turn
    mouse.LeftUp();
    EXPECT_FALSE(doc.simulation.forceInputActive.load());
    mouse.LeftDown(2, 2, false, false); // outside the circle: the arcball
    mouse.Move(50, 2);
    EXPECT_NE(controller.rotation.w, CBallController::InitialRotation().w);
}

TEST_F(MouseRolesTest, TheRightButtonZoomsFromThePressDistanceAndTheModifiersChooseConstraints)
{
    view.SetOrbitDistance(40.0);
    mouse.RightDown(100, 200);
    mouse.Move(100, 230);
    EXPECT_DOUBLE_EQ(view.OrbitDistance(), 50.0);
    EXPECT_DOUBLE_EQ(doc.cameraDistance, -50.0); // no render thread: straight to the document
    mouse.Move(100, 200);
    EXPECT_DOUBLE_EQ(view.OrbitDistance(), 50.0); // dy = 0 changes nothing
    mouse.RightUp();
    mouse.Move(100, 0);
    EXPECT_DOUBLE_EQ(view.OrbitDistance(), 50.0);
    mouse.LeftDown(5, 5, true, true);
    EXPECT_EQ(mouse.arcball().constraint(), kConstraintCamera);
    mouse.LeftUp();
    mouse.LeftDown(5, 5, false, true);
    EXPECT_EQ(mouse.arcball().constraint(), kConstraintBody);
}

TEST_F(MouseRolesTest, EachWheelNotchZoomsATenthWithinTheBoundsAndMovesTheLaunchPreviewsCamera)
{
    ASSERT_TRUE(PositionBall(doc).empty());
    view.SetOrbitDistance(10.0);
    mouse.Wheel(1.0);
    EXPECT_DOUBLE_EQ(view.OrbitDistance(), 9.0);
    EXPECT_NEAR(length(doc.simulation.camera.active.direction), 21.0 * 9.0, 1e-9); // at once behind the ball
    mouse.Wheel(-2.0);
    EXPECT_DOUBLE_EQ(view.OrbitDistance(), 9.0 / 0.81);
    mouse.Wheel(100.0);
    EXPECT_DOUBLE_EQ(view.OrbitDistance(), doc.simulation.camera.minimumDistance);
    EXPECT_DOUBLE_EQ(doc.simulation.camera.elevationFraction.load(), 0.0);
}

TEST_F(MouseRolesTest, TitleShowsRatesOrTheFocalPointReadoutAndTheLaunchSpeedBeingChosen)
{
    EXPECT_EQ(view.TitleText(), " Marlwick    Render FPS = 0.0 ,   Physics FPS = 0.0");
    ASSERT_TRUE(PositionBall(doc).empty());
    mouse.Move(200, 75);
    EXPECT_EQ(view.TitleText(), " Marlwick    Render FPS = 0.0 ,   Physics FPS = 0.0,   Launch speed = 50.00");
    mouse.LeftDown(10, 10, false, false);
    EXPECT_EQ(view.TitleText(), " Marlwick    Render FPS = 0.0 ,   Physics FPS = 0.0");
    doc.showFocalPoint = true;
    doc.focalSurface = floor;
    doc.focalU = 0.25;
    doc.focalV = 0.5;
    doc.UpdateFocalPoint();
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  " Marlwick    U = 0.250,  V = 0.500,  Tangent U = %.1f,  Tangent V = %.1f,  Curvature = %.6f",
                  length(doc.focalDerivatives.Su), length(doc.focalDerivatives.Sv), doc.focalDerivatives.K);
    EXPECT_EQ(view.TitleText(), expected);
}

TEST_F(MouseRolesTest, FocalPointCommandsNeedTheirSurface)
{
    doc.selectedSurface = nullptr;
    EXPECT_EQ(SetFocalPointAtSelectedCenter(doc), kSelectSurfaceToFocus);
    doc.selectedSurface = floor;
    EXPECT_EQ(SetFocalPointAtSelectedCenter(doc), "");
    expectVecNear(doc.focalPoint, floor->EvaluatePoint(0.5, 0.5), 1e-9);
    CenterViewOnSelected(doc);
    EXPECT_TRUE(doc.simulation.stopped.load());
    expectVecNear(doc.focalPoint, floor->EvaluatePoint(0.5, 0.5), 0.5);
    SetCameraAlignedVertically(doc, true);
    EXPECT_TRUE(CameraAlignedVertically(doc));
}

} // namespace
