// Build tool: writes the program icon as PNG files for the desktop's icon
// theme. Usage: icon_export OUTPUT_FOLDER

#include <QDir>
#include <QImage>
#include <cstdio>

#include "platform/icon_image.h"
#include "res/resource.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_export OUTPUT_FOLDER\n");
        return 2;
    }
    const IconResource* icon = AfxFindIcon(IDR_MAINFRAME);
    if (icon == nullptr) return 1;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const IconImage& image : icon->images) {
        const QImage rendered = AfxRenderIconImage(image);
        const QString name = QStringLiteral("quendel-%1.png").arg(image.size);
        if (!rendered.save(out.filePath(name))) return 1;
        // A large rendering of the 32 x 32 image, its pixels kept sharp.
        if (image.size == 32 && !rendered.scaled(256, 256).save(out.filePath(QStringLiteral("quendel-256.png"))))
            return 1;
    }
    return 0;
}
