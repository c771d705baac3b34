#include "profilechart/RideChartFile.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace {

// The two charts laid out one above the other on a page.
void layOut(QGraphicsScene& scene, RideCharts& charts, int width, int height)
{
    scene.setSceneRect(0, 0, width, height);
    scene.setBackgroundBrush(Qt::white);
    const qreal half = height * 0.5;
    scene.addItem(charts.motionChart());
    scene.addItem(charts.forceChart());
    charts.motionChart()->setGeometry(QRectF(0, 0, width, half));
    charts.forceChart()->setGeometry(QRectF(0, half, width, height - half));
}

bool encodePng(QGraphicsScene& scene, int width, int height, QBuffer& out)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter);
    painter.end();
    return image.save(&out, "PNG");
}

bool encodeSvg(QGraphicsScene& scene, int width, int height, const std::string& title, QBuffer& out)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle(QString::fromStdString(title));
    QPainter painter(&svg);
    scene.render(&painter);
    return painter.end();
}

// A headless run has no use for a runtime directory; Qt's start-up warning
// that XDG_RUNTIME_DIR is not set would only be noise on standard error.
QtMessageHandler passedOn = nullptr;
void withoutRuntimeDirWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    passedOn(type, context, message);
}

} // namespace

std::string EncodeRideChart(const std::vector<RideSample>& samples, RideAxis axis, const std::string& title,
                            const std::string& format, int width, int height, std::vector<std::uint8_t>& bytes)
{
    QGraphicsScene scene;
    RideCharts charts(axis, QString::fromStdString(title));
    charts.Append(samples);
    layOut(scene, charts, width, height);

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const bool drawn = format == "png" ? encodePng(scene, width, height, out)
                                       : format == "svg" && encodeSvg(scene, width, height, title, out);
    if (!drawn) return "the chart could not be drawn as " + format;
    bytes.assign(out.data().begin(), out.data().end());
    return {};
}

std::string WithOffscreenApplication(const std::function<std::string()>& work)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return work();
    int argc = 3;
    char name[] = "marlwick-cli", option[] = "-platform", platform[] = "offscreen";
    char* argv[] = {name, option, platform, nullptr};
    passedOn = qInstallMessageHandler(withoutRuntimeDirWarning);
    QApplication app(argc, argv);
    qInstallMessageHandler(passedOn);
    return work();
}
