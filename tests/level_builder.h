// Builds a level for the simulator's tests from chosen chunk templates, laid end to end as the
// generator would lay them, instead of from the random chain, and drives the play screen with key
// events through SDL's queue as the simulator does.
#pragma once

#include "chunk_log.h"
#include "game.h"
#include "key_script.h"
#include "level_generator.h"
#include "play_screen.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <vector>

// Copies template `index` into the live level at origin, as the generator does, and logs it.
inline Vec2 placeChunk(Game& game, ChunkLog& log, int32_t index, Vec2 origin) {
    logChunk(log, index, origin);
    return placeChunk(game, *chunkTemplates.get(index), origin);
}

// A room around the origin with no way on and no way down: a floor from -100 to 300 with its top
// at 0, a wall at each end and a ceiling 150 above the floor.
inline void addClosedRoom(Game& game) {
    game.platforms.add(new Platform(makePlatform(Vec2(100.0f, -16.0f), 400.0f, 32.0f, 0.0f)));
    game.platforms.add(new Platform(makePlatform(Vec2(-116.0f, 50.0f), 32.0f, 200.0f, 0.0f)));
    game.platforms.add(new Platform(makePlatform(Vec2(316.0f, 50.0f), 32.0f, 200.0f, 0.0f)));
    game.platforms.add(new Platform(makePlatform(Vec2(100.0f, 166.0f), 464.0f, 32.0f, 0.0f)));
}

inline void pushKeyEvent(const KeyEvent& key) {
    SDL_Event event{};
    event.type = key.down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = key.down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key.key;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// The log the generator's chunks go to, as the simulator keeps it.
inline ChunkLog* generatedLog = nullptr;
inline void logGeneratedChunk(int32_t templateIndex, Vec2 origin) {
    if (generatedLog)
        logChunk(*generatedLog, templateIndex, origin);
}

// A game whose play screen has had its first update (so the template table is built), with the
// event queue of SDL's event subsystem; chunks the generator makes (at a restart) are logged.
// Each test case runs in a process of its own.
class LevelTest : public testing::Test {
  protected:
    static constexpr float dt = 1.0f / 64.0f;

    static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError(); }
    static void TearDownTestSuite() {
        releaseChunkTemplates();
        SDL_Quit();
    }

    void SetUp() override {
        randomSeedOverride = 5;
        game.camera.size = Vec2(640.0f, 480.0f);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        generatedLog = &log;
        chunkGenerated = logGeneratedChunk;
        ASSERT_TRUE(playUpdate(game, dt));
        ASSERT_EQ(chunkTemplates.count, chunkTemplateCount);
    }
    void TearDown() override {
        chunkGenerated = nullptr;
        generatedLog = nullptr;
        releaseLevel(game);
    }

    // Replaces the level with the given templates from (-64, 0) on, the player at the start of a
    // run, and keeps the generator from adding any.
    void buildLevel(const std::vector<int32_t>& templates) {
        releaseLevel(game);
        log.chunks.clear();
        Vec2 origin(-64.0f, 0.0f);
        for (int32_t index : templates)
            origin = placeChunk(game, log, index, origin);
        game.frontier = Vec2(1.0e7f, 0.0f);
        game.player.position = Vec2(0.0f, 0.0f);
        resetPlayer(game.player);
        game.groundY = -32.0f;
    }

    // One update with the given key events sent before it.
    bool update(const std::vector<KeyEvent>& events) {
        for (const KeyEvent& event : events)
            pushKeyEvent(event);
        return playUpdate(game, dt);
    }

    Game game;
    ChunkLog log;
};
