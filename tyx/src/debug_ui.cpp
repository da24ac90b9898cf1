// The debug interface. The game submits no window to it; it is kept running so that a developer
// can add one, and so that it sees the same input as the game.
#include "debug_ui.h"

#include "render_context.h"

#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

bool debugUiInit(SDL_Window* window) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    // A half-made interface would fail at its first frame; without a context every call below
    // does nothing instead.
    if (!ImGui_ImplSDL2_InitForOpenGL(window, SDL_GL_GetCurrentContext())) {
        ImGui::DestroyContext();
        return false;
    }
    if (!ImGui_ImplOpenGL3_Init(debugUiGlslVersion())) {
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext();
        return false;
    }
    return true;
}

void debugUiProcessEvent(const SDL_Event& event) {
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    ImGui_ImplSDL2_ProcessEvent(&event);
}

void debugUiNewFrame() {
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
}

void debugUiRender() {
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}

void debugUiDisableSettingsFile() {
    if (ImGui::GetCurrentContext() != nullptr)
        ImGui::GetIO().IniFilename = nullptr;
}

void debugUiShutdown() {
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
}
