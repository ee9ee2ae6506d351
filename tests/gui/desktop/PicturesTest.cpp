// The compiled-in artwork: every picture the windows ask for exists, draws something, and the
// fifteen mark pictures can be told apart.
#include "gui/widgets/Pictures.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace mv::gui {
namespace {

QImage render(const QIcon& icon, int size) {
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

std::vector<std::pair<QString, QIcon>> everyIcon() {
    std::vector<std::pair<QString, QIcon>> icons;
    for (int i = 0; i <= 14; ++i)
        icons.emplace_back(QStringLiteral("mark %1").arg(i), markIcon(i));
    for (int b = int(ButtonPicture::Check); b <= int(ButtonPicture::Hammer); ++b)
        icons.emplace_back(QStringLiteral("button %1").arg(b), buttonIcon(ButtonPicture(b)));
    icons.emplace_back(QStringLiteral("program icon"), programIcon());
    icons.emplace_back(QStringLiteral("tray frame 1"), trayFrame(1));
    icons.emplace_back(QStringLiteral("tray frame 2"), trayFrame(2));
    return icons;
}

TEST(Pictures, EveryIconDrawsAtTrayAndButtonSizes) {
    for (const auto& [name, icon] : everyIcon()) {
        ASSERT_FALSE(icon.isNull()) << name.toStdString();
        for (int size : {16, 32}) {
            const QImage image = render(icon, size);
            EXPECT_EQ(image.size(), QSize(size, size)) << name.toStdString();
            // Something visible, yet not a filled square: the pictures sit on row colours.
            const int opaque = opaquePixels(image);
            EXPECT_GT(opaque, size * size / 10) << name.toStdString() << " at " << size;
            EXPECT_LT(opaque, size * size) << name.toStdString() << " at " << size;
        }
    }
}

TEST(Pictures, MarkPicturesAreDistinctAndNoneOutsideTheRange) {
    std::vector<QImage> marks;
    for (int i = 0; i <= 14; ++i)
        marks.push_back(render(markIcon(i), 16));
    for (size_t a = 0; a < marks.size(); ++a)
        for (size_t b = a + 1; b < marks.size(); ++b)
            EXPECT_NE(marks[a], marks[b]) << "marks " << a << " and " << b;
    EXPECT_TRUE(markIcon(-1).isNull());
    EXPECT_TRUE(markIcon(15).isNull());
}

TEST(Pictures, TrayFramesDifferFromEachOtherAndFromTheIcon) {
    const QImage plain = render(programIcon(), 16);
    const QImage first = render(trayFrame(1), 16);
    const QImage second = render(trayFrame(2), 16);
    EXPECT_NE(first, second);
    EXPECT_NE(first, plain);
    EXPECT_NE(second, plain);
}

TEST(Pictures, SplashPicturesAreValidDrawings) {
    for (const char* file : {"splash-1.svg", "splash-2.svg"}) {
        QSvgRenderer renderer(picturePath(QString::fromLatin1(file)));
        EXPECT_TRUE(renderer.isValid()) << file;
        EXPECT_GT(renderer.defaultSize().width(), 100) << file;
    }
}

} // namespace
} // namespace mv::gui
