#pragma once
// The functions that tell each kind of step to a session (the table is in
// step_kinds.cpp). Each reads a step the reader has already checked.

#include <cstdint>

#include <nlohmann/json.hpp>

namespace vistarail::simrun {
class Session;
}

namespace vistarail::simrun::steps {

using Json = nlohmann::json;

// steps_world.cpp: applications, windows, displays and Spaces.
void launch(Session& s, const Json& step);
void quit(Session& s, const Json& step);
void hide(Session& s, const Json& step);
void unhide(Session& s, const Json& step);
void activate(Session& s, const Json& step);
void behave(Session& s, const Json& step);
void open(Session& s, const Json& step);
void close(Session& s, const Json& step);
void minimise(Session& s, const Json& step);
void unminimise(Session& s, const Json& step);
void focus(Session& s, const Json& step);
void fullScreen(Session& s, const Json& step);
void exitFullScreen(Session& s, const Json& step);
void drag(Session& s, const Json& step);  // and resize
void appMove(Session& s, const Json& step);
void switchSpace(Session& s, const Json& step);
void addSpace(Session& s, const Json& step);
void plug(Session& s, const Json& step);
void unplug(Session& s, const Json& step);
void arrange(Session& s, const Json& step);

// steps_input.cpp: the user's hands.
void pointer(Session& s, const Json& step);
void key(Session& s, const Json& step);
void press(Session& s, const Json& step);
void swipe(Session& s, const Json& step);
void scroll(Session& s, const Json& step);
void handDrag(Session& s, const Json& step);
void click(Session& s, const Json& step);
void minimapClick(Session& s, const Json& step);
void minimapDrop(Session& s, const Json& step);

// steps_program.cpp: commands, settings, the program's life, time.
void action(Session& s, const Json& step);
void set(Session& s, const Json& step);
void pause(Session& s, const Json& step);
void resume(Session& s, const Json& step);
void stop(Session& s, const Json& step);
void start(Session& s, const Json& step);
// The program as a person meets it.
void grant(Session& s, const Json& step);
void menu(Session& s, const Json& step);
void sigterm(Session& s, const Json& step);
void reopen(Session& s, const Json& step);
void store(Session& s, const Json& step);

// steps_settings.cpp: the settings window, and the system refusing services.
void settings(Session& s, const Json& step);
void operate(Session& s, const Json& step);
void record(Session& s, const Json& step);
void closeSettings(Session& s, const Json& step);
void refuse(Session& s, const Json& step);
void wait(Session& s, const Json& step);
void snapshot(Session& s, const Json& step);

// The program's modifier mask as the event flags a key press carries, for
// keys sent to the desktop or to the settings window's key monitor.
uint64_t eventFlagsOfMask(uint32_t mask);

// steps_control.cpp: the control socket, as a script speaks to it.
void request(Session& s, const Json& step);
void subscribe(Session& s, const Json& step);

}  // namespace vistarail::simrun::steps
