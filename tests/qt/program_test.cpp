// Starts the real program on the test display, once hidden and once as a user does, finds its main
// window and keeps a screenshot of it.
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

// What the X server says of the window with this title: its place and size, and whether it is shown.
struct WindowInfo {
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
};

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
    return WindowInfo{number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                      number("Height"), out.contains("Map State: IsViewable")};
}

// The program, ended with the test.
struct Program : QProcess {
    explicit Program(const QStringList& args) { start(TARVIK_GUI_EXE, args); }
    ~Program() override {
        kill();
        waitForFinished(5000);
    }
};

bool near(QColor a, QColor b, int tolerance = 6) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST(Program, StartsWithItsMainWindowAndStepFramesOrHidden) {
    if (QGuiApplication::platformName() != "xcb" || QStandardPaths::findExecutable("xwininfo").isEmpty())
        GTEST_SKIP() << "needs an X display and xwininfo";

    // The hidden one starts first, under its own window name; by the time the other's window is up, it
    // has come as far.
    Program hidden({"Name", "Hidden start", "visible", "off"});
    ASSERT_TRUE(hidden.waitForStarted(10000));
    Program program({});
    ASSERT_TRUE(program.waitForStarted(10000));
    std::optional<WindowInfo> win;
    for (int attempt = 0; attempt < 100 && !(win && win->viewable); ++attempt) {
        QThread::msleep(200);
        win = find_window("ZERIVIzi");
    }
    ASSERT_TRUE(win && win->viewable) << "no window titled ZERIVIzi appeared";
    EXPECT_EQ(hidden.state(), QProcess::Running);
    const std::optional<WindowInfo> other = find_window("Hidden start");
    EXPECT_FALSE(other && other->viewable) << "the hidden start shows its window";
    QThread::msleep(500); // let it finish painting

    EXPECT_EQ(win->width, 1010);
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, win->x, win->y, win->width, win->height);
    ASSERT_TRUE(shot.save(QString(TARVIK_BUILD_DIR) + "/screenshot_main_window.png"));
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
}

} // namespace
