// make-icons FOLDER: the program's icon for the desktop's icon theme, drawn by the program's own
// artwork: FOLDER/hicolor/scalable/apps/ID.svg and FOLDER/hicolor/NxN/apps/ID.png.
#include "platform/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

namespace {

const QString kIconName = QStringLiteral("org.quillory.Quillory");

QString AppsFolder(const QString &root, const QString &theme) {
    const QString folder = root + QStringLiteral("/hicolor/") + theme + QStringLiteral("/apps");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + kIconName;
}

bool DrawScalable(const QString &root) {
    QSvgGenerator svg;
    svg.setFileName(AppsFolder(root, QStringLiteral("scalable")) + QStringLiteral(".svg"));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Quillory"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    Artwork::DrawApplicationIcon(painter, 256);
    return painter.end();
}

bool DrawPicture(const QString &root, int size) {
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    Artwork::DrawApplicationIcon(painter, size);
    painter.end();
    const QString theme = QStringLiteral("%1x%1").arg(size);
    return picture.save(AppsFolder(root, theme) + QStringLiteral(".png"));
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // drawn without a display
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make-icons FOLDER\n", stderr);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool drawn = DrawScalable(root);
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        drawn = DrawPicture(root, size) && drawn;
    if (!drawn)
        std::fprintf(stderr, "make-icons: cannot write the icons in %s\n", argv[1]);
    return drawn ? 0 : 1;
}
