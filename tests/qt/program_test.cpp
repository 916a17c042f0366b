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

#include <optional>
#include <vector>

namespace {

// What the X server says of a window: its place and size, whether it is shown, and its program.
struct WindowInfo {
    int x = 0, y = 0, width = 0, height = 0;
    bool viewable = false;
    qint64 pid = 0;
};

QString x_tool(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    return p.waitForFinished(5000) && p.exitCode() == 0 ? QString::fromLocal8Bit(p.readAllStandardOutput())
                                                        : "";
}

// Every window titled "ZERIVIzi" on the display, shown or not.
std::vector<WindowInfo> main_windows() {
    std::vector<WindowInfo> out;
    for (const auto& id : QRegularExpression(R"((0x[0-9a-f]+) "ZERIVIzi")")
                              .globalMatch(x_tool("xwininfo", {"-root", "-tree"}))) {
        const QString info = x_tool("xwininfo", {"-id", id.captured(1)});
        const QString pid = x_tool("xprop", {"-id", id.captured(1), "_NET_WM_PID"}).section('=', 1).trimmed();
        auto number = [&](const char* label) {
            const auto m = QRegularExpression(QString(label) + R"(:\s+(-?\d+))").match(info);
            return m.hasMatch() ? m.captured(1).toInt() : -1;
        };
        out.push_back({number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                       number("Height"), info.contains("Map State: IsViewable"), pid.toLongLong()});
    }
    return out;
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
    if (QGuiApplication::platformName() != "xcb" || QStandardPaths::findExecutable("xwininfo").isEmpty() ||
        QStandardPaths::findExecutable("xprop").isEmpty())
        GTEST_SKIP() << "needs an X display, xwininfo and xprop";

    // The hidden one starts first: by the time the other's window is up, it has come as far.
    Program hidden({"visible", "off"});
    ASSERT_TRUE(hidden.waitForStarted(10000));
    Program program({});
    ASSERT_TRUE(program.waitForStarted(10000));
    std::optional<WindowInfo> win;
    std::vector<WindowInfo> windows;
    for (int attempt = 0; attempt < 100 && !win; ++attempt) {
        QThread::msleep(200);
        windows = main_windows();
        for (const WindowInfo& w : windows)
            if (w.viewable && w.pid == program.processId())
                win = w;
    }
    ASSERT_TRUE(win) << "no window titled ZERIVIzi appeared";
    EXPECT_EQ(hidden.state(), QProcess::Running);
    for (const WindowInfo& w : windows)
        EXPECT_FALSE(w.viewable && w.pid == hidden.processId()) << "the hidden start shows its window";
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
    EXPECT_TRUE(near(at(0.30, 0.80), QColor(220, 231, 231))) << "step 3 frame";
    EXPECT_TRUE(near(at(0.535, 0.80), QColor(221, 202, 221))) << "panel inside step 3";
}

} // namespace
