// A window resize reaches the OpenGL viewport through the update hook's peek, but only when it is
// among the first 16 pending events; behind them the screen's poll takes it and the viewport keeps
// its size.
#include "../event_queue.h"
#include "game.h"
#include "title_screen.h"
#include "tyx.h"

#include "gl_fixture.h"

#include <gtest/gtest.h>

namespace {

class GameViewport : public GlContextTest {
  protected:
    void SetUp() override {
        GlContextTest::SetUp();
        // Whatever the window system delivered so far is not part of the test.
        SDL_PumpEvents();
        SDL_FlushEvents(0, 0xFFFF);
        glViewport(0, 0, glTestWindowWidth, glTestWindowHeight);
        game.screen = titleScreen;
    }

    IVec2 viewportSize() {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        return IVec2(viewport[2], viewport[3]);
    }

    Game game;
};

TEST_F(GameViewport, ResizeOrSizeChangeSetsTheViewport) {
    pushKey(downW);
    pushResize(SDL_WINDOWEVENT_RESIZED, 1280, 960);
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(viewportSize(), IVec2(1280, 960));

    pushResize(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(viewportSize(), IVec2(800, 600));

    // Other window events leave it alone.
    pushResize(SDL_WINDOWEVENT_MOVED, 10, 20);
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(viewportSize(), IVec2(800, 600));
}

TEST_F(GameViewport, ResizeBehindSixteenEventsIsMissed) {
    for (int i = 0; i < 16; i++)
        pushKey(i % 2 == 0 ? downW : upW);
    pushResize(SDL_WINDOWEVENT_RESIZED, 1280, 960);
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(viewportSize(), IVec2(glTestWindowWidth, glTestWindowHeight));

    // The title's poll took the resize from the queue: later steps never see it.
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(viewportSize(), IVec2(glTestWindowWidth, glTestWindowHeight));

    // One fewer event ahead and the peek reaches it.
    for (int i = 0; i < 15; i++)
        pushKey(i % 2 == 0 ? downW : upW);
    pushResize(SDL_WINDOWEVENT_RESIZED, 1280, 960);
    EXPECT_TRUE(gameUpdate(game, 0.015625f));
    EXPECT_EQ(viewportSize(), IVec2(1280, 960));
}

} // namespace
