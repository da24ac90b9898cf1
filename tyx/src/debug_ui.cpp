// The debug interface. The game submits no window to it; it is kept running so that a developer
// can add one, and so that it sees the same input as the game.
#include "debug_ui.h"

#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

bool debugUiInit(SDL_Window* window) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    if (!ImGui_ImplSDL2_InitForOpenGL(window, SDL_GL_GetCurrentContext()))
        return false;
    return ImGui_ImplOpenGL3_Init("#version 150");
}

void debugUiProcessEvent(const SDL_Event& event) {
    if (ImGui::GetCurrentContext() == nullptr)
        return;
    ImGui_ImplSDL2_ProcessEvent(&event);
}

void debugUiNewFrame() {
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
}

void debugUiRender() {
    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}

void debugUiDisableSettingsFile() {
    if (ImGui::GetCurrentContext() != nullptr)
        ImGui::GetIO().IniFilename = nullptr;
}

void debugUiShutdown() {
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
}
