#include "app/WindowPositionStore.h"

#include <gtest/gtest.h>

namespace tannbuch {

// The restored window comes back onto the available screen area whatever
// position was stored.
TEST(WindowPosition, ClampedToTheAvailableScreen)
{
    const QRect screen(0, 0, 1920, 1040); // a task bar below
    const QRect rightScreen(1920, 0, 1280, 1024);
    const QSize frame(800, 600);
    const struct
    {
        const char *name;
        QPoint stored;
        QSize frame;
        QRect available;
        QPoint expected;
    } cases[] = {
        {"inside stays", {100, 100}, frame, screen, {100, 100}},
        {"touching the far corner stays", {1120, 440}, frame, screen, {1120, 440}},
        {"title bar above the screen", {100, -300}, frame, screen, {100, 0}},
        {"left of the screen", {-5000, 100}, frame, screen, {0, 100}},
        {"past the right and bottom edge", {1800, 1000}, frame, screen, {1120, 440}},
        {"larger than the screen keeps its top-left corner", {300, 200}, {2500, 1200}, screen, {0, 0}},
        {"on a second screen", {3000, 900}, frame, rightScreen, {2400, 424}},
        {"empty frame", {1920, 1040}, {0, 0}, screen, {1920, 1040}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WindowPositionStore::clampedTopLeft(c.stored, c.frame, c.available), c.expected) << c.name;
}

} // namespace tannbuch
