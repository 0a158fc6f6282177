#include <gtest/gtest.h>

#include "app/main_loop.h"

TEST(StepCounter, PeriodEndsOnlyAfterMoreThanOneSecond) {
    double start = 0.0;
    int counter = 0;
    for (double t : {0.25, 0.5, 1.0}) EXPECT_FALSE(advanceStepCounter(t, start, counter).periodEnded);
    EXPECT_EQ(counter, 3);  // exactly 1.0 s does not end the period
    const StepCounterUpdate u = advanceStepCounter(1.0001, start, counter);
    EXPECT_TRUE(u.periodEnded);
    EXPECT_EQ(u.shownCount, 3);
    EXPECT_EQ(counter, 1);  // the step that ended the period counts in the new one
    EXPECT_DOUBLE_EQ(start, 1.0001);
}

TEST(StepCounter, TitleIsTheCountOrTheGameName) {
    char buffer[16];
    EXPECT_STREQ(windowTitle(true, 1234, buffer), "1234");
    EXPECT_STREQ(windowTitle(true, -2147483647 - 1, buffer), "-2147483648");
    EXPECT_STREQ(windowTitle(false, 1234, buffer), "Tumbix");
}
