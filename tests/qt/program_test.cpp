// Starts the real program on the test display, once hidden and once as a user does, and finds its main
// window shown only for the second.
#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// What the X server says of a window: its width, whether it is shown, and its program.
struct WindowInfo {
    int width = 0;
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
        const auto width = QRegularExpression(R"(Width:\s+(\d+))").match(info);
        out.push_back({width.captured(1).toInt(), info.contains("Map State: IsViewable"), pid.toLongLong()});
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

TEST(Program, StartsWithItsMainWindowShownOrHidden) {
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
    EXPECT_EQ(win->width, 1010);
}

} // namespace
