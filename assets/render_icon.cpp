// Build-time tool: renders an SVG file to a square PNG of the given side.
// usage: vikora_render_icon INPUT.svg SIDE OUTPUT.png

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Runs in the build, where there may be no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool sideOk = false;
    const int side = arguments.size() == 4 ? arguments[2].toInt(&sideOk) : 0;
    if (!sideOk || side <= 0 || side > 4096) {
        std::fputs("usage: vikora_render_icon INPUT.svg SIDE OUTPUT.png\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "vikora_render_icon: cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(arguments[3], "PNG")) {
        std::fprintf(stderr, "vikora_render_icon: cannot write %s\n", qPrintable(arguments[3]));
        return 1;
    }
    return 0;
}
