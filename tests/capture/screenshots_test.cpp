// Screenshot files: their names from the local clock, the BMP written into
// the screenshot folder, and the Screen Shots button's two outcomes.
#include "fakes/recordingmessages.h"
#include "fakes/tempdir.h"

#include "capture/screencapture.h"
#include "capture/screenshots.h"
#include "core/error.h"
#include "platform/atomicfile.h"

#include <QDateTime>
#include <QImage>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zibbles;
using zibbles::testing::RecordingMessages;
using zibbles::testing::TempDir;

namespace {

QDateTime at(int year, int month, int day, int h, int m, int s, int ms)
{
    return QDateTime(QDate(year, month, day), QTime(h, m, s, ms));
}

QImage testPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x + y) % 256));
    return image;
}

} // namespace

TEST(ScreenshotName, IsTheDateAndTheMillisecondsOfTheDay)
{
    EXPECT_EQ(screenshotFileName(at(2026, 12, 7, 14, 5, 9, 250)), "20261207-50709250.bmp");
    EXPECT_EQ(screenshotFileName(at(2026, 12, 7, 0, 0, 1, 5)), "20261207-1005.bmp");
    EXPECT_EQ(screenshotFileName(at(2026, 12, 7, 0, 0, 0, 0)), "20261207-0.bmp");
    EXPECT_EQ(screenshotFileName(at(2026, 12, 7, 2, 46, 39, 999)), "20261207-9999999.bmp");
    EXPECT_EQ(screenshotFileName(at(2026, 12, 7, 2, 46, 40, 0)), "20261207-10000000.bmp");
    EXPECT_EQ(screenshotFileName(at(2027, 1, 2, 23, 59, 59, 999)), "20270102-86399999.bmp");
}

TEST(Screenshot, IsStoredAsABmpOfTheCapturedImage)
{
    TempDir app;
    ASSERT_TRUE(makeFolders(app.file("ScreenShots")));
    const QImage picture = testPicture(64, 48);
    storeScreenshot(app.path(), picture, at(2026, 12, 7, 14, 5, 9, 250));

    const std::string path = app.file("ScreenShots/20261207-50709250.bmp");
    const auto bytes = readWholeFile(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    QImage stored;
    ASSERT_TRUE(stored.load(QString::fromStdString(path), "BMP"));
    EXPECT_EQ(stored.size(), QSize(64, 48));
    EXPECT_EQ(stored.convertToFormat(QImage::Format_RGB32), picture);

    // The same millisecond again: the file is replaced.
    storeScreenshot(app.path(), testPicture(8, 8), at(2026, 12, 7, 14, 5, 9, 250));
    ASSERT_TRUE(stored.load(QString::fromStdString(path), "BMP"));
    EXPECT_EQ(stored.size(), QSize(8, 8));
}

TEST(Screenshot, TheFileHasTheDisplaysColourDepth)
{
    TempDir app;
    ASSERT_TRUE(makeFolders(app.file("ScreenShots")));
    const std::string path = app.file("ScreenShots/20261207-0.bmp");
    const struct {
        int display;
        unsigned bitsPerPixel, compression; // 3: bit masks, which 5-6-5 needs
    } depths[] = {{16, 16, 3}, {15, 16, 0}, {24, 24, 0}, {32, 24, 0}, {8, 8, 0}};
    for (const auto &depth : depths) {
        const QImage captured = atColourDepth(testPicture(61, 7), depth.display); // odd width: padded rows
        storeScreenshot(app.path(), captured, at(2026, 12, 7, 0, 0, 0, 0));
        const std::string bytes = readWholeFile(path).value_or("");
        ASSERT_GE(bytes.size(), 54u) << depth.display;
        const auto field = [&](size_t at, int size) {
            unsigned v = 0;
            for (int i = size - 1; i >= 0; --i)
                v = (v << 8) | static_cast<unsigned char>(bytes[at + size_t(i)]);
            return v;
        };
        EXPECT_EQ(field(28, 2), depth.bitsPerPixel) << "a " << depth.display << "-bit display";
        EXPECT_EQ(field(30, 4), depth.compression) << depth.display;
        QImage stored;
        ASSERT_TRUE(stored.load(QString::fromStdString(path), "BMP")) << depth.display;
        // 5- and 6-bit channels widen to 8 bits in more than one way: compare
        // them at the display's depth.
        const QImage::Format compared = depth.bitsPerPixel == 16 ? captured.format() : QImage::Format_RGB32;
        EXPECT_EQ(stored.convertToFormat(compared), captured.convertToFormat(compared))
            << "the pixels of a " << depth.display << "-bit display";
    }
}

TEST(Screenshot, WithoutTheFolderNothingIsStoredAndNothingCreated)
{
    TempDir app;
    EXPECT_NO_THROW(storeScreenshot(app.path(), testPicture(4, 4), at(2026, 12, 7, 1, 0, 0, 0)));
    EXPECT_FALSE(folderExists(app.file("ScreenShots")));

    // A file of that name is not a folder either.
    ASSERT_TRUE(writeFileAtomically(app.file("ScreenShots"), "x"));
    EXPECT_NO_THROW(storeScreenshot(app.path(), testPicture(4, 4), at(2026, 12, 7, 1, 0, 0, 0)));
    EXPECT_EQ(readWholeFile(app.file("ScreenShots")), "x");
}

TEST(Screenshot, AFileThatCannotBeWrittenRaisesCannotCreateFile)
{
    TempDir app;
    ASSERT_TRUE(makeFolders(app.file("ScreenShots")));
    const std::string path = app.file("ScreenShots/20261207-0.bmp");
    ASSERT_TRUE(writeFileAtomically(path, "old"));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    try {
        storeScreenshot(app.path(), testPicture(4, 4), at(2026, 12, 7, 0, 0, 0, 0));
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + path);
    }
    EXPECT_EQ(readWholeFile(path), "old");

    // A folder where the file should go.
    ASSERT_TRUE(makeFolders(app.file("ScreenShots/20261207-1.bmp")));
    EXPECT_THROW(storeScreenshot(app.path(), testPicture(4, 4), at(2026, 12, 7, 0, 0, 0, 1)), AppError);
}

TEST(ScreenShotsButton, OpensTheFolderOrSaysItIsNotOne)
{
    TempDir app;
    RecordingMessages messages;
    std::vector<std::string> opened;
    const FolderOpener open = [&](const std::string &folder) { opened.push_back(folder); };

    openScreenshotFolder(app.path(), messages, open);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(messages.messages, std::vector<std::string>{"\"" + app.path() + "ScreenShots\" is not a folder."});

    ASSERT_TRUE(makeFolders(app.file("ScreenShots")));
    openScreenshotFolder(app.path(), messages, open);
    EXPECT_EQ(opened, std::vector<std::string>{app.path() + "ScreenShots"});
    EXPECT_EQ(messages.messages.size(), 1u);
}
