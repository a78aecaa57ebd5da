// The review tour's shot order, parameters and file names.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/cTour.h"

using namespace brevonne;

TEST(Tour, ShotsSitInTheMiddlesOfEqualPieces) {
    EXPECT_FLOAT_EQ(cTour::ShotParameter(0, 1), 0.5f);
    const float six[6] = {1.0f / 12, 3.0f / 12, 5.0f / 12, 7.0f / 12, 9.0f / 12, 11.0f / 12};
    for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(cTour::ShotParameter(i, 6), six[i]) << i;
    // Never on a path's ends, where the flight fades to black, however many shots.
    for (int n : {1, 2, 7, 1000}) {
        EXPECT_GT(cTour::ShotParameter(0, n), 0.0f);
        EXPECT_LT(cTour::ShotParameter(n - 1, n), 1.0f);
    }
    EXPECT_FLOAT_EQ(cTour::ShotParameter(0, 0), 0.5f);
}

TEST(Tour, VisitsEveryShotOfEveryPathInOrder) {
    cTour tour;
    EXPECT_TRUE(tour.IsDone());
    tour.Start(3, 2);
    std::vector<std::pair<std::size_t, int>> seen;
    for (int guard = 0; guard < 100 && !tour.IsDone(); ++guard) {
        seen.emplace_back(tour.GetPathIndex(), tour.GetShotIndex());
        tour.Next();
    }
    const std::vector<std::pair<std::size_t, int>> want = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
    EXPECT_EQ(seen, want);
    tour.Next();  // past the end it stays done
    EXPECT_TRUE(tour.IsDone());

    tour.Start(0, 6);
    EXPECT_TRUE(tour.IsDone());
    tour.Start(4, 0);
    EXPECT_TRUE(tour.IsDone());
    tour.Start(1, 3);  // starting over
    EXPECT_FALSE(tour.IsDone());
    EXPECT_EQ(tour.GetShotIndex(), 0);
    EXPECT_FLOAT_EQ(tour.GetParameter(), 1.0f / 6);
}

TEST(Tour, FileNamesStayInsideTheFolder) {
    EXPECT_EQ(cTour::ShotFileName("build/tour", 0, "beach", 3), "build/tour/0_beach_3.png");
    EXPECT_EQ(cTour::ShotFileName("build/tour/", 6, "cliffs", 0), "build/tour/6_cliffs_0.png");
    EXPECT_EQ(cTour::ShotFileName("", 2, "Grove-2_b", 1), "2_Grove-2_b_1.png");
    // A path without a name goes by its index.
    EXPECT_EQ(cTour::ShotFileName("out", 4, "", 5), "out/4_4_5.png");
    // Separators, dots, blanks and bytes beyond ASCII cannot lead out of the folder or confuse a shell.
    EXPECT_EQ(cTour::ShotFileName("out", 1, "../../etc/x", 0), "out/1_______etc_x_0.png");
    EXPECT_EQ(cTour::ShotFileName("out", 1, "..", 0), "out/1____0.png");
    EXPECT_EQ(cTour::ShotFileName("out", 1, "a b\\c\xc3\xa9", 0), "out/1_a_b_c___0.png");
}
