#include "QtDockIcon.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <malloc.h>

namespace voltaro {
namespace {

// The colour at the middle of an icon's 64 px picture.
QRgb middleOf(const QIcon& icon) {
    return icon.pixmap(64, 64).toImage().pixel(32, 32);
}

TEST(QtDockIconTest, LoadsBundlePicturesAndLeavesMissingOnesEmpty) {
    QtDockIcon icon{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    EXPECT_NE(icon.loadImage("Single_4.tif"), nullptr);
    EXPECT_NE(icon.standardIcon(), nullptr);
    EXPECT_EQ(icon.loadImage("Single_9.tif"), nullptr);
}

TEST(QtDockIconTest, ShowsThePictureAsWindowAndTrayIcon) {
    QtDockIcon icon{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    QSystemTrayIcon tray;
    icon.setTrayIcon(&tray);
    const IconHandle full = icon.loadImage("Single_8.tif");
    const IconHandle empty = icon.loadImage("Single_0.tif");

    icon.setApplicationIconImage(full);
    EXPECT_EQ(middleOf(QApplication::windowIcon()), middleOf(QtDockIcon::iconOf(full)));
    EXPECT_EQ(middleOf(tray.icon()), middleOf(QtDockIcon::iconOf(full)));

    icon.setApplicationIconImage(empty);
    EXPECT_EQ(middleOf(QApplication::windowIcon()), middleOf(QtDockIcon::iconOf(empty)));
    EXPECT_NE(middleOf(QtDockIcon::iconOf(full)), middleOf(QtDockIcon::iconOf(empty)));

    // A picture that failed to load shows the application's own icon, never a blank.
    icon.setApplicationIconImage(nullptr);
    EXPECT_EQ(middleOf(QApplication::windowIcon()), middleOf(QtDockIcon::iconOf(icon.standardIcon())));
}

TEST(QtDockIconTest, HandsTheSamePictureToTheToolkitOnlyOnce) {
    QtDockIcon icon{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    const IconHandle picture = icon.loadImage("Single_5.tif");
    icon.setApplicationIconImage(picture);
    // Someone else changes the window icon; the same picture again is not re-sent.
    QApplication::setWindowIcon(QIcon());
    icon.setApplicationIconImage(picture);
    EXPECT_TRUE(QApplication::windowIcon().isNull());
}

TEST(QtDockIconTest, KeepsOnlyTheShownPictureDecoded) {
    QtDockIcon icon{Bundle(QStringLiteral(VOLTARO_TEST_BUNDLE_DIR))};
    const auto heapInUse = [] { return ::mallinfo2().uordblks; };
    // One decoded 128 px picture takes 64 KB; the eighteen level pictures over a megabyte.
    constexpr std::size_t kOnePicture = 128 * 128 * 4;
    const std::size_t before = heapInUse();
    std::vector<IconHandle> pictures;
    for (int level = 0; level <= 8; ++level) {
        pictures.push_back(icon.loadImage("Single_" + std::to_string(level) + ".tif"));
        pictures.push_back(icon.loadImage("Single_Charge_" + std::to_string(level) + ".tif"));
    }
    EXPECT_LT(heapInUse() - before, 2 * kOnePicture) << "pictures decoded when loaded";
    for (const IconHandle& picture : pictures)
        icon.setApplicationIconImage(picture);
    EXPECT_LT(heapInUse() - before, 3 * kOnePicture) << "pictures no longer shown stay decoded";
    EXPECT_EQ(middleOf(QApplication::windowIcon()), middleOf(QtDockIcon::iconOf(pictures.back())));
}

} // namespace
} // namespace voltaro
