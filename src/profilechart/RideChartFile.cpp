#include "profilechart/RideChartFile.h"

#include <QApplication>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>

namespace {

bool endsWith(const std::string& path, const char* ending)
{
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return tail == ending;
}

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

std::string fail(const std::string& path, const QString& why)
{
    return path + ": cannot write the chart (" + why.toStdString() + ")";
}

} // namespace

std::string RideChartFormat(const std::string& path)
{
    if (endsWith(path, ".png")) return "png";
    if (endsWith(path, ".svg")) return "svg";
    return {};
}

std::string WriteRideChart(const std::vector<RideSample>& samples, RideAxis axis, const std::string& title,
                           const std::string& path, int width, int height)
{
    const std::string format = RideChartFormat(path);
    if (format.empty()) return path + ": a chart is written as .png or .svg";
    QGraphicsScene scene;
    RideCharts charts(axis, QString::fromStdString(title));
    charts.Append(samples);
    layOut(scene, charts, width, height);

    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return fail(path, file.errorString());
    if (format == "png") {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter);
        painter.end();
        if (!image.save(&file, "PNG")) return fail(path, file.errorString());
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(QString::fromStdString(title));
        QPainter painter(&svg);
        scene.render(&painter);
        if (!painter.end()) return fail(path, QStringLiteral("the drawing failed"));
    }
    if (!file.commit()) return fail(path, file.errorString());
    return {};
}

std::string WithOffscreenApplication(const std::function<std::string()>& work)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return work();
    int argc = 3;
    char name[] = "marlwick-cli", option[] = "-platform", platform[] = "offscreen";
    char* argv[] = {name, option, platform, nullptr};
    QApplication app(argc, argv);
    return work();
}
