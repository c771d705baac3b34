#pragma once

// What the X server's screen shows, as a person would see it: a whole-screen
// capture through `xwd -root` (package x11-apps), read from its XWD form.
// Capturing the screen rather than one window shows whether windows drawn by
// different threads really appear over each other.

#include <QByteArray>
#include <QDebug>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QtEndian>

#include <cstdlib>

namespace screencapture {

// An XWD file of 32-bit true-colour pixels (the form Xvfb's 24-bit screens
// give) as an image; a null image for anything else or a short file.
inline QImage ReadXwd(const QByteArray& bytes)
{
    constexpr int kHeaderWords = 25;
    if (bytes.size() < kHeaderWords * 4) return {};
    quint32 h[kHeaderWords];
    for (int k = 0; k < kHeaderWords; ++k) h[k] = qFromBigEndian<quint32>(bytes.constData() + 4 * k);
    const quint32 headerSize = h[0], format = h[2], width = h[4], height = h[5], byteOrder = h[7];
    const quint32 bitsPerPixel = h[11], bytesPerLine = h[12], redMask = h[14], greenMask = h[15], blueMask = h[16];
    const quint32 colours = h[19];
    constexpr quint32 kZPixmap = 2;
    if (format != kZPixmap || bitsPerPixel != 32 || width == 0 || height == 0 || width > 16384 || height > 16384 ||
        bytesPerLine < width * 4 || colours > 65536)
        return {};
    const qint64 start = static_cast<qint64>(headerSize) + 12 * static_cast<qint64>(colours);
    if (bytes.size() < start + static_cast<qint64>(bytesPerLine) * height) return {};
    const auto channel = [](quint32 pixel, quint32 mask) {
        if (mask == 0) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1u)) ++shift;
        return static_cast<int>(((pixel & mask) >> shift) * 255u / (mask >> shift));
    };
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    for (quint32 y = 0; y < height; ++y) {
        const char* row = bytes.constData() + start + static_cast<qint64>(y) * bytesPerLine;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (quint32 x = 0; x < width; ++x) {
            const quint32 pixel =
                byteOrder == 0 ? qFromLittleEndian<quint32>(row + 4 * x) : qFromBigEndian<quint32>(row + 4 * x);
            out[x] = qRgb(channel(pixel, redMask), channel(pixel, greenMask), channel(pixel, blueMask));
        }
    }
    return image;
}

// The whole screen of $DISPLAY now; a null image when xwd cannot be run.
inline QImage CaptureWholeScreen()
{
    QProcess xwd;
    xwd.start(QStringLiteral("xwd"), {QStringLiteral("-root"), QStringLiteral("-silent")});
    if (!xwd.waitForFinished(30000) || xwd.exitStatus() != QProcess::NormalExit || xwd.exitCode() != 0) {
        qWarning("xwd -root failed: %s %s", qPrintable(xwd.errorString()), xwd.readAllStandardError().constData());
        return {};
    }
    const QByteArray bytes = xwd.readAllStandardOutput();
    const QImage image = ReadXwd(bytes);
    if (image.isNull()) qWarning("xwd -root gave %lld bytes that are no 32-bit XWD image", static_cast<long long>(bytes.size()));
    return image;
}

// The share of the area's pixels (every second one in each direction) that
// show the expected picture, each colour channel within a small tolerance.
inline double MatchingShare(const QImage& screen, const QRect& area, const QImage& expected)
{
    constexpr int kTolerance = 24;
    int matching = 0, total = 0;
    for (int y = 0; y < area.height() && y < expected.height(); y += 2) {
        for (int x = 0; x < area.width() && x < expected.width(); x += 2) {
            const QPoint p = area.topLeft() + QPoint(x, y);
            if (!screen.rect().contains(p)) continue;
            const QRgb a = screen.pixel(p), b = expected.pixel(x, y);
            ++total;
            if (std::abs(qRed(a) - qRed(b)) <= kTolerance && std::abs(qGreen(a) - qGreen(b)) <= kTolerance &&
                std::abs(qBlue(a) - qBlue(b)) <= kTolerance)
                ++matching;
        }
    }
    return total ? static_cast<double>(matching) / total : 0.0;
}

} // namespace screencapture
