// Tests for the ledge-marker index: the markers it leaves out are exactly ones the collision query
// turns down, so the player finds the same markers through it as through a pass over all of them;
// and it is used only while it matches the level's markers.
#include "ledge_index.h"

#include "game.h"
#include "level_generator.h"
#include "player.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>
#include <vector>

namespace {

const float pi = 3.14159265f;

float uniform(std::mt19937& random, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}

LedgeMarker* newMarker(Vec2 centre, float size, float angle) {
    return new LedgeMarker{nextId(), makePlatform(centre, size, size, angle), 1, -1};
}

// The ids of the markers the box overlaps, looking at every one.
std::set<int32_t> overlappingAll(const Array<LedgeMarker*>& markers, const Platform& box) {
    std::set<int32_t> ids;
    for (int32_t i = 0; i < markers.count; i++) {
        if (overlaps(box, markers.data[i]->box))
            ids.insert(markers.data[i]->id);
    }
    return ids;
}

// The same through the index.
std::set<int32_t> overlappingNearby(const LedgeIndex& index, const Platform& box) {
    BoxCorners scratch;
    int32_t first = 0;
    int32_t end = 0;
    findNearbyLedgeMarkers(index, cornersOf(box, scratch), first, end);
    std::set<int32_t> ids;
    for (int32_t i = first; i < end; i++) {
        const LedgeMarker* marker = index.entries[(size_t)i].record;
        if (overlaps(box, marker->box))
            ids.insert(marker->id);
    }
    return ids;
}

} // namespace

TEST(LedgeIndex, FindsTheSameMarkersAsAPassOverAll) {
    std::mt19937 random(7);
    Array<LedgeMarker*> markers;
    LedgeIndex index;
    // Markers as the level places them (8 x 8, rising x), and others: larger, turned, out of
    // order, several at one x, and some the queries reject outright.
    for (int32_t i = 0; i < 400; i++) {
        float x = (float)i * 37.0f;
        LedgeMarker* marker = nullptr;
        switch (i % 5) {
        case 0:
        case 1:
            marker = newMarker(Vec2(x, uniform(random, -300, 300)), 8.0f, 0.0f);
            break;
        case 2:
            marker = newMarker(Vec2(x - uniform(random, 0, 2000), uniform(random, -300, 300)),
                               uniform(random, 1, 90), uniform(random, -pi, pi));
            break;
        case 3:
            marker = newMarker(Vec2((float)(i - 3) * 37.0f, uniform(random, -50, 50)), 8.0f, 0.0f);
            break;
        default:
            marker = newMarker(Vec2(i % 10 == 4 ? 1e9f : x, 0.0f), 8.0f,
                               i % 20 == 9 ? std::numeric_limits<float>::quiet_NaN() : 0.0f);
            break;
        }
        markers.add(marker);
        addLedgeMarker(index, *marker);
    }
    ASSERT_TRUE(ledgeIndexMatches(index, markers));
    for (size_t i = 1; i < index.entries.size(); i++)
        ASSERT_LE(index.entries[i - 1].left, index.entries[i].left);

    int32_t found = 0;
    for (int32_t n = 0; n < 20000; n++) {
        Vec2 size = n % 2 ? Vec2(22, 42) : Vec2(uniform(random, 0, 120), uniform(random, 0, 120));
        Platform box = makePlatform(Vec2(uniform(random, -2200, 15500), uniform(random, -350, 350)),
                                    size.x, size.y, n % 3 ? 0.0f : uniform(random, -pi, pi));
        std::set<int32_t> all = overlappingAll(markers, box);
        ASSERT_EQ(overlappingNearby(index, box), all) << "query " << n;
        found += (int32_t)all.size();

        // Everything outside the range is turned down by the bounds alone.
        BoxCorners scratch;
        const BoxCorners& corners = cornersOf(box, scratch);
        int32_t first = 0;
        int32_t end = 0;
        findNearbyLedgeMarkers(index, corners, first, end);
        for (int32_t i = 0; i < (int32_t)index.entries.size(); i++) {
            if (i >= first && i < end)
                continue;
            BoxCorners markerScratch;
            ASSERT_TRUE(clearlyApart(
                corners, cornersOf(index.entries[(size_t)i].record->box, markerScratch)));
        }
    }
    EXPECT_GT(found, 1000);
    markers.deleteAll();
}

TEST(LedgeIndex, UsedOnlyWhileItMatchesTheLevel) {
    Array<LedgeMarker*> markers;
    LedgeIndex index;
    EXPECT_TRUE(ledgeIndexMatches(index, markers));
    markers.add(newMarker(Vec2(0, 0), 8, 0));
    EXPECT_FALSE(ledgeIndexMatches(index, markers)); // a marker added behind its back
    addLedgeMarker(index, *markers.data[0]);
    EXPECT_TRUE(ledgeIndexMatches(index, markers));

    // Emptied and refilled with as many markers without the index: the ids tell.
    markers.deleteAll();
    markers.add(newMarker(Vec2(0, 0), 8, 0));
    EXPECT_FALSE(ledgeIndexMatches(index, markers));
    clearLedgeIndex(index);
    EXPECT_FALSE(ledgeIndexMatches(index, markers));
    addLedgeMarker(index, *markers.data[0]);
    EXPECT_TRUE(ledgeIndexMatches(index, markers));
    markers.deleteAll();
}

TEST(LedgeIndex, TheGeneratorKeepsItAndReleaseLevelEmptiesIt) {
    buildChunkTemplates();
    seedRandom(3);
    Game game;
    game.frontier = Vec2(-64.0f, 0.0f);
    for (int32_t i = 0; i < 300; i++)
        generateChunk(game);
    ASSERT_GT(game.ledgeMarkers.count, 20);
    EXPECT_TRUE(ledgeIndexMatches(game.ledgeIndex, game.ledgeMarkers));
    EXPECT_EQ((int32_t)game.ledgeIndex.entries.size(), game.ledgeMarkers.count);
    releaseLevel(game);
    EXPECT_TRUE(game.ledgeIndex.entries.empty());
    EXPECT_TRUE(ledgeIndexMatches(game.ledgeIndex, game.ledgeMarkers));
    releaseChunkTemplates();
}

// The player stepped near every marker of a generated level, once through the index and once
// through a game whose index is left empty (so the pass over all markers runs): the same markers
// are found and everything that follows from them is the same.
TEST(LedgeIndex, ThePlayerStepsTheSameWithAndWithoutIt) {
    buildChunkTemplates();
    seedRandom(5);
    Game indexed;
    indexed.frontier = Vec2(-64.0f, 0.0f);
    for (int32_t i = 0; i < 200; i++)
        generateChunk(indexed);
    Game plain; // shares the level's records, but not the index
    for (int32_t i = 0; i < indexed.platforms.count; i++)
        plain.platforms.add(indexed.platforms.data[i]);
    for (int32_t i = 0; i < indexed.ledgeMarkers.count; i++)
        plain.ledgeMarkers.add(indexed.ledgeMarkers.data[i]);
    ASSERT_FALSE(ledgeIndexMatches(plain.ledgeIndex, plain.ledgeMarkers));

    std::mt19937 random(9);
    const float dt = 1.0f / 64.0f;
    int32_t entered = 0;
    for (int32_t i = 0; i < indexed.ledgeMarkers.count; i++) {
        Vec2 corner = indexed.ledgeMarkers.data[i]->box.centre;
        for (int32_t n = 0; n < 20; n++) {
            Player start;
            resetPlayer(start);
            start.position = corner + Vec2(uniform(random, -30, 30), uniform(random, -50, 10));
            start.velocity = Vec2(uniform(random, -300, 300), uniform(random, -300, 300));
            start.motionState = (int32_t)(n % 6);
            Player a = start;
            Player b = start;
            for (int32_t step = 0; step < 8; step++) {
                updatePlayer(a, indexed, dt);
                updatePlayer(b, plain, dt);
                ASSERT_EQ(a.ledgeIds, b.ledgeIds);
                ASSERT_EQ(a.ledgeArmed, b.ledgeArmed);
                ASSERT_EQ(a.position.x, b.position.x);
                ASSERT_EQ(a.position.y, b.position.y);
                ASSERT_EQ(a.motionState, b.motionState);
            }
            entered += a.ledgeIds.empty() ? 0 : 1;
        }
    }
    EXPECT_GT(entered, 100);
    // The plain game only borrowed the records; its arrays free no records of their own.
    releaseLevel(indexed);
    releaseChunkTemplates();
}
