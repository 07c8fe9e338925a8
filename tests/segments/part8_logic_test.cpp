// The closing credits' plan, without GL: when the stems grow, when each
// credit card and greeting line can be read, when the ring tunnel comes and
// that it ends the picture in black.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "anim/timing.h"
#include "segments/part8.h"

namespace {

constexpr double kEnd = 163.5;
constexpr double kUnitsPerSecond = 5.508;

TEST(ClosingCredits, LastMomentStillDrawsAndAnythingAfterEnds) {
    EXPECT_DOUBLE_EQ(timing::segmentEnd(8), kEnd);
    EXPECT_FALSE(part8Finished(kEnd));
    EXPECT_TRUE(part8Finished(std::nextafter(kEnd, 200.0)));
    EXPECT_FALSE(part8Finished(0.0));
}

TEST(ClosingCredits, StemsGrowOneAfterAnotherAndStayGrown) {
    for (int stem = 0; stem < 5; ++stem) {
        SCOPED_TRACE(stem);
        int last = 0;
        double firstGrowth = -1.0;
        for (double t = 0.0; t <= kEnd; t += 0.01) {
            const int n = stemGrowth(stem, t);
            ASSERT_GE(n, last); // never shrinks back
            ASSERT_LE(n, 29);
            if (n > 0 && firstGrowth < 0.0) {
                firstGrowth = t;
            }
            // Nothing grows until 13.6 t - 130.4 passes 18 per stem before it.
            if (13.6 * t - 272.0 * std::sin(0.5) <= 18.0 * stem) {
                ASSERT_EQ(n, 0) << t;
            }
            // A stem without grown segments walks no chain at all (not -1).
            const SegmentChain body = stemBody(stem, t);
            ASSERT_GE(body.count, 0);
            ASSERT_EQ(body.count, std::max(n - 1, 0));
            last = n;
        }
        EXPECT_EQ(last, 29);
        // Its first segment comes once 13.6 t - 130.4 reaches 18 stem + 1:
        // each stem 18 / 13.6 units after the one before it.
        EXPECT_NEAR(firstGrowth, (131.4 + 18.0 * stem) / 13.6, 0.02);
    }
    EXPECT_GT(stemGrowth(3, 15.0), 0);
    EXPECT_EQ(stemGrowth(4, 14.8), 0); // stem 4 is the last to show
}

TEST(ClosingCredits, AStillChainStandsStraightAndAnEvenTurnClosesARing) {
    SegmentChain still;
    still.count = 29;
    const auto up = chainLinks(still);
    double height = 0.0, scale = 1.0;
    for (int k = 0; k < 29; ++k) {
        scale *= 0.94;
        height += 0.2 * scale;
        EXPECT_NEAR(up[k].x, 0.0, 1e-12);
        EXPECT_NEAR(up[k].y, height, 1e-12);
    }
    // With no shrink and 360 / 12 degrees at every segment, twelve segments
    // walk once round a regular polygon and come home.
    SegmentChain ring;
    ring.count = 12;
    ring.shrink = 1.0;
    ring.swayAmplitude = 30.0;
    ring.phaseOffset = 3.14159265358979323846 / 2.0; // sin = 1 throughout
    const auto round = chainLinks(ring);
    EXPECT_NEAR(round[11].x, 0.0, 1e-9);
    EXPECT_NEAR(round[11].y, 0.0, 1e-9);
    EXPECT_NEAR(round[11].turnDegrees, 360.0, 1e-9);
    EXPECT_LT(round[2].x, 0.0); // a positive turn bends to the left
}

// The ten echoes of a card, added up as the additive blend does.
double cardBrightness(int stem, double t) {
    double sum = 0.0;
    for (int echo = 0; echo < 10; ++echo) {
        sum += std::max(creditGrey(stem, echo, t), 0.0);
    }
    return sum;
}

TEST(ClosingCredits, EveryCreditCardShowsLongEnoughToReadAndNeverBurnsOut) {
    for (int stem = 0; stem < 5; ++stem) {
        SCOPED_TRACE(stem);
        EXPECT_EQ(cardBrightness(stem, 0.0), 0.0);
        EXPECT_EQ(cardBrightness(stem, kEnd), 0.0);
        double readable = 0.0;
        for (double t = 0.0; t <= kEnd; t += 0.1) {
            const double b = cardBrightness(stem, t);
            ASSERT_LE(b, 1.0);
            if (b >= 0.4) {
                readable += 0.1;
            }
        }
        EXPECT_GT(readable / kUnitsPerSecond, 8.0); // seconds
    }
    EXPECT_DOUBLE_EQ(creditCardSize(0), 0.15); // the first card is the large one
    EXPECT_DOUBLE_EQ(creditCardSize(4), 0.1);
}

TEST(ClosingCredits, CardsCalmDownWithoutJumpingOnceTheirStemHasPeaked) {
    for (int stem = 0; stem < 5; ++stem) {
        for (int echo : {0, 9}) {
            // The switch comes where (3 stem + 1.5 t) 0.01 passes 1.0707963.
            const double turn = (107.07963 - 3.0 * stem) / 1.5;
            EXPECT_NEAR(creditSwing(stem, echo, turn - 1e-6), creditSwing(stem, echo, turn + 1e-6),
                        0.01);
            // Afterwards the card stays within 15 +- 5 while the stem swings
            // on down.
            for (double t = turn + 0.1; t <= kEnd; t += 0.5) {
                const double s = creditSwing(stem, echo, t);
                ASSERT_GE(s, 10.0);
                ASSERT_LE(s, 20.0);
            }
            EXPECT_LT(stemSwing(stem, kEnd), 10.0);
        }
        // Echoes only differ slightly, so the ten copies read as one card.
        const SegmentChain a = creditChain(stem, 0, 60.0);
        const SegmentChain b = creditChain(stem, 9, 60.0);
        EXPECT_NEAR(a.swayAmplitude, b.swayAmplitude, 1.0);
        EXPECT_EQ(a.count, 29);
        EXPECT_EQ(a.firstDrawn, 28); // only the tip carries the card
    }
}

class Greetings : public ::testing::Test {
protected:
    void SetUp() override { buildGreetPath(path); }
    Router path;
};

TEST_F(Greetings, NothingBeforeSixtySevenThenTheLinesCome) {
    EXPECT_FALSE(greetingsShow(0.0));
    EXPECT_FALSE(greetingsShow(67.0));
    EXPECT_TRUE(greetingsShow(67.01));
    // At their first moment the first line is already fading in.
    const GreetingLine first = planGreetingLine(path, 0, 67.01);
    EXPECT_GT(first.alpha[1], 0.3);
}

TEST_F(Greetings, EveryNameShowsOnItsOwnLongEnoughToRead) {
    // The three pictures cross-fade on the same lines; a name can be read
    // while its picture is nearly full and the other two nearly gone.
    for (int line = 0; line < kGreetingLines; ++line) {
        for (int picture = 0; picture < kGreetingPictures; ++picture) {
            double alone = 0.0;
            for (double t = 67.05; t <= kEnd; t += 0.05) {
                const GreetingLine g = planGreetingLine(path, line, t);
                bool clear = g.alpha[picture] >= 0.8;
                for (int other = 0; other < kGreetingPictures; ++other) {
                    clear = clear && (other == picture || g.alpha[other] <= 0.15);
                }
                alone += clear ? 0.05 : 0.0;
            }
            EXPECT_GT(alone / kUnitsPerSecond, 1.5) << "line " << line << " picture " << picture;
        }
    }
}

TEST_F(Greetings, LinesAreMostlyLitInFull) {
    // The three pictures carry the same names, so any mix of them reads as
    // one name in a blended colour; a line is legible while the mix is
    // nearly full and reads as fading while it is not, which must stay the
    // exception once the lines are in.
    double legible = 0.0, total = 0.0;
    for (double t = 90.0; t <= kEnd; t += 0.05) {
        for (int line = 0; line < kGreetingLines; ++line) {
            const GreetingLine g = planGreetingLine(path, line, t);
            legible += std::min(g.alpha[0] + g.alpha[1] + g.alpha[2], 1.0) >= 0.8 ? 1.0 : 0.0;
            total += 1.0;
        }
    }
    EXPECT_GT(legible / total, 0.6);
}

TEST_F(Greetings, LinesTurnOnTheRightHalfAndStayInView) {
    for (double t = 67.05; t <= kEnd; t += 0.5) {
        for (int line = 0; line < kGreetingLines; ++line) {
            const GreetingLine g = planGreetingLine(path, line, t);
            // The greeting layer shows local x within +-0.83 and y within
            // +-1.38; a line is 0.4 wide and 0.2 high (0.52 by 0.26 large).
            EXPECT_GT(g.x, 0.0);
            EXPECT_LT(g.x, 0.83);
            EXPECT_LT(std::abs(g.y) + 0.13, 1.38);
        }
        // Lines follow one another down the ellipse as it turns.
        EXPECT_LT(planGreetingLine(path, 0, t).y, planGreetingLine(path, 7, t).y);
    }
}

// Where the words of a card set in its left half (a quarter of the card in
// from its left end) land on the 800 x 600 screen: the brightness-weighted
// tip of the ten echoes, seen by the stems' camera.
struct ScreenPoint {
    double x = 0.0, y = 0.0, grey = 0.0, turn = 0.0;
};
ScreenPoint leftHalfWords(int stem, double t) {
    const double halfHeight = 3.9 * std::tan(22.5 * 3.14159265358979323846 / 180.0);
    double x = 0.0, y = 0.0, turn = 0.0, scale = 0.0, grey = 0.0;
    for (int echo = 0; echo < 10; ++echo) {
        const double w = std::max(creditGrey(stem, echo, t), 0.0);
        const ChainLink tip = chainLinks(creditChain(stem, echo, t))[28];
        x += w * tip.x, y += w * tip.y, turn += w * tip.turnDegrees, scale += w * tip.scale;
        grey += w;
    }
    if (grey <= 0.0) {
        return {};
    }
    const double a = turn / grey * 3.14159265358979323846 / 180.0;
    const double along = -0.48 * 32.0 * creditCardSize(stem) * scale / grey;
    const double worldX = 0.25 * stem + x / grey + along * std::cos(a);
    const double worldY = y / grey + along * std::sin(a);
    return {400.0 + 300.0 * (worldX - (0.03 * t - 1.0)) / halfHeight,
            300.0 - 300.0 * (worldY - 0.7) / halfHeight, grey, a};
}

// The last card heads the greetings while they circle, and the fourth tip
// runs beside it: their words must not print over the names or each other.
TEST_F(Greetings, TheLastCardsKeepClearOfTheNamesAndOfEachOther) {
    double overNames = 0.0, overEachOther = 0.0;
    for (double t = 67.05; t <= kEnd; t += 0.05) {
        const ScreenPoint last = leftHalfWords(4, t);
        const ScreenPoint fourth = leftHalfWords(3, t);
        if (last.grey > 0.3 && fourth.grey > 0.3 &&
            std::hypot(last.x - fourth.x, last.y - fourth.y) < 30.0) {
            overEachOther += 0.05;
        }
        for (int line = 0; line < kGreetingLines && last.grey > 0.3; ++line) {
            const GreetingLine g = planGreetingLine(path, line, t);
            if (std::max({g.alpha[0], g.alpha[1], g.alpha[2]}) < 0.1) {
                continue;
            }
            // A line is 0.4 of the layer wide, names start 0.03 in; the
            // layer's x of 1 is 400 / 0.828 pixels, its y 0.6 as far.
            const double scale = 400.0 / 0.8284;
            const double namesFrom = 400.0 + scale * (g.x - 0.2 + 0.012);
            const double lineY = 300.0 - 0.6 * scale * g.y;
            // The card's words reach some 45 pixels either side of their
            // centre along the card and 15 across it; a name is some 24
            // pixels high.
            const double c = std::abs(std::cos(last.turn)), s = std::abs(std::sin(last.turn));
            if (last.x + 45.0 * c + 15.0 * s > namesFrom - 5.0 &&
                std::abs(last.y - lineY) < 45.0 * s + 15.0 * c + 12.0) {
                overNames += 0.05;
                break;
            }
        }
    }
    // Seconds: only a brief pass near 260 s, upside down as its stem swings
    // down past the names (words in the right half met them for 4.7 s).
    EXPECT_LT(overNames / kUnitsPerSecond, 1.0);
    EXPECT_LT(overEachOther / kUnitsPerSecond, 1.0);
}

class RingTunnel : public ::testing::Test {
protected:
    void SetUp() override { buildRingPath(path); }
    Router path;

    double darkest(double t) const {
        double most = 0.0;
        for (int ring = 0; ring < kTunnelRings; ++ring) {
            const TunnelRing r = planTunnelRing(path, ring, t);
            for (int j = 0; j < kRingSteps; ++j) {
                for (double c : ringPointColour(r, j, t)) {
                    most = std::max(most, c);
                }
            }
        }
        return most;
    }
};

TEST_F(RingTunnel, AbsentBeforeOneHundredFiveAndUntilTheEnd) {
    EXPECT_FALSE(ringTunnelShows(104.99));
    EXPECT_FALSE(ringTunnelShows(105.0));
    EXPECT_TRUE(ringTunnelShows(105.01));
    EXPECT_TRUE(ringTunnelShows(kEnd)); // its upper bound lies past the Segment's end
}

TEST_F(RingTunnel, TintsAtFirstAndEndsThePictureInBlack) {
    // Coming in, the rings let most of the picture through.
    for (double t = 105.1; t < 125.0; t += 1.0) {
        for (int ring = 0; ring < kTunnelRings; ++ring) {
            EXPECT_GT(planTunnelRing(path, ring, t).brightness, 0.6) << t << " " << ring;
        }
    }
    // In the last half second every ring multiplies by (nearly) black.
    for (double t = kEnd - 0.5 * kUnitsPerSecond; t <= kEnd; t += 0.25) {
        EXPECT_LT(darkest(t), 0.03) << t;
    }
}

} // namespace
