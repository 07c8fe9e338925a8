#include "anim/music_cue_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "temp_folder.h"

namespace {

MusicCueTable loadText(const std::string& text) {
    const hlv_test::TempFolder folder("hlv-cue");
    const auto path = folder / "cues.txt";
    {
        std::ofstream out(path);
        out << text;
    }
    MusicCueTable table;
    table.load(path.string().c_str());
    return table;
}

} // namespace

TEST(MusicCueTable, ReadsAnySeparatorAndNoLineBreaksBetweenEntries) {
    const MusicCueTable t = loadText("3\n3 : 12.5 - 14.0 7,1;2\t9|20.25/30");
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.lookup(13.0), 3);
    EXPECT_EQ(t.lookup(1.5), 7);
    EXPECT_EQ(t.lookup(25.0), 9);
}

TEST(MusicCueTable, BoundariesDoNotMatchAndEarlierEntryWins) {
    const MusicCueTable t = loadText("3\n5:10-20\n6:15-30\n0:40-50\n");
    EXPECT_EQ(t.lookup(10.0), 0);
    EXPECT_EQ(t.lookup(20.0), 6); // end of the first, inside the second
    EXPECT_EQ(t.lookup(30.0), 0);
    EXPECT_EQ(t.lookup(17.0), 5);
    EXPECT_EQ(t.lookup(45.0), 0);
}

TEST(MusicCueTable, MissingSeparatorSwallowsAFirstDigit) {
    // Read as value 2, separator '1', start 5, separator '3', end 40.
    const MusicCueTable t = loadText("1\n2 15 340\n");
    EXPECT_EQ(t.lookup(10.0), 2);
    EXPECT_EQ(t.lookup(4.0), 0);
    EXPECT_EQ(t.lookup(39.0), 2);
    EXPECT_EQ(t.lookup(41.0), 0);
}

TEST(MusicCueTable, MissingFileAndMalformedItems) {
    MusicCueTable missing;
    missing.load("hlvd\\no-such-cue-file.txt");
    EXPECT_EQ(missing.count(), 0);
    EXPECT_EQ(missing.lookup(1.0), 0);

    // The second entry breaks at its start time; the rest stays zero.
    const MusicCueTable t = loadText("3\n4:1-2\n5:x-9\n6:3-4\n");
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.lookup(1.5), 4);
    EXPECT_EQ(t.lookup(3.5), 0);
    EXPECT_EQ(t.lookup(8.0), 0);
}

TEST(MusicCueTable, CountAboveCapacityKeepsTheFirstEntries) {
    std::string text = "250\n";
    for (int i = 0; i < 250; ++i) {
        text +=
            std::to_string(i + 1) + ":" + std::to_string(i) + "-" + std::to_string(i + 1) + "\n";
    }
    const MusicCueTable t = loadText(text);
    EXPECT_EQ(t.count(), MusicCueTable::kCapacity);
    EXPECT_EQ(t.lookup(199.5), 200);
    EXPECT_EQ(t.lookup(220.5), 0);
}
