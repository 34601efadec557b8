// The least a Qt program doing Voltaro's job could cost while idle: a hidden window, one
// coarse 5-second timer that reads eight power_supply attribute files with open/read/close,
// and a window icon that follows the charge level. bench/idle-cost measures Voltaro against it.
//
//   voltaro_idle_floor [RESOURCES_DIR]
//
// The tree is $VOLTARO_POWER_SUPPLY_ROOT (else /sys/class/power_supply), with AC and BAT0;
// the pictures are Single_<level>.tif in RESOURCES_DIR (default: the build's bundle).

#include <QApplication>
#include <QIcon>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char* kAttributes[] = {
    "AC/online",        "BAT0/status",      "BAT0/present",     "BAT0/energy_now",
    "BAT0/energy_full", "BAT0/voltage_now", "BAT0/current_now", "BAT0/capacity",
};

long readNumber(const std::string& path) {
    std::array<char, 65> buffer{};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const ssize_t count = ::read(fd, buffer.data(), buffer.size() - 1);
    ::close(fd);
    return count > 0 ? std::strtol(buffer.data(), nullptr, 10) : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString resources =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VOLTARO_FLOOR_RESOURCES);
    const char* fromEnvironment = std::getenv("VOLTARO_POWER_SUPPLY_ROOT");
    const std::string root =
        fromEnvironment && *fromEnvironment ? fromEnvironment : "/sys/class/power_supply";

    QWidget window;
    window.setWindowTitle(QStringLiteral("Voltaro floor"));

    std::array<std::string, std::size(kAttributes)> paths;
    for (std::size_t i = 0; i < paths.size(); ++i)
        paths[i] = root + "/" + kAttributes[i];

    int shownLevel = -1;
    const auto poll = [&] {
        std::array<long, std::size(kAttributes)> values{};
        for (std::size_t i = 0; i < paths.size(); ++i)
            values[i] = readNumber(paths[i]);
        const long now = values[3];
        const long full = values[4];
        int level = full > 0 ? static_cast<int>((now * 8 + full / 2) / full) : 0;
        level = level < 0 ? 0 : level > 8 ? 8 : level;
        if (level != shownLevel) {
            shownLevel = level;
            QApplication::setWindowIcon(QIcon(resources + QStringLiteral("/Single_%1.tif").arg(level)));
        }
    };

    QTimer timer;
    timer.setTimerType(Qt::VeryCoarseTimer);
    timer.setInterval(5000);
    QObject::connect(&timer, &QTimer::timeout, poll);
    poll();
    timer.start();
    return QApplication::exec();
}
