#include "session/DownloadProgress.h"

#include <gtest/gtest.h>

#include "common/GbkText.h"

TEST(DownloadProgress, GaugeSpeedAndTexts) {
    TDownloadProgress p;
    p.SetTotal(250000);
    EXPECT_EQ(p.TotalKB(), 250);
    EXPECT_EQ(p.SetReceived(125999), 50);  // whole KB over whole KB
    EXPECT_EQ(GbkToUtf8(p.ProgressText()), "50% 正在下载");
    EXPECT_EQ(p.Tick(), 125);
    p.SetReceived(200000);
    EXPECT_EQ(p.Tick(), 74);
    EXPECT_EQ(p.Tick(), 0);
    EXPECT_EQ(p.SetReceived(260000), 100);  // never beyond the gauge
}

TEST(DownloadProgress, FilesBelowOneKilobyte) {
    TDownloadProgress p;
    p.SetTotal(500);
    EXPECT_EQ(p.SetReceived(250), 50);
    TDownloadProgress unknown;
    unknown.SetTotal(0);
    EXPECT_EQ(unknown.SetReceived(1000), 0);
}
