#include "TrayIcon.h"

#include "QtTestSupport.h"

#include <QAction>

#include <gtest/gtest.h>

namespace voltaro {
namespace {

// The menu as a person reads it: one text per item, "---" for a separator, "(off)" after an
// item that cannot be chosen.
std::vector<std::string> menuTexts(const QMenu& menu) {
    std::vector<std::string> texts;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            texts.emplace_back("---");
        else
            texts.push_back(action->text().toStdString() + (action->isEnabled() ? "" : " (off)"));
    }
    return texts;
}

// Pops the menu up as the tray would, so it is built the way a right click builds it.
std::vector<std::string> popUp(QMenu& menu) {
    menu.popup(QPoint(10, 10));
    EXPECT_TRUE(processEventsUntil([&] { return menu.isVisible(); }));
    std::vector<std::string> texts = menuTexts(menu);
    menu.hide();
    return texts;
}

TEST(TrayIconTest, MenuHoldsTheFreshReadingsThenShowAndQuit) {
    struct Case {
        const char* name;
        std::optional<std::vector<DockMenuItem>> readings;
        std::vector<std::string> menu;
    };
    const Case cases[] = {
        {"on battery",
         std::vector<DockMenuItem>{{"Running on Battery since 1H:02mn"},
                                   {"", true},
                                   {"Charge: 28%"},
                                   {"Voltage: 12.00V"},
                                   {"Amperage: -900mA"}},
         {"Running on Battery since 1H:02mn", "---", "Charge: 28%", "Voltage: 12.00V",
          "Amperage: -900mA", "---", "Show Voltaro", "Quit"}},
        {"no battery",
         std::vector<DockMenuItem>{{"No Battery Installed!"}},
         {"No Battery Installed!", "---", "Show Voltaro", "Quit"}},
        {"no battery information", std::nullopt, {"Show Voltaro", "Quit"}},
        {"on battery again",
         std::vector<DockMenuItem>{{"Charge: 100%"}, {"Voltage: 0.00V"}, {"Amperage: 0mA"}},
         {"Charge: 100%", "Voltage: 0.00V", "Amperage: 0mA", "---", "Show Voltaro",
          "Quit"}},
    };
    std::optional<std::vector<DockMenuItem>> current;
    int asked = 0;
    TrayIcon tray([] {}, [] {},
                  [&] {
                      ++asked;
                      return current;
                  });
    EXPECT_EQ(tray.systemTrayIcon()->contextMenu(), tray.menu());
    for (const Case& c : cases) {
        current = c.readings;
        const int before = asked;
        EXPECT_EQ(popUp(*tray.menu()), c.menu) << c.name;
        EXPECT_EQ(asked, before + 1) << c.name << ": the readings are asked for at every showing";
    }
}

TEST(TrayIconTest, ShowQuitAndAClickReachTheirCommands) {
    int shows = 0;
    int quits = 0;
    TrayIcon tray([&] { ++shows; }, [&] { ++quits; },
                  [] { return std::vector<DockMenuItem>{{"Charge: 50%"}}; });
    popUp(*tray.menu());
    const QList<QAction*> actions = tray.menu()->actions();
    ASSERT_EQ(actions.size(), 4);
    actions[0]->trigger(); // a reading: nothing happens
    EXPECT_EQ(shows + quits, 0);
    actions[2]->trigger();
    EXPECT_EQ(shows, 1);
    actions[3]->trigger();
    EXPECT_EQ(quits, 1);

    struct Click {
        QSystemTrayIcon::ActivationReason reason;
        int shows;
    };
    const Click clicks[] = {{QSystemTrayIcon::Trigger, 1},
                            {QSystemTrayIcon::DoubleClick, 1},
                            {QSystemTrayIcon::MiddleClick, 0},
                            {QSystemTrayIcon::Context, 0}};
    for (const Click& click : clicks) {
        shows = 0;
        Q_EMIT tray.systemTrayIcon()->activated(click.reason);
        EXPECT_EQ(shows, click.shows) << "reason " << click.reason;
    }
}

} // namespace
} // namespace voltaro
