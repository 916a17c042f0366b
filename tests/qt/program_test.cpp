// Starts the real program on the test display, finds its main window and keeps a screenshot of it.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

namespace {

struct WindowInfo {
    int x = 0, y = 0, width = 0, height = 0;
};

// Asks the X server where the window with this title is.
std::optional<WindowInfo> find_window(const QString& title) {
    QProcess p;
    p.start("xwininfo", {"-name", title});
    if (!p.waitForFinished(5000) || p.exitCode() != 0)
        return std::nullopt;
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    auto number = [&](const char* label) {
        const auto m = QRegularExpression(QString(label) + R"(:\s+(-?\d+))").match(out);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    WindowInfo w{number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                 number("Height")};
    if (w.width <= 0 || w.height <= 0)
        return std::nullopt;
    return w;
}

bool near(QColor a, QColor b, int tolerance = 6) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST(Program, StartsWithItsMainWindowAndStepFrames) {
    if (QGuiApplication::platformName() != "xcb" || QStandardPaths::findExecutable("xwininfo").isEmpty())
        GTEST_SKIP() << "needs an X display and xwininfo";

    QProcess program;
    program.start(TARVIK_GUI_EXE, {});
    ASSERT_TRUE(program.waitForStarted(10000));

    std::optional<WindowInfo> win;
    for (int attempt = 0; attempt < 100 && !win; ++attempt) {
        QThread::msleep(200);
        win = find_window("ZERIVIzi");
    }
    ASSERT_TRUE(win.has_value()) << "no window titled ZERIVIzi appeared";
    QThread::msleep(500); // let it finish painting

    EXPECT_EQ(win->width, 1010);
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, win->x, win->y, win->width, win->height);
    const QString path = QString(TARVIK_BUILD_DIR) + "/screenshot_main_window.png";
    ASSERT_TRUE(shot.save(path));
    const QImage image = shot.toImage();

    // The controls' area is the bottom 645 pixels; sample frames where no control covers them.
    const int top = win->height - 645;
    auto at = [&](double left, double bottom) {
        return image.pixelColor(static_cast<int>(left * 1010), top + static_cast<int>((1.0 - bottom) * 645));
    };
    EXPECT_TRUE(near(at(0.272, 0.60), QColor(253, 224, 206))) << "step 1 frame is highlighted";
    EXPECT_TRUE(near(at(0.272, 0.20), QColor(220, 231, 231))) << "step 2 frame";
    EXPECT_TRUE(near(at(0.985, 0.50), QColor(220, 231, 231))) << "step 4 frame";
    EXPECT_TRUE(near(at(0.30, 0.80), QColor(220, 231, 231))) << "step 3 frame";
    EXPECT_TRUE(near(at(0.535, 0.80), QColor(221, 202, 221))) << "panel inside step 3";

    program.kill();
    program.waitForFinished(5000);
}

} // namespace
